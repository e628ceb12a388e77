// Small helpers shared by the acquisition's start, stop and cycle.
#pragma once

#include <atomic>
#include <utility>

#include "link/InstrumentSession.h"

// Start-up sets InstrumentPresent before the thread exists and never changes
// it; read as one atomic value all the same, since both threads ask.
inline bool InstrumentIsPresent() {
  return std::atomic_ref<int>(TheInstrument.InstrumentPresent).load() != 0;
}

// Calls a display hook that may not be installed.
template <typename Hook, typename... Args>
void CallIfSet(const Hook& hook, Args&&... args) {
  if (hook) hook(std::forward<Args>(args)...);
}
