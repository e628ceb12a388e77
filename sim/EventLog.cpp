#include "sim/EventLog.h"

#include <chrono>
#include <cstdint>

namespace kvxsim {

EventLog::~EventLog() {
  if (file_ != nullptr) std::fclose(file_);
}

bool EventLog::Open(const std::string& path) {
  std::lock_guard lock(mutex_);
  if (file_ != nullptr) std::fclose(file_);
  file_ = std::fopen(path.c_str(), "w");
  return file_ != nullptr;
}

void EventLog::Note(std::string_view text) {
  using Seconds = std::chrono::duration<double>;
  const double now = std::chrono::duration_cast<Seconds>(std::chrono::steady_clock::now().time_since_epoch()).count();
  std::lock_guard lock(mutex_);
  if (file_ == nullptr) return;
  std::fprintf(file_, "%.6f %.*s\n", now, static_cast<int>(text.size()), text.data());
  std::fflush(file_);
}

std::string PrintableLine(const std::uint8_t* data, std::size_t size, std::size_t limit) {
  std::string line;
  for (std::size_t i = 0; i < size && line.size() < limit; ++i) {
    const std::uint8_t byte = data[i];
    if (byte == '\r' || byte == '\n') continue;
    line += byte >= 0x20 && byte < 0x7F ? static_cast<char>(byte) : '.';
  }
  return line;
}

std::string_view ReplyShape(const std::uint8_t* data, std::size_t size) {
  if (size == 0 || (data[0] != '#' && data[0] != '$')) return "text";
  if (data[0] != '#' || size < 2 || data[1] < '1' || data[1] > '9') return "bad";
  const std::size_t digits = static_cast<std::size_t>(data[1] - '0');
  if (size < 2 + digits) return "bad";
  std::uint64_t length = 0;
  for (std::size_t i = 2; i < 2 + digits; ++i) {
    if (data[i] < '0' || data[i] > '9') return "bad";
    length = length * 10 + static_cast<std::uint64_t>(data[i] - '0');
  }
  return length <= size - 2 - digits ? "ok" : "bad";
}

}  // namespace kvxsim
