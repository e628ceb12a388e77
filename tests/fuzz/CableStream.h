// Feeds a byte stream to a cable frame reader the way a connection delivers
// it: in pieces, each followed by reads that do not wait, then the peer
// closes. Also decodes the same stream in one pass, as the frames the reader
// must give.
#pragma once

#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <span>
#include <vector>

#include "fuzz/FuzzSupport.h"
#include "platform/visa/CableFraming.h"

namespace fuzzsupport {

using Frames = std::vector<std::vector<std::uint8_t>>;

struct CableResult {
  Frames frames;
  bool protocolError = false;  // else the stream ended with the peer closing
};

// The frames a whole stream holds: empty ones skipped, a length over the
// limit ends it, an incomplete last frame is lost with the connection.
inline CableResult DecodeWholeStream(std::span<const std::uint8_t> stream) {
  CableResult result;
  std::size_t at = 0;
  while (stream.size() - at >= 4) {
    const std::size_t length = std::size_t{stream[at]} << 24 | std::size_t{stream[at + 1]} << 16 |
                               std::size_t{stream[at + 2]} << 8 | stream[at + 3];
    at += 4;
    if (length > visa::kCableMaxFrame) {
      result.protocolError = true;
      break;
    }
    if (length > stream.size() - at) break;
    if (length > 0) result.frames.emplace_back(stream.begin() + at, stream.begin() + at + length);
    at += length;
  }
  return result;
}

// Sends `stream` in pieces of `piece` bytes through a socket pair and reads
// frames with `reader` after each piece, as a serving loop does.
inline CableResult ReadInPieces(std::span<const std::uint8_t> stream, std::size_t piece) {
  int fds[2];
  Require(::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, fds) == 0);
  visa::CableFrameReader reader;
  CableResult result;
  std::vector<std::uint8_t> frame;
  auto readAvailable = [&](std::chrono::milliseconds wait) {
    for (;;) {
      switch (reader.Read(fds[0], frame, wait)) {
        case visa::CableRead::Ok: result.frames.push_back(frame); continue;
        case visa::CableRead::ProtocolError: result.protocolError = true; return false;
        case visa::CableRead::Closed: return false;
        case visa::CableRead::Timeout: return true;
      }
    }
  };
  bool open = true;
  for (std::size_t at = 0; open && at < stream.size(); at += piece) {
    const std::size_t count = std::min(piece, stream.size() - at);
    Require(::send(fds[1], stream.data() + at, count, MSG_NOSIGNAL) == static_cast<ssize_t>(count));
    open = readAvailable(std::chrono::milliseconds(0));
  }
  ::shutdown(fds[1], SHUT_WR);
  // With the peer gone, waiting cannot block: the rest is read to its end.
  if (open) Require(!readAvailable(visa::kNoTimeLimit));
  ::close(fds[0]);
  ::close(fds[1]);
  return result;
}

// The piece size a fuzz input chooses with its first byte (1 to 256), but
// at most 8 pieces: where they fall matters, not how many there are.
inline std::size_t PieceSize(std::uint8_t choice, std::size_t streamSize) {
  constexpr std::size_t kMostPieces = 8;
  return std::max(std::size_t{choice} + 1, (streamSize + kMostPieces - 1) / kMostPieces);
}

}  // namespace fuzzsupport
