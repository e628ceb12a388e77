#include "sim/Server.h"

#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <string_view>
#include <vector>

namespace kvxsim {
namespace {

constexpr std::string_view kOpen = "OPEN";
constexpr std::string_view kBusy = "BUSY";
constexpr int kBacklog = 8;
// Replies held back by a stall fault fall due between client writes; the
// serving loop looks for them this often while a client is connected.
constexpr int kReplyPollMs = 10;

bool WriteGreeting(int fd, std::string_view word, std::chrono::milliseconds wait) {
  return visa::WriteCableFrame(fd, reinterpret_cast<const std::uint8_t*>(word.data()), word.size(), wait) ==
         visa::CableWrite::Ok;
}

std::string NumericAddress(const sockaddr* address, socklen_t length) {
  char host[NI_MAXHOST] = {};
  if (::getnameinfo(address, length, host, sizeof host, nullptr, 0, NI_NUMERICHOST) != 0) return "?";
  return address->sa_family == AF_INET6 ? "[" + std::string(host) + "]" : std::string(host);
}

std::uint16_t BoundPort(int fd, std::string& address) {
  sockaddr_storage bound{};
  socklen_t length = sizeof bound;
  if (::getsockname(fd, reinterpret_cast<sockaddr*>(&bound), &length) != 0) return 0;
  address = NumericAddress(reinterpret_cast<sockaddr*>(&bound), length);
  char service[NI_MAXSERV] = {};
  ::getnameinfo(reinterpret_cast<sockaddr*>(&bound), length, nullptr, 0, service, sizeof service, NI_NUMERICSERV);
  return static_cast<std::uint16_t>(std::atoi(service));
}

int ListenOn(const std::string& host, std::uint16_t port, std::string& error) {
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_flags = AI_PASSIVE | AI_NUMERICSERV;
  addrinfo* found = nullptr;
  const std::string service = std::to_string(port);
  const int status = ::getaddrinfo(host.c_str(), service.c_str(), &hints, &found);
  if (status != 0) {
    error = host + ": " + ::gai_strerror(status);
    return -1;
  }
  int fd = -1;
  for (addrinfo* a = found; a != nullptr && fd < 0; a = a->ai_next) {
    fd = ::socket(a->ai_family, a->ai_socktype | SOCK_CLOEXEC | SOCK_NONBLOCK, a->ai_protocol);
    if (fd < 0) continue;
    int on = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    if (::bind(fd, a->ai_addr, a->ai_addrlen) != 0 || ::listen(fd, kBacklog) != 0) {
      error = host + ":" + service + ": " + std::strerror(errno);
      ::close(fd);
      fd = -1;
    }
  }
  ::freeaddrinfo(found);
  return fd;
}

}  // namespace

Server::Server(std::shared_ptr<SimHandle> instrument, std::string host, std::uint16_t port)
    : instrument_(std::move(instrument)), host_(host.empty() ? "127.0.0.1" : std::move(host)), port_(port) {}

Server::~Server() { Stop(); }

bool Server::Start(std::string* error) {
  if (thread_.joinable()) return true;
  std::string reason;
  listenFd_ = ListenOn(host_, port_, reason);
  if (listenFd_ >= 0 && !wake_.Open()) {
    reason = std::string("pipe: ") + std::strerror(errno);
    ::close(listenFd_);
    listenFd_ = -1;
  }
  if (listenFd_ < 0) {
    if (error != nullptr) *error = reason;
    return false;
  }
  port_ = BoundPort(listenFd_, address_);
  thread_ = std::thread(&Server::Run, this);
  return true;
}

void Server::Stop() {
  if (!thread_.joinable()) return;
  wake_.Wake();
  {
    std::lock_guard lock(clientMutex_);
    if (clientFd_ >= 0) ::shutdown(clientFd_, SHUT_RDWR);
  }
  thread_.join();
  ::close(listenFd_);
  listenFd_ = -1;
  wake_.Close();
}

void Server::Run() {
  for (;;) {
    std::array<pollfd, 3> fds{};
    fds[0] = {wake_.ReadEnd(), POLLIN, 0};
    fds[1] = {listenFd_, POLLIN, 0};
    nfds_t count = 2;
    if (clientFd_ >= 0) fds[count++] = {clientFd_, POLLIN, 0};
    const int ready = ::poll(fds.data(), count, clientFd_ >= 0 ? kReplyPollMs : -1);
    if (ready < 0 && errno != EINTR) break;
    if (fds[0].revents != 0) break;
    if (fds[1].revents & POLLIN) Accept();
    if (clientFd_ >= 0 && count == 3 && fds[2].revents != 0) ReadFrames();
    if (clientFd_ >= 0) ForwardReplies();
  }
  DropClient();
}

void Server::Accept() {
  const int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
  if (fd < 0) return;
  visa::SetCableSocketOptions(fd);
  std::unique_ptr<visa::DeviceLink> link;
  // Another client, or an in-process session, holds the instrument.
  if (clientFd_ >= 0 || instrument_->Open(link) != VI_SUCCESS) {
    WriteGreeting(fd, kBusy, clientWriteWait_);
    ::close(fd);
    return;
  }
  if (!WriteGreeting(fd, kOpen, clientWriteWait_)) {
    ::close(fd);
    return;
  }
  std::lock_guard lock(clientMutex_);
  clientFd_ = fd;
  link_ = std::move(link);
  reader_ = visa::CableFrameReader{};
  lastQuery_.clear();
  if (log_ != nullptr) log_->Note("client connected");
}

void Server::ReadFrames() {
  std::vector<std::uint8_t> frame;
  for (;;) {
    switch (reader_.Read(clientFd_, frame, std::chrono::milliseconds(0))) {
      case visa::CableRead::Ok:
        if (log_ != nullptr) lastQuery_ = PrintableLine(frame.data(), frame.size());
        if (link_->Send(frame.data(), frame.size(), visa::kNoTimeLimit) != visa::LinkResult::Ok) {
          DropClient();
          return;
        }
        continue;
      case visa::CableRead::Timeout:
        return;
      case visa::CableRead::Closed:
      case visa::CableRead::ProtocolError:
        DropClient();
        return;
    }
  }
}

void Server::ForwardReplies() {
  for (;;) {
    std::vector<std::uint8_t> reply;
    bool endOfMessage = false;
    const visa::LinkResult result = link_->Receive(reply, endOfMessage, std::chrono::milliseconds(0));
    if (result == visa::LinkResult::Timeout) return;
    // Noted as it goes out: the client may act on it before this loop runs again.
    if (result == visa::LinkResult::Ok && log_ != nullptr) {
      log_->Note("reply " + std::string(ReplyShape(reply.data(), reply.size())) + " " + lastQuery_);
    }
    // Lost: the disconnect fault; the client sees the connection close. A
    // client that stops reading is dropped once a reply has waited
    // clientWriteWait_, so it cannot hold the instrument (or this loop).
    if (result != visa::LinkResult::Ok ||
        visa::WriteCableFrame(clientFd_, reply.data(), reply.size(), clientWriteWait_) != visa::CableWrite::Ok) {
      DropClient();
      return;
    }
  }
}

void Server::DropClient() {
  std::unique_ptr<visa::DeviceLink> link;
  {
    std::lock_guard lock(clientMutex_);
    if (clientFd_ >= 0 && log_ != nullptr) log_->Note("client dropped");
    if (clientFd_ >= 0) ::close(clientFd_);
    clientFd_ = -1;
    link = std::move(link_);
  }
  // Destroying the link frees the instrument for the next client.
}

}  // namespace kvxsim
