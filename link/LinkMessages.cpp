#include "link/LinkMessages.h"

#include <mutex>
#include <utility>

namespace {

std::mutex sinkMutex;
LinkMessageSink messageSink;

}  // namespace

void SetLinkMessageSink(LinkMessageSink sink) {
  std::lock_guard lock(sinkMutex);
  messageSink = std::move(sink);
}

void ReportLinkMessage(LinkMessage message) {
  LinkMessageSink sink;
  {
    std::lock_guard lock(sinkMutex);
    sink = messageSink;
  }
  // Called outside the lock: the sink shows a modal box and may take its time.
  if (sink) sink(message);
}
