#include "link/Transport.h"

#include <array>

#include "platform/os/Timing.h"

namespace {

constexpr std::size_t kMaxLengthDigits = 9;
constexpr std::size_t kTrailingBytes = 2;
constexpr std::size_t kErrorReplyMax = 512;

// Reads the "#" n prefix and the n length digits; false when they are not a
// well-formed block header.
bool ReadBlockHeader(ViSession session, BlockRead& result) {
  std::array<ViByte, 2> prefix{};
  ViUInt32 got = 0;
  result.status = viRead(session, prefix.data(), 2, &got);
  result.prefixStatus = result.status;
  if (result.status < 0 || got != 2 || prefix[0] != '#') return false;
  const int digits = prefix[1] - '0';
  if (digits < 1 || digits > static_cast<int>(kMaxLengthDigits)) return false;

  std::array<ViByte, kMaxLengthDigits> lengthText{};
  got = 0;
  result.status = viRead(session, lengthText.data(), static_cast<ViUInt32>(digits), &got);
  if (result.status < 0 || got != static_cast<ViUInt32>(digits)) return false;
  std::size_t length = 0;
  for (int i = 0; i < digits; ++i) {
    if (lengthText[i] < '0' || lengthText[i] > '9') return false;
    length = length * 10 + static_cast<std::size_t>(lengthText[i] - '0');
  }
  result.announced = length;
  return true;
}

// Reads until `wanted` bytes are in `buffer`; stops at the first error or
// zero-byte read so a silent instrument cannot hold the caller forever.
void ReadBlockBody(ViSession session, std::span<std::uint8_t> buffer, std::size_t wanted, BlockRead& result) {
  while (result.count < wanted) {
    ViUInt32 got = 0;
    result.status = viRead(session, buffer.data() + result.count, static_cast<ViUInt32>(wanted - result.count), &got);
    result.count += got;
    if (result.status < 0 || got == 0) break;
  }
}

}  // namespace

ViStatus WriteBytes(ViSession session, std::string_view bytes) {
  ViUInt32 written = 0;
  return viWrite(session, reinterpret_cast<ViConstBuf>(bytes.data()), static_cast<ViUInt32>(bytes.size()), &written);
}

ViStatus Query(ViSession session, std::string_view command, double waitSeconds, std::size_t maxCount,
               std::string& reply) {
  reply.clear();
  const ViStatus writeStatus = WriteBytes(session, command);
  if (writeStatus < 0) return writeStatus;
  if (waitSeconds > 0.0) Delay(waitSeconds);
  reply.resize(maxCount);
  ViUInt32 got = 0;
  const ViStatus status = viRead(session, reinterpret_cast<ViBuf>(reply.data()), static_cast<ViUInt32>(maxCount), &got);
  reply.resize(got);
  return status;
}

BlockRead ReadDefiniteBlock(ViSession session, std::span<std::uint8_t> buffer, bool endAlreadySuppressed) {
  BlockRead result;
  const bool header = ReadBlockHeader(session, result);
  const std::size_t wanted = result.announced + kTrailingBytes;
  if (header && wanted <= buffer.size()) {
    if (!endAlreadySuppressed) viSetAttribute(session, VI_ATTR_SUPPRESS_END_EN, VI_TRUE);
    ReadBlockBody(session, buffer, wanted, result);
    result.ok = result.count == wanted;
  }
  viSetAttribute(session, VI_ATTR_SUPPRESS_END_EN, VI_FALSE);
  return result;
}

bool CheckErrorQueue(ViSession session, std::string_view command) {
  std::string full(command);
  full.append("*wai\rsyst:err?\r");
  std::string reply;
  Query(session, full, 0.0, kErrorReplyMax, reply);
  return reply.find("0,No error") != std::string::npos;
}
