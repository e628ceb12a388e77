#include "link/LinkBusy.h"

#include "platform/os/Timing.h"

std::atomic<int> LinkBusy{0};

bool TryTakeLink() { return LinkBusy.exchange(1, std::memory_order_acquire) == 0; }

void TakeLink() {
  while (!TryTakeLink()) Delay(0.001);
}

void ReleaseLink() { LinkBusy.store(0, std::memory_order_release); }
