// The instrument's error queue, read oldest first with SYST:ERR?.
#pragma once

#include <cstddef>
#include <deque>
#include <string>

namespace kvxsim {

// Codes and texts the instrument reports.
enum class InstrumentError {
  DataTypeError,        // -104
  MissingParameter,     // -109
  UndefinedHeader,      // -113
  SuffixOutOfRange,     // -114
  DataOutOfRange,       // -222
  TooMuchData,          // -223
  IllegalValue,         // -224
  DataCorrupt,          // -230
  FileNameNotFound,     // -256
  FileNameError,        // -257
  DirectoryFull,        // -255
};

class ErrorQueue {
 public:
  static constexpr std::size_t kCapacity = 20;

  // When full, the newest entry becomes "Queue overflow" and later errors are lost.
  void Push(InstrumentError error);
  // "0,No error" when empty, else e.g. "-256,\"File name not found\"".
  std::string Pop();
  void Clear() { entries_.clear(); }
  std::size_t Size() const { return entries_.size(); }

 private:
  std::deque<std::string> entries_;
};

}  // namespace kvxsim
