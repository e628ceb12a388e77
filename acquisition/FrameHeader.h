// The text header at the start of every acquisition frame: fifteen fields,
// each followed by a comma; fields 1 and 6 are hexadecimal, the others
// decimal. The binary data starts right after the fifteenth comma.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

struct FrameHeader {
  int FrameFlags = 0;        // bit 0: sample blocks follow; bit 1: a measurement block follows them
  int ChannelMask = 0;       // bit 0 CH1, bit 1 CH2 present
  int PointsPerChannel = 0;  // 5000: two blocks per channel; anything else: one
  std::int16_t VerticalPosition[2] = {0, 0};  // 1/22 division
  int TriggerSource = 0;     // 0 CH1, 1 CH2
  int TriggerLevel = 0;      // 1/22 division
  int TriggerPosition = 0;   // record points
  int AcquisitionState = 0;  // phase 0..7
  int RunStop = 0;           // 0 acquiring, 1 stopped (any non-zero field)
  std::size_t length = 0;    // characters up to and including the fifteenth comma
};

inline constexpr int kFrameHasSamples = 0x1;
inline constexpr int kFrameHasMeasurements = 0x2;
inline constexpr int kTwoBlockPoints = 5000;

// Parses the header at the start of `frame`. nullopt when a field is missing,
// not a number, or the fifteenth comma lies beyond `frame`.
std::optional<FrameHeader> ParseFrameHeader(std::span<const std::uint8_t> frame);
