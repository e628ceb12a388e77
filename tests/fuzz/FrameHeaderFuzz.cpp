// The acquisition frame header on arbitrary bytes: a parsed header ends at
// its fifteenth comma inside the frame, and each field it reports is the
// number written before the matching comma.
#include <algorithm>
#include <charconv>
#include <cstdint>
#include <span>

#include "acquisition/FrameHeader.h"
#include "fuzz/FuzzSupport.h"

namespace {

using fuzzsupport::Require;

constexpr int kFields = 15;

// Commas in the first `end` bytes.
int CommasBefore(std::span<const std::uint8_t> frame, std::size_t end) {
  return static_cast<int>(std::count(frame.begin(), frame.begin() + static_cast<std::ptrdiff_t>(end), ','));
}

// Field `index` (0-based) as the text between its neighbouring commas.
std::string_view FieldText(std::span<const std::uint8_t> frame, int index) {
  const auto text = fuzzsupport::AsText(frame.data(), frame.size());
  std::size_t start = 0;
  for (int i = 0; i < index; ++i) start = text.find(',', start) + 1;
  return text.substr(start, text.find(',', start) - start);
}

int FieldValue(std::span<const std::uint8_t> frame, int index, int base) {
  const std::string_view text = FieldText(frame, index);
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
  Require(error == std::errc() && end == text.data() + text.size());
  return value;
}

void CheckHeader(const FrameHeader& header, std::span<const std::uint8_t> frame) {
  Require(header.length >= 2 * kFields && header.length <= frame.size());
  Require(frame[header.length - 1] == ',');
  Require(CommasBefore(frame, header.length) == kFields);
  Require(header.FrameFlags == FieldValue(frame, 0, 16));
  Require(header.ChannelMask == FieldValue(frame, 5, 16));
  Require(header.PointsPerChannel == FieldValue(frame, 6, 10));
  Require(header.VerticalPosition[0] == static_cast<std::int16_t>(FieldValue(frame, 7, 10)));
  Require(header.VerticalPosition[1] == static_cast<std::int16_t>(FieldValue(frame, 8, 10)));
  Require(header.TriggerSource == FieldValue(frame, 9, 10));
  Require(header.TriggerLevel == FieldValue(frame, 10, 10));
  Require(header.TriggerPosition == FieldValue(frame, 11, 10));
  Require(header.AcquisitionState == FieldValue(frame, 12, 10));
  Require(header.RunStop == (FieldValue(frame, 13, 10) != 0 ? 1 : 0));  // a flag: non-zero is stopped
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> frame(data, size);
  const std::optional<FrameHeader> header = ParseFrameHeader(frame);
  if (header) CheckHeader(*header, frame);
  return 0;
}
