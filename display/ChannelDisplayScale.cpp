#include "display/ChannelDisplayScale.h"

#include <algorithm>
#include <mutex>

namespace {

std::mutex scalesMutex;
std::array<ChannelDisplayScale, 2> scales;

bool ValidChannel(int channel) { return channel == 0 || channel == 1; }

}  // namespace

ChannelDisplayScale LoadChannelDisplayScale(int channel) {
  if (!ValidChannel(channel)) return {};
  std::lock_guard lock(scalesMutex);
  return scales[static_cast<std::size_t>(channel)];
}

void UpdateChannelDisplayScale(int channel, float probeFactor, std::uint16_t voltsPerDivIndex,
                               std::uint16_t couplingIndex, std::string_view unit) {
  if (!ValidChannel(channel)) return;
  unit = unit.substr(0, std::min(unit.find('\0'), kUnitTextLength));
  std::lock_guard lock(scalesMutex);
  ChannelDisplayScale& scale = scales[static_cast<std::size_t>(channel)];
  scale.probeFactor = probeFactor;
  scale.voltsPerDivIndex = voltsPerDivIndex;
  scale.couplingIndex = couplingIndex;
  scale.unit.fill('\0');
  std::copy(unit.begin(), unit.end(), scale.unit.begin());
}
