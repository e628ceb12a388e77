#include "link/InstrumentSetup.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <limits>

#include "link/SetupLayout.h"

// Records in memory and in files are little-endian; the conversion below
// assumes that is also the host's order.
static_assert(std::endian::native == std::endian::little);

InstrumentSetup ProgramSetup{};
std::mutex SetupRecordMutex;

InstrumentSetup SnapshotProgramSetup() {
  std::lock_guard lock(SetupRecordMutex);
  return ProgramSetup;
}

std::uint32_t SetupChecksum(const std::uint8_t* data, std::size_t count) {
  std::uint32_t sum = 0;
  for (std::size_t i = 0; i < count; ++i) sum += data[i];
  return ~sum;
}

std::uint32_t RecordChecksum(const InstrumentSetup& setup) {
  return SetupChecksum(reinterpret_cast<const std::uint8_t*>(&setup) + kChecksumStart, kChecksumCount);
}

void SwapBytes(int kind, void* data) {
  auto* bytes = static_cast<std::uint8_t*>(data);
  switch (kind) {
    case 0: std::reverse(bytes, bytes + 2); break;
    case 1: std::reverse(bytes, bytes + 4); break;
    case 2: std::reverse(bytes, bytes + 8); break;
    default: break;
  }
}

void SwapSetupByteOrder(std::uint8_t* record) {
  for (const SetupLayoutEntry& entry : kSetupLayout) {
    if (entry.swapWidth == 2) SwapBytes(0, record + entry.offset);
    if (entry.swapWidth == 4) SwapBytes(1, record + entry.offset);
  }
}

void SwapSetupByteOrder(InstrumentSetup* setup) { SwapSetupByteOrder(reinterpret_cast<std::uint8_t*>(setup)); }

std::int16_t DivisionsToUnits(double divisions) {
  constexpr double kLow = std::numeric_limits<std::int16_t>::min();
  constexpr double kHigh = std::numeric_limits<std::int16_t>::max();
  if (std::isnan(divisions)) return 0;
  return static_cast<std::int16_t>(std::clamp(std::trunc(kUnitsPerDivision * divisions), kLow, kHigh));
}
