// Trace colours shared by the plots, markers, cursors and measurement texts.
#pragma once

#include <array>
#include <cstdint>

// 24-bit RGB, indexed by channel: 0 = CH1, 1 = CH2.
inline constexpr std::array<std::uint32_t, 2> ChannelColour = {0xFF0000, 0x00C000};
// Stored reference traces are drawn paler than the live channel they came from.
inline constexpr std::array<std::uint32_t, 2> ReferenceColour = {0xFF8080, 0x80FF80};
