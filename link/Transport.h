// Byte-level rules every exchange with the instrument follows: commands end in
// a carriage return, queries read once up to a maximum count, binary replies
// are definite-length blocks ("#" n, n length digits, data, two trailing bytes).
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>

#include "link/NumberText.h"
#include "platform/visa/Visa.h"

inline constexpr std::size_t kCommandBufferSize = 512;
inline constexpr ViUInt32 kStandingTimeoutMs = 3000;

// Writes exactly `bytes` in one write; returns the write status.
ViStatus WriteBytes(ViSession session, std::string_view bytes);

namespace detail {
inline void AppendPiece(std::string& out, std::string_view text) { out.append(text); }
inline void AppendPiece(std::string& out, const char* text) { out.append(text); }
inline void AppendPiece(std::string& out, char c) { out.push_back(c); }
template <typename T>
  requires std::is_integral_v<T>
void AppendPiece(std::string& out, T value) { out.append(std::to_string(value)); }
inline void AppendPiece(std::string& out, double value) { out.append(FormatReal(value)); }
}  // namespace detail

// Formats a command from its pieces (texts, integers as decimal, reals as
// fixed-point) and writes it. A command longer than the 512-byte command
// buffer is not sent.
template <typename... Pieces>
ViStatus SendCommand(ViSession session, const Pieces&... pieces) {
  std::string command;
  (detail::AppendPiece(command, pieces), ...);
  if (command.size() > kCommandBufferSize) return VI_ERROR_INV_EXPR;
  return WriteBytes(session, command);
}

// Writes `command`, waits `waitSeconds` when positive, then reads once up to
// `maxCount` bytes into `reply`. Returns the read status (or the write status
// when the write failed).
ViStatus Query(ViSession session, std::string_view command, double waitSeconds, std::size_t maxCount,
               std::string& reply);

struct BlockRead {
  ViStatus prefixStatus = VI_SUCCESS;  // status of the two-byte prefix read
  ViStatus status = VI_SUCCESS;  // status of the last read
  std::size_t count = 0;         // bytes placed in the buffer
  std::size_t announced = 0;     // L, the announced data length
  bool ok = false;               // exactly L + 2 bytes arrived into the buffer
};

// Reads one definite-length block: the prefix, then the L data bytes and the
// two trailing bytes from the buffer's first byte. A missing "#", a bad
// length, a block that would not fit `buffer`, a timeout or a zero-byte read
// all end the read at once with ok = false. END is suppressed for the data
// and switched off again before returning; `endAlreadySuppressed` says the
// caller suppressed it before the prefix and wants it left on the prefix read.
BlockRead ReadDefiniteBlock(ViSession session, std::span<std::uint8_t> buffer, bool endAlreadySuppressed = false);

// Sends `command` followed by "*wai\rsyst:err?\r" in one write and looks for
// "0,No error" in the reply (up to 512 bytes). True when found.
bool CheckErrorQueue(ViSession session, std::string_view command);
