// kvx-sim's --control channel: a named pipe (made if missing) read on a
// thread of its own; each complete line goes to the handler. Writers may
// come and go: the pipe is held open for reading and writing, so a writer
// closing it never ends the channel.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <thread>

#include "sim/WakePipe.h"

namespace kvxsim {

class ControlChannel {
 public:
  using LineHandler = std::function<void(const std::string& line)>;

  ControlChannel(std::string path, LineHandler handler);
  ~ControlChannel();
  ControlChannel(const ControlChannel&) = delete;
  ControlChannel& operator=(const ControlChannel&) = delete;

  // False (with the reason) when the pipe cannot be made or opened.
  bool Start(std::string* error = nullptr);
  // Ends the reading thread; lines not yet read are lost.
  void Stop();

 private:
  void Run();

  std::string path_;
  LineHandler handler_;
  int fd_ = -1;
  WakePipe wake_;
  std::thread thread_;
};

// Splits a byte stream into complete lines, without their "\n". A line
// longer than the limit is dropped whole, not handed on in pieces.
class LineSplitter {
 public:
  explicit LineSplitter(std::size_t limit = 4096) : limit_(limit) {}
  void Feed(std::string_view bytes, const ControlChannel::LineHandler& handler);

 private:
  std::size_t limit_;
  std::string pending_;
  bool skipping_ = false;  // inside an overlong line, until its end
};

}  // namespace kvxsim
