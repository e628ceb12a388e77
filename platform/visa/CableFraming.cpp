#include "platform/visa/CableFraming.h"

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>

#include <algorithm>
#include <cerrno>

namespace visa {
namespace {

using Clock = std::chrono::steady_clock;

enum class IoWait { Ready, Timeout, Error };

// Waits for `events` on fd until `deadline` (no deadline when `forever`).
IoWait WaitFor(int fd, short events, bool forever, Clock::time_point deadline) {
  for (;;) {
    int waitMs = -1;
    if (!forever) {
      auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
      waitMs = left > 0 ? static_cast<int>(std::min<long long>(left, 1 << 30)) : 0;
    }
    pollfd p{fd, events, 0};
    int n = ::poll(&p, 1, waitMs);
    if (n > 0) return (p.revents & (events | POLLHUP | POLLERR)) ? IoWait::Ready : IoWait::Error;
    if (n == 0) return IoWait::Timeout;
    if (errno != EINTR) return IoWait::Error;
  }
}

bool Expired(bool forever, Clock::time_point deadline) { return !forever && Clock::now() >= deadline; }

CableWrite SendAll(int fd, const std::uint8_t* data, std::size_t count, bool forever, Clock::time_point deadline) {
  while (count > 0) {
    ssize_t n = ::send(fd, data, count, MSG_NOSIGNAL | MSG_DONTWAIT);
    if (n > 0) {
      data += n;
      count -= static_cast<std::size_t>(n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      switch (WaitFor(fd, POLLOUT, forever, deadline)) {
        case IoWait::Ready: continue;
        case IoWait::Timeout: return CableWrite::Timeout;
        case IoWait::Error: break;
      }
    }
    return CableWrite::Failed;
  }
  return CableWrite::Ok;
}

enum class Fill { Done, Timeout, Closed };

// Receives into buf[have..want) until full or the deadline passes.
Fill FillTo(int fd, std::uint8_t* buf, std::size_t want, std::size_t& have, bool forever,
            Clock::time_point deadline) {
  while (have < want) {
    IoWait w = WaitFor(fd, POLLIN, forever, deadline);
    if (w == IoWait::Timeout) return Fill::Timeout;
    if (w == IoWait::Error) return Fill::Closed;
    ssize_t n = ::recv(fd, buf + have, want - have, MSG_DONTWAIT);
    if (n > 0) {
      have += static_cast<std::size_t>(n);
    } else if (n == 0) {
      return Fill::Closed;
    } else if (errno != EINTR && errno != EAGAIN && errno != EWOULDBLOCK) {
      return Fill::Closed;
    }
  }
  return Fill::Done;
}

// FillTo into `buf`, which grows with what has arrived, doubling, rather
// than to `want` at once: a peer announcing a megabyte and sending a few
// bytes costs a few bytes.
Fill FillGrowing(int fd, std::vector<std::uint8_t>& buf, std::size_t want, std::size_t& have, bool forever,
                 Clock::time_point deadline) {
  constexpr std::size_t kFirstStep = 4096;
  while (have < want) {
    const std::size_t step = std::min(want, std::max(kFirstStep, 2 * have));
    buf.resize(step);
    const Fill f = FillTo(fd, buf.data(), step, have, forever, deadline);
    if (f != Fill::Done) return f;
  }
  return Fill::Done;
}

}  // namespace

CableWrite WriteCableFrame(int fd, const std::uint8_t* data, std::size_t count, std::chrono::milliseconds timeout) {
  if (count > kCableMaxFrame) return CableWrite::Failed;
  const bool forever = timeout.count() < 0;
  const Clock::time_point deadline = forever ? Clock::time_point{} : Clock::now() + timeout;
  const std::uint8_t header[4] = {static_cast<std::uint8_t>(count >> 24), static_cast<std::uint8_t>(count >> 16),
                                  static_cast<std::uint8_t>(count >> 8), static_cast<std::uint8_t>(count)};
  const CableWrite result = SendAll(fd, header, sizeof header, forever, deadline);
  return result == CableWrite::Ok ? SendAll(fd, data, count, forever, deadline) : result;
}

CableRead CableFrameReader::Read(int fd, std::vector<std::uint8_t>& out, std::chrono::milliseconds timeout) {
  const bool forever = timeout.count() < 0;
  const Clock::time_point deadline = forever ? Clock::time_point{} : Clock::now() + timeout;
  for (;;) {
    if (!inPayload_) {
      Fill f = FillTo(fd, header_.data(), header_.size(), headerHave_, forever, deadline);
      if (f == Fill::Timeout) return CableRead::Timeout;
      if (f == Fill::Closed) return CableRead::Closed;
      const std::size_t length = (std::size_t{header_[0]} << 24) | (std::size_t{header_[1]} << 16) |
                                 (std::size_t{header_[2]} << 8) | std::size_t{header_[3]};
      headerHave_ = 0;
      if (length > kCableMaxFrame) return CableRead::ProtocolError;
      if (length == 0) {
        // Empty frames carry nothing, but a stream of them must not hold
        // the call past its deadline.
        if (Expired(forever, deadline)) return CableRead::Timeout;
        continue;
      }
      payload_.clear();
      payloadWant_ = length;
      payloadHave_ = 0;
      inPayload_ = true;
    }
    const Fill f = FillGrowing(fd, payload_, payloadWant_, payloadHave_, forever, deadline);
    if (f == Fill::Timeout) return CableRead::Timeout;
    if (f == Fill::Closed) return CableRead::Closed;
    inPayload_ = false;
    out = std::move(payload_);
    payload_.clear();
    return CableRead::Ok;
  }
}

CableRead ReadCableFrame(int fd, std::vector<std::uint8_t>& out, std::chrono::milliseconds timeout) {
  CableFrameReader reader;
  CableRead r = reader.Read(fd, out, timeout);
  if (r == CableRead::Timeout && reader.Partial()) return CableRead::ProtocolError;
  return r;
}

bool SetCableSocketOptions(int fd) {
  int on = 1;
  return ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on) == 0;
}

}  // namespace visa
