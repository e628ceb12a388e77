// The trace file's header on arbitrary bytes (the codes after it are left
// zero): it decodes only with both table indexes inside their tables and a
// finite probe factor and position, into a finite scale and a unit of at
// most four characters.
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "fuzz/FuzzSupport.h"
#include "link/SecondsPerDiv.h"
#include "link/TraceExport.h"

using fuzzsupport::Require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static std::vector<std::uint8_t> file(tracefile::kSize, 0);
  static const VoltsPerDivValues voltsPerDiv = VoltsPerDivTableFor(162);
  const std::size_t header = std::min(size, tracefile::kCodesAt);
  std::memcpy(file.data(), data, header);
  std::memset(file.data() + header, 0, tracefile::kCodesAt - header);

  // Any shorter file is refused.
  Require(!DecodeTraceScale(std::span(file).first(tracefile::kSize - 1), voltsPerDiv));
  const std::optional<TraceScale> scale = DecodeTraceScale(file, voltsPerDiv);
  const bool indexesInside = file[tracefile::kTimebaseIndexAt] < SecondsPerDivTable.size() &&
                             file[tracefile::kSensitivityIndexAt] < voltsPerDiv.size();
  if (!indexesInside) Require(!scale);
  if (!scale) return 0;
  Require(std::isfinite(scale->sampleInterval) && scale->sampleInterval > 0);
  Require(std::isfinite(scale->voltsPerCode));
  Require(scale->unit.size() <= tracefile::kUnitSize && scale->unit.find('\0') == std::string::npos);
  return 0;
}
