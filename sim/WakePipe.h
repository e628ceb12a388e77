// A pipe that wakes a thread blocked in poll(): the thread polls ReadEnd(),
// another thread calls Wake() to make it return.
#pragma once

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace kvxsim {

class WakePipe {
 public:
  WakePipe() = default;
  ~WakePipe() { Close(); }
  WakePipe(const WakePipe&) = delete;
  WakePipe& operator=(const WakePipe&) = delete;

  bool Open() {
    int fds[2] = {-1, -1};
    if (::pipe2(fds, O_CLOEXEC) != 0) return false;
    read_ = fds[0];
    write_ = fds[1];
    return true;
  }
  int ReadEnd() const { return read_; }
  void Wake() {
    const char wake = 1;
    while (::write(write_, &wake, 1) < 0 && errno == EINTR) {
    }
  }
  void Close() {
    for (int* fd : {&read_, &write_}) {
      if (*fd >= 0) ::close(*fd);
      *fd = -1;
    }
  }

 private:
  int read_ = -1;
  int write_ = -1;
};

}  // namespace kvxsim
