// kvx-sim's timing log (--frame-log): one line per event, "SECONDS TEXT",
// SECONDS on the monotonic clock (the one a bench script reads as its own
// monotonic time), each line flushed at once so a reader can follow it.
#pragma once

#include <cstdio>
#include <mutex>
#include <string>
#include <string_view>

namespace kvxsim {

class EventLog {
 public:
  EventLog() = default;
  ~EventLog();
  EventLog(const EventLog&) = delete;
  EventLog& operator=(const EventLog&) = delete;

  bool Open(const std::string& path);
  // Nothing happens while no file is open.
  void Note(std::string_view text);

 private:
  std::mutex mutex_;
  FILE* file_ = nullptr;
};

// A query or reply as one printable line: line ends dropped, other
// non-printable bytes as '.', at most `limit` characters.
std::string PrintableLine(const std::uint8_t* data, std::size_t size, std::size_t limit = 40);

// "ok" for a complete definite-length block, "bad" for one that is cut,
// mislabelled or announces more than it holds, "text" for anything else.
std::string_view ReplyShape(const std::uint8_t* data, std::size_t size);

}  // namespace kvxsim
