// Framing of the virtual USB cable: each frame is a 4-byte big-endian length
// followed by that many bytes. Shared by the tunnel backend (host side) and
// the kvx-sim server (device side), so both ends agree byte for byte.
#pragma once

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace visa {

// Longest payload either side accepts; a longer announced length is a
// protocol error after which the connection must be closed.
inline constexpr std::size_t kCableMaxFrame = 1024 * 1024;

enum class CableRead { Ok, Timeout, Closed, ProtocolError };
enum class CableWrite { Ok, Timeout, Failed };

// Writes one frame (header and payload) completely, waiting at most
// `timeout` (negative: forever) for a peer that does not read. Failed when
// the peer is gone or count exceeds kCableMaxFrame. After Timeout or Failed
// part of the frame may have gone out, so the connection must be closed.
// Never raises SIGPIPE; works on blocking and non-blocking sockets.
CableWrite WriteCableFrame(int fd, const std::uint8_t* data, std::size_t count, std::chrono::milliseconds timeout);

// Reads frames that may arrive in pieces across several calls: a frame cut
// by a timeout is resumed by the next call instead of desynchronising the
// stream. Use one reader per connection.
class CableFrameReader {
 public:
  // Waits up to `timeout` (negative: forever) for the next complete non-empty
  // frame and moves it into `out` (replacing its contents). Zero-length frames
  // are skipped, but a stream of them ends the call at its deadline like
  // silence would. Timeout leaves `out` untouched.
  CableRead Read(int fd, std::vector<std::uint8_t>& out, std::chrono::milliseconds timeout);
  // True while a frame has begun arriving but is not complete.
  bool Partial() const { return inPayload_ || headerHave_ > 0; }

 private:
  std::array<std::uint8_t, 4> header_{};
  std::size_t headerHave_ = 0;
  std::vector<std::uint8_t> payload_;
  std::size_t payloadWant_ = 0;
  std::size_t payloadHave_ = 0;
  bool inPayload_ = false;
};

// One-shot form for exchanges that read a single frame per connection (the
// OPEN/BUSY greeting). A frame still incomplete at the deadline is reported as
// ProtocolError, since its remaining bytes would desynchronise any later read.
CableRead ReadCableFrame(int fd, std::vector<std::uint8_t>& out, std::chrono::milliseconds timeout);

// TCP_NODELAY for a cable socket; both ends set it. False if it failed.
bool SetCableSocketOptions(int fd);

}  // namespace visa
