#include "acquisition/FrameHeader.h"

#include <array>
#include <charconv>

namespace {

constexpr int kHeaderFields = 15;
// Fields 1 and 6 (FrameFlags, ChannelMask) are hexadecimal.
constexpr std::array<bool, kHeaderFields> kHexField = {true,  false, false, false, false, true,  false, false,
                                                       false, false, false, false, false, false, false};

// One field and its comma of `frame` at `pos`; advances `pos` past the comma.
bool ParseField(std::span<const std::uint8_t> frame, std::size_t& pos, int base, int& value) {
  const char* begin = reinterpret_cast<const char*>(frame.data()) + pos;
  const char* end = reinterpret_cast<const char*>(frame.data()) + frame.size();
  const auto [next, error] = std::from_chars(begin, end, value, base);
  if (error != std::errc() || next == end || *next != ',') return false;
  pos = static_cast<std::size_t>(next - reinterpret_cast<const char*>(frame.data())) + 1;
  return true;
}

void StoreFields(const std::array<int, kHeaderFields>& field, FrameHeader& header) {
  header.FrameFlags = field[0];
  header.ChannelMask = field[5];
  header.PointsPerChannel = field[6];
  header.VerticalPosition[0] = static_cast<std::int16_t>(field[7]);
  header.VerticalPosition[1] = static_cast<std::int16_t>(field[8]);
  header.TriggerSource = field[9];
  header.TriggerLevel = field[10];
  header.TriggerPosition = field[11];
  header.AcquisitionState = field[12];
  // A flag sent as a 32-bit field: any non-zero value means stopped. Kept as
  // 0 or 1, since the setup record's 16-bit run state would otherwise read
  // 65536 as acquiring and 65537 as stopped.
  header.RunStop = field[13] != 0 ? 1 : 0;
}

}  // namespace

std::optional<FrameHeader> ParseFrameHeader(std::span<const std::uint8_t> frame) {
  std::array<int, kHeaderFields> field{};
  std::size_t pos = 0;
  for (int i = 0; i < kHeaderFields; ++i) {
    if (!ParseField(frame, pos, kHexField[i] ? 16 : 10, field[i])) return std::nullopt;
  }
  FrameHeader header;
  StoreFields(field, header);
  header.length = pos;
  return header;
}
