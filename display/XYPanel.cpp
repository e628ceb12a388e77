#include "display/XYPanel.h"

#include <mutex>

std::atomic<int> XYPanelOpen{0};
std::atomic<int> XYGraphLeft{0};

namespace {

// Set on the user-interface thread, read by the drawing on the acquisition thread.
std::mutex controlsMutex;
XYPanelControls controls;

}  // namespace

void SetXYPanelControls(const XYPanelControls& next) {
  std::lock_guard lock(controlsMutex);
  controls = next;
}

XYPanelControls CurrentXYPanelControls() {
  std::lock_guard lock(controlsMutex);
  return controls;
}
