#include "sim/ErrorQueue.h"

namespace kvxsim {
namespace {

struct ErrorText {
  InstrumentError error;
  const char* text;
};

constexpr ErrorText kErrors[] = {
    {InstrumentError::DataTypeError, "-104,\"Data type error\""},
    {InstrumentError::MissingParameter, "-109,\"Missing parameter\""},
    {InstrumentError::UndefinedHeader, "-113,\"Undefined header\""},
    {InstrumentError::SuffixOutOfRange, "-114,\"Header suffix out of range\""},
    {InstrumentError::DataOutOfRange, "-222,\"Data out of range\""},
    {InstrumentError::TooMuchData, "-223,\"Too much data\""},
    {InstrumentError::IllegalValue, "-224,\"Illegal parameter value\""},
    {InstrumentError::DataCorrupt, "-230,\"Data corrupt or stale\""},
    {InstrumentError::FileNameNotFound, "-256,\"File name not found\""},
    {InstrumentError::FileNameError, "-257,\"File name error\""},
    {InstrumentError::DirectoryFull, "-255,\"Directory full\""},
};

constexpr const char* kOverflow = "-350,\"Queue overflow\"";

const char* TextOf(InstrumentError error) {
  for (const ErrorText& e : kErrors) {
    if (e.error == error) return e.text;
  }
  return "-100,\"Command error\"";
}

}  // namespace

void ErrorQueue::Push(InstrumentError error) {
  if (entries_.size() < kCapacity) {
    entries_.emplace_back(TextOf(error));
  } else {
    entries_.back() = kOverflow;
  }
}

std::string ErrorQueue::Pop() {
  if (entries_.empty()) return "0,No error";
  std::string text = std::move(entries_.front());
  entries_.pop_front();
  return text;
}

}  // namespace kvxsim
