// Exporting a channel's full record as text: the instrument stores the
// channel as a trace file, the program fetches it, deletes it on the
// instrument, decodes it and writes one line (time, value) per sample.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "link/InstrumentSession.h"
#include "platform/visa/Visa.h"

// The trace file: a 34-byte big-endian header, then 50,000 u16 codes.
namespace tracefile {
inline constexpr std::size_t kTimebaseIndexAt = 3;     // low byte of a u16
inline constexpr std::size_t kProbeFactorAt = 4;       // f32
inline constexpr std::size_t kPositionAt = 12;         // f64, 1/22 division
inline constexpr std::size_t kSensitivityIndexAt = 23; // low byte of a u16
inline constexpr std::size_t kUnitAt = 30;             // char[4], NUL-terminated
inline constexpr std::size_t kUnitSize = 4;
inline constexpr std::size_t kCodesAt = 34;            // u16 each
inline constexpr int kPoints = 50000;
inline constexpr std::size_t kSize = kCodesAt + 2 * kPoints;
static_assert(kSize == 100034);
inline constexpr int kCentreCode = 2048;
}  // namespace tracefile

// Room for the trace file and its block's trailing bytes; a block announcing
// more is refused.
inline constexpr std::size_t kTraceExportBufferSize = 100100;
static_assert(tracefile::kSize + 2 <= kTraceExportBufferSize);
// What the instrument is asked to store the trace as.
inline constexpr const char* kExportFileName = "TEMP_FILE.TRC";

using VoltsPerDivValues = std::array<double, kSensitivityCount>;

// How a trace file's codes become times and values.
struct TraceScale {
  double sampleInterval = 0.0;  // seconds between samples
  double voltsPerCode = 0.0;
  double offsetVolts = 0.0;     // the vertical position, in volts
  std::string unit;
};

// Nothing when the file is short, its timebase or sensitivity byte lies
// outside its table, or its probe factor and position give no finite scale.
std::optional<TraceScale> DecodeTraceScale(std::span<const std::uint8_t> file, const VoltsPerDivValues& voltsPerDiv);

// The export text of a trace file: the header "t (s)     \t<unit>\n", then
// per sample the time in 15 characters with a two-digit exponent, a tab,
// the value with six decimals and "\n". Independent of the user's locale.
// Nothing when the file cannot be decoded.
std::optional<std::string> TraceText(std::span<const std::uint8_t> file, const VoltsPerDivValues& voltsPerDiv);

enum class TraceExportResult {
  Written,
  TransferFailed,  // stored, fetched or decoded wrong: the user's file is untouched
  CannotCreate,    // the text file could not be written
};

// Writes the text of a fetched trace file to `path` (replaced in one step).
TraceExportResult WriteTraceText(std::span<const std::uint8_t> file, const VoltsPerDivValues& voltsPerDiv,
                                 const std::string& path);

// The whole export of `channel` (0 or 1) to `path` over `session`; the
// caller owns the link. The instrument's file is deleted whatever the fetch
// gave; `path` is replaced in one step or left as it was.
TraceExportResult ExportTraceFile(ViSession session, const VoltsPerDivValues& voltsPerDiv, const std::string& path,
                                  int channel);
