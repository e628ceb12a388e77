#include "link/LinkBusy.h"

#include <thread>

#include "platform/os/Timing.h"

std::atomic<int> LinkBusy{0};

namespace {

// Who took the link last; meaningful while LinkBusy is set.
std::atomic<std::thread::id> linkOwner{};
// TakeLink calls made by the owner inside its own ownership, each undone by
// one ReleaseLink before the link is freed.
thread_local int nestedTakes = 0;

bool OwnsLink() {
  return LinkBusy.load(std::memory_order_acquire) != 0 &&
         linkOwner.load(std::memory_order_relaxed) == std::this_thread::get_id();
}

}  // namespace

bool TryTakeLink() {
  if (LinkBusy.exchange(1, std::memory_order_acquire) != 0) return false;
  linkOwner.store(std::this_thread::get_id(), std::memory_order_relaxed);
  nestedTakes = 0;
  return true;
}

void TakeLink() {
  if (OwnsLink()) {
    ++nestedTakes;
    return;
  }
  while (!TryTakeLink()) Delay(0.001);
}

void ReleaseLink() {
  if (nestedTakes > 0 && OwnsLink()) {
    --nestedTakes;
    return;
  }
  nestedTakes = 0;
  linkOwner.store(std::thread::id{}, std::memory_order_relaxed);
  LinkBusy.store(0, std::memory_order_release);
}
