#include "platform/visa/TunnelBackend.h"

#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "platform/visa/CableFraming.h"

namespace visa {
namespace {

using Clock = std::chrono::steady_clock;

class TunnelLink : public DeviceLink {
 public:
  explicit TunnelLink(int fd) : fd_(fd) {}
  ~TunnelLink() override { Drop(); }

  LinkResult Send(const std::uint8_t* data, std::size_t count, std::chrono::milliseconds timeout) override {
    if (fd_ < 0) return LinkResult::Lost;
    // One write is one frame; a write the cable cannot carry is refused
    // without disturbing the connection.
    if (count > kCableMaxFrame) return LinkResult::Lost;
    if (WriteCableFrame(fd_, data, count, timeout) == CableWrite::Ok) return LinkResult::Ok;
    // A peer that stopped reading is treated like a pulled cable: part of
    // the frame may be out, so the stream cannot be trusted any more. viWrite
    // says VI_ERROR_CONN_LOST rather than VI_ERROR_TMO because no retry on
    // this session can succeed, and every later call reports the same.
    Drop();
    return LinkResult::Lost;
  }

  LinkResult Receive(std::vector<std::uint8_t>& out, bool& endOfMessage, std::chrono::milliseconds timeout) override {
    if (fd_ < 0) return LinkResult::Lost;
    switch (reader_.Read(fd_, frame_, timeout)) {
      case CableRead::Ok:
        out.insert(out.end(), frame_.begin(), frame_.end());
        endOfMessage = true;  // each frame is one whole message
        return LinkResult::Ok;
      case CableRead::Timeout:
        return LinkResult::Timeout;
      case CableRead::Closed:
      case CableRead::ProtocolError:
        break;
    }
    Drop();
    return LinkResult::Lost;
  }

 private:
  void Drop() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
  }

  int fd_;
  CableFrameReader reader_;
  std::vector<std::uint8_t> frame_;
};

// Non-blocking connect bounded by `deadline`; -1 when no address answers.
int ConnectOne(const addrinfo* ai, Clock::time_point deadline) {
  int fd = ::socket(ai->ai_family, ai->ai_socktype | SOCK_CLOEXEC | SOCK_NONBLOCK, ai->ai_protocol);
  if (fd < 0) return -1;
  if (::connect(fd, ai->ai_addr, ai->ai_addrlen) == 0) return fd;
  if (errno == EINPROGRESS) {
    auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
    pollfd p{fd, POLLOUT, 0};
    int err = 0;
    socklen_t len = sizeof err;
    if (left > 0 && ::poll(&p, 1, static_cast<int>(left)) == 1 &&
        ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &err, &len) == 0 && err == 0)
      return fd;
  }
  ::close(fd);
  return -1;
}

int Connect(const std::string& host, std::uint16_t port) {
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  if (::getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found) != 0) return -1;
  const Clock::time_point deadline = Clock::now() + kTunnelOpenWait;
  int fd = -1;
  for (const addrinfo* ai = found; ai != nullptr && fd < 0; ai = ai->ai_next) fd = ConnectOne(ai, deadline);
  ::freeaddrinfo(found);
  if (fd >= 0) SetCableSocketOptions(fd);
  return fd;
}

class TunnelInstrument : public Instrument {
 public:
  TunnelInstrument(std::string host, std::uint16_t port) : host_(std::move(host)), port_(port) {}

  std::string Descriptor() const override {
    return UsbRawDescriptor(kKelvarinVendorId, kModelCode162, "TUNNEL" + std::to_string(port_));
  }
  std::uint16_t ManufacturerId() const override { return kKelvarinVendorId; }
  std::uint16_t ModelCode() const override { return kModelCode162; }

  ViStatus Open(std::unique_ptr<DeviceLink>& link) override {
    const int fd = Connect(host_, port_);
    if (fd < 0) return VI_ERROR_RSRC_NFOUND;  // nobody serves that address
    std::vector<std::uint8_t> greeting;
    const CableRead r = ReadCableFrame(fd, greeting, kTunnelOpenWait);
    static constexpr std::uint8_t kOpen[] = {'O', 'P', 'E', 'N'};
    if (r != CableRead::Ok || greeting != std::vector<std::uint8_t>(std::begin(kOpen), std::end(kOpen))) {
      ::close(fd);
      return VI_ERROR_RSRC_BUSY;  // the server serves someone else
    }
    link = std::make_unique<TunnelLink>(fd);
    return VI_SUCCESS;
  }

 private:
  std::string host_;
  std::uint16_t port_;
};

}  // namespace

std::shared_ptr<Instrument> MakeTunnelInstrument(const std::string& host, std::uint16_t port) {
  return std::make_shared<TunnelInstrument>(host, port);
}

}  // namespace visa
