#include "sim/ControlChannel.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>

namespace kvxsim {

ControlChannel::ControlChannel(std::string path, LineHandler handler)
    : path_(std::move(path)), handler_(std::move(handler)) {}

ControlChannel::~ControlChannel() { Stop(); }

bool ControlChannel::Start(std::string* error) {
  if (thread_.joinable()) return true;
  auto failed = [&](const std::string& what) {
    if (error != nullptr) *error = what + ": " + std::strerror(errno);
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    return false;
  };
  if (::mkfifo(path_.c_str(), 0600) != 0 && errno != EEXIST) return failed("mkfifo " + path_);
  struct stat status{};
  if (::stat(path_.c_str(), &status) != 0) return failed(path_);
  if (!S_ISFIFO(status.st_mode)) {
    errno = EINVAL;
    return failed(path_ + " is not a named pipe");
  }
  // Open for writing too: then the pipe never reports an end when the
  // bench's writer closes, and opening does not wait for a writer.
  fd_ = ::open(path_.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
  if (fd_ < 0) return failed(path_);
  if (!wake_.Open()) return failed("pipe");
  thread_ = std::thread(&ControlChannel::Run, this);
  return true;
}

void ControlChannel::Stop() {
  if (!thread_.joinable()) return;
  wake_.Wake();
  thread_.join();
  ::close(fd_);
  fd_ = -1;
  wake_.Close();
}

void ControlChannel::Run() {
  LineSplitter lines;
  std::array<char, 512> chunk{};
  for (;;) {
    std::array<pollfd, 2> fds{{{wake_.ReadEnd(), POLLIN, 0}, {fd_, POLLIN, 0}}};
    if (::poll(fds.data(), fds.size(), -1) < 0 && errno != EINTR) return;
    if (fds[0].revents != 0) return;
    if ((fds[1].revents & POLLIN) == 0) continue;
    const ssize_t count = ::read(fd_, chunk.data(), chunk.size());
    if (count <= 0) continue;
    lines.Feed(std::string_view(chunk.data(), static_cast<std::size_t>(count)), handler_);
  }
}

void LineSplitter::Feed(std::string_view bytes, const ControlChannel::LineHandler& handler) {
  for (const char byte : bytes) {
    if (byte == '\n') {
      if (!skipping_) handler(pending_);
      pending_.clear();
      skipping_ = false;
    } else if (!skipping_) {
      pending_ += byte;
      if (pending_.size() > limit_) {
        pending_.clear();
        skipping_ = true;
      }
    }
  }
}

}  // namespace kvxsim
