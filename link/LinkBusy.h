// The one lock between the user-interface thread and the acquisition thread:
// whoever holds it owns the instrument session for a whole command/reply
// exchange. Taken with a single atomic exchange.
#pragma once

#include <atomic>

extern std::atomic<int> LinkBusy;

// One indivisible test-and-set; true when the caller now owns the link.
bool TryTakeLink();
// Waits in 1 ms steps until the link is free, then takes it (user-interface
// side). A thread that already owns the link takes it again at once: start-up
// and the menus own it while they run display code that takes it for its own
// commands. Each TakeLink is undone by one ReleaseLink; the outermost frees it.
void TakeLink();
void ReleaseLink();

// Owns the link for the lifetime of the object.
class LinkOwnership {
 public:
  LinkOwnership() { TakeLink(); }
  ~LinkOwnership() { ReleaseLink(); }
  LinkOwnership(const LinkOwnership&) = delete;
  LinkOwnership& operator=(const LinkOwnership&) = delete;
};
