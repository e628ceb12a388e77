#include "acquisition/FrameExchange.h"

#include <charconv>

#include "link/Transport.h"

namespace {

constexpr std::size_t kPrefixBytes = 2;
constexpr std::size_t kTrailingBytes = 2;
// Nine digits already announce far more than the frame buffer holds.
constexpr int kMaxLengthDigits = 9;
constexpr std::uint8_t kBlockMark = '#';

bool ReadExactly(ViSession session, std::uint8_t* into, std::size_t count) {
  ViUInt32 got = 0;
  viRead(session, into, static_cast<ViUInt32>(count), &got);
  return got == count;
}

// The first two reads: "#" n, then the n length digits. L, or nullopt.
std::optional<std::size_t> ReadBlockLength(ViSession session, ExchangeBuffers& buffers) {
  std::uint8_t* prefix = buffers.prefix.data();
  if (!ReadExactly(session, prefix, kPrefixBytes) || prefix[0] != kBlockMark) return std::nullopt;
  const int digits = prefix[1] - '0';
  if (digits < 1 || digits > kMaxLengthDigits) return std::nullopt;
  std::uint8_t* lengthText = prefix + kPrefixBytes;
  if (!ReadExactly(session, lengthText, static_cast<std::size_t>(digits))) return std::nullopt;
  const char* begin = reinterpret_cast<const char*>(lengthText);
  const char* end = begin + digits;
  std::size_t length = 0;
  const auto [next, error] = std::from_chars(begin, end, length);
  if (error != std::errc() || next != end) return std::nullopt;
  return length;
}

std::optional<ReceivedFrame> ReadFrame(ViSession session, ExchangeBuffers& buffers) {
  const std::optional<std::size_t> length = ReadBlockLength(session, buffers);
  if (!length || *length > buffers.frame.size() - kTrailingBytes) return std::nullopt;
  if (!ReadExactly(session, buffers.frame.data(), *length + kTrailingBytes)) return std::nullopt;
  ReceivedFrame received;
  received.length = *length;
  const std::optional<FrameHeader> header = ParseFrameHeader(received.Bytes(buffers));
  if (!header) return std::nullopt;
  received.header = *header;
  return received;
}

}  // namespace

std::optional<ReceivedFrame> ExchangeFrame(ViSession session, std::string_view request, ExchangeBuffers& buffers) {
  WriteBytes(session, request);
  viSetAttribute(session, VI_ATTR_SUPPRESS_END_EN, VI_TRUE);
  std::optional<ReceivedFrame> received = ReadFrame(session, buffers);
  viSetAttribute(session, VI_ATTR_SUPPRESS_END_EN, VI_FALSE);
  return received;
}
