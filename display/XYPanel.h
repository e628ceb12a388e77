// The XY window: one channel against the other.
#pragma once

#include <atomic>

// Handle of the open XY panel; 0 while it is closed.
extern std::atomic<int> XYPanelOpen;
