// The trace file the instrument stores for one channel: a 34-byte header and
// the full record as 16-bit codes, all big-endian.
#include <algorithm>

#include "sim/Acquisition.h"
#include "sim/BigEndian.h"
#include "sim/Signal.h"

namespace kvxsim {
namespace {

constexpr int kTraceHeaderSize = 34;
static_assert(kTraceHeaderSize + 2 * kRecordPoints == kTraceFileSize);
constexpr int kTraceCentreCode = 2048;
constexpr double kTraceCodesPerDivision = 64.0;
constexpr int kTraceMaxCode = 4095;
constexpr std::size_t kUnitSize = 4;  // NUL-terminated, so three characters at most

// Fields a reader may skip: 0 channel number (1, 2), 8 volts per division at
// the input, 20 coupling, 24 reserved, 26 record points.
void WriteHeader(std::uint8_t* out, int channel, const ChannelSettings& settings, int timebaseIndex,
                 int sensitivityIndex, const std::string& unit) {
  PutU16(out + 0, static_cast<std::uint16_t>(channel + 1));
  PutU16(out + 2, static_cast<std::uint16_t>(timebaseIndex & 0xFF));
  PutF32(out + 4, static_cast<float>(settings.probeFactor));
  PutF32(out + 8, static_cast<float>(settings.voltsPerDiv));
  PutF64(out + 12, settings.verticalOffset);
  PutU16(out + 20, static_cast<std::uint16_t>(settings.coupling));
  PutU16(out + 22, static_cast<std::uint16_t>(sensitivityIndex & 0xFF));
  PutU16(out + 24, 0);
  PutU32(out + 26, kRecordPoints);
  const std::size_t length = std::min(unit.size(), kUnitSize - 1);
  std::copy_n(unit.begin(), length, out + 30);  // the rest stays NUL
}

}  // namespace

// Codes hold the trace's position on a 64-codes-per-division scale, vertical
// position included: a reader subtracts the position to get the volts back.
std::vector<std::uint8_t> BuildTraceFile(const Record& record, int channel, const AcquisitionSettings& settings,
                                         int timebaseIndex, int sensitivityIndex, const std::string& unit) {
  std::vector<std::uint8_t> file(kTraceFileSize, 0);
  channel = std::clamp(channel, 0, 1);
  const ChannelSettings& ch = settings.channel[channel];
  WriteHeader(file.data(), channel, ch, timebaseIndex, sensitivityIndex, unit);

  const std::vector<double>& volts = record.volts[channel];
  const double divisionsPerVolt = InverseOrZero(ch.voltsPerDiv * ch.probeFactor);
  const double position = ch.verticalOffset / static_cast<double>(kPositionUnitsPerDivision);
  const std::size_t points = std::min<std::size_t>(volts.size(), kRecordPoints);
  for (std::size_t i = 0; i < kRecordPoints; ++i) {
    // Points the record lacks read as the trace at 0 V.
    const double divisions = (i < points ? volts[i] * divisionsPerVolt : 0.0) + position;
    const int code = QuantiseDivisions(divisions, kTraceCentreCode, kTraceCodesPerDivision, kTraceMaxCode);
    PutU16(&file[kTraceHeaderSize + 2 * i], static_cast<std::uint16_t>(code));
  }
  return file;
}

}  // namespace kvxsim
