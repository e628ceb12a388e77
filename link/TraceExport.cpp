#include "link/TraceExport.h"

#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>
#include <vector>

#include "link/SecondsPerDiv.h"
#include "link/TraceTransfer.h"
#include "platform/os/AtomicFile.h"

namespace {

constexpr double kRecordDivisions = 10.0;
// 512 codes span the 8 divisions of the screen.
constexpr double kScreenDivisions = 8.0;
constexpr double kCodesPerScreen = 512.0;
constexpr double kPositionUnitsPerDivision = 22.0;
constexpr const char* kTimeHeading = "t (s)     \t";
constexpr int kTimeWidth = 15;
constexpr int kDigits = 6;
// More than a line needs for any finite time and value ("%f" of the largest
// double is 317 characters).
constexpr std::size_t kLineRoom = 400;
constexpr std::size_t kFieldRoom = 32;
constexpr std::size_t kTypicalLineSize = 28;

std::uint64_t BigEndianAt(std::span<const std::uint8_t> file, std::size_t at, int width) {
  std::uint64_t value = 0;
  for (int i = 0; i < width; ++i) value = (value << 8) | file[at + static_cast<std::size_t>(i)];
  return value;
}

float F32At(std::span<const std::uint8_t> file, std::size_t at) {
  return std::bit_cast<float>(static_cast<std::uint32_t>(BigEndianAt(file, at, 4)));
}

double F64At(std::span<const std::uint8_t> file, std::size_t at) {
  return std::bit_cast<double>(BigEndianAt(file, at, 8));
}

std::string UnitOf(std::span<const std::uint8_t> file) {
  const char* unit = reinterpret_cast<const char*>(file.data() + tracefile::kUnitAt);
  return std::string(unit, strnlen(unit, tracefile::kUnitSize));
}

// "%e" right-aligned in 15 characters, then a tab, "%f" and a newline.
char* FormatLine(char* out, char* end, double time, double value) {
  char field[kFieldRoom];
  const char* fieldEnd = std::to_chars(field, field + sizeof field, time, std::chars_format::scientific, kDigits).ptr;
  for (auto length = fieldEnd - field; length < kTimeWidth; ++length) *out++ = ' ';
  out = std::copy(static_cast<const char*>(field), fieldEnd, out);
  *out++ = '\t';
  out = std::to_chars(out, end, value, std::chars_format::fixed, kDigits).ptr;
  *out++ = '\n';
  return out;
}

}  // namespace

std::optional<TraceScale> DecodeTraceScale(std::span<const std::uint8_t> file, const VoltsPerDivValues& voltsPerDiv) {
  if (file.size() < tracefile::kSize) return std::nullopt;
  const std::size_t timebase = file[tracefile::kTimebaseIndexAt];
  const std::size_t sensitivity = file[tracefile::kSensitivityIndexAt];
  if (timebase >= SecondsPerDivTable.size() || sensitivity >= voltsPerDiv.size()) return std::nullopt;
  const double probe = F32At(file, tracefile::kProbeFactorAt);
  const double position = F64At(file, tracefile::kPositionAt);
  if (!std::isfinite(probe) || !std::isfinite(position)) return std::nullopt;

  const double voltsPerDivision = voltsPerDiv[sensitivity];
  TraceScale scale;
  scale.sampleInterval = kRecordDivisions * SecondsPerDivTable[timebase] / tracefile::kPoints;
  scale.voltsPerCode = kScreenDivisions * voltsPerDivision * probe / kCodesPerScreen;
  scale.offsetVolts = (position / kPositionUnitsPerDivision) * voltsPerDivision * probe;
  scale.unit = UnitOf(file);
  // Finite fields can still multiply past the largest double (a huge probe
  // factor times a huge position): the text would read "-inf".
  if (!std::isfinite(scale.voltsPerCode) || !std::isfinite(scale.offsetVolts)) return std::nullopt;
  return scale;
}

std::optional<std::string> TraceText(std::span<const std::uint8_t> file, const VoltsPerDivValues& voltsPerDiv) {
  const std::optional<TraceScale> scale = DecodeTraceScale(file, voltsPerDiv);
  if (!scale) return std::nullopt;
  std::string text = kTimeHeading + scale->unit + "\n";
  const std::size_t headerSize = text.size();
  text.resize(headerSize + tracefile::kPoints * kTypicalLineSize);
  std::size_t used = headerSize;
  for (int k = 0; k < tracefile::kPoints; ++k) {
    if (text.size() - used < kLineRoom) text.resize(text.size() * 2);
    const auto code = static_cast<int>(BigEndianAt(file, tracefile::kCodesAt + 2 * static_cast<std::size_t>(k), 2));
    const double value = (code - tracefile::kCentreCode) * scale->voltsPerCode - scale->offsetVolts;
    char* const start = text.data();
    const char* lineEnd = FormatLine(start + used, start + text.size(), k * scale->sampleInterval, value);
    used = static_cast<std::size_t>(lineEnd - start);
  }
  text.resize(used);
  return text;
}

TraceExportResult WriteTraceText(std::span<const std::uint8_t> file, const VoltsPerDivValues& voltsPerDiv,
                                 const std::string& path) {
  const std::optional<std::string> text = TraceText(file, voltsPerDiv);
  if (!text) return TraceExportResult::TransferFailed;
  return WriteFileAtomically(path, *text) ? TraceExportResult::Written : TraceExportResult::CannotCreate;
}

TraceExportResult ExportTraceFile(ViSession session, const VoltsPerDivValues& voltsPerDiv, const std::string& path,
                                  int channel) {
  bool stored = StoreTraceOnInstrument(session, kExportFileName, channel) == 0;
  // An error an earlier command left in the queue answers the first check:
  // clear it and store again before calling the store failed.
  if (!stored && channel >= 0 && channel <= 1 && ClearErrorQueue(session))
    stored = StoreTraceOnInstrument(session, kExportFileName, channel) == 0;
  if (!stored) return TraceExportResult::TransferFailed;

  std::vector<std::uint8_t> buffer(kTraceExportBufferSize, 0);
  const BlockRead block = FetchInstrumentFile(session, kExportFileName, buffer);
  // What a refused block leaves unread would otherwise answer the next
  // query (the acquisition's frame). A reply that stopped coming is not
  // waited for again.
  if (!block.ok && block.status != VI_ERROR_TMO) viFlush(session, VI_READ_BUF);
  DeleteInstrumentFile(session, kExportFileName, 1);
  if (!block.ok || block.announced < tracefile::kSize) return TraceExportResult::TransferFailed;

  return WriteTraceText(std::span(buffer.data(), block.announced), voltsPerDiv, path);
}
