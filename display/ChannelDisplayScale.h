// What the cursor readouts need to know of each channel's vertical scale: a
// copy of its probe factor, sensitivity, coupling and unit, taken from the
// setup record by the main panel after every setup change. The acquisition
// thread reads it while the user-interface thread rewrites it, so each
// channel's copy is read and written whole under a lock.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

inline constexpr std::size_t kUnitTextLength = 3;

struct ChannelDisplayScale {
  float probeFactor = 1.0f;
  std::uint16_t voltsPerDivIndex = 0;  // into VoltsPerDivTable
  std::uint16_t couplingIndex = 0;     // 0 AC, 1 DC, 2 ground
  std::array<char, kUnitTextLength + 1> unit{};  // always terminated
  // Timebase of a trace loaded from the instrument's memory; nothing changes
  // it, so such traces are timed as at 100 ns/div.
  std::uint16_t storedTraceTimebaseIndex = 0;
};

// The copy for channel 0 (CH1) or 1 (CH2); any other channel gives the
// default scale.
ChannelDisplayScale LoadChannelDisplayScale(int channel);
// Takes the first three characters of `unit` (it stops at a NUL byte) and
// keeps the stored-trace timebase index. Other channels are ignored.
void UpdateChannelDisplayScale(int channel, float probeFactor, std::uint16_t voltsPerDivIndex,
                               std::uint16_t couplingIndex, std::string_view unit);
