// The hooks between the acquisition and the layers around it: the display
// hooks frame processing calls, and what the autosets need of the samples
// and references.
#include <memory>
#include <mutex>
#include <utility>

#include "acquisition/Acquisition.h"
#include "acquisition/ChannelSamples.h"
#include "acquisition/ReferenceStore.h"
#include "link/Autoset.h"

namespace {

std::mutex displayMutex;
std::shared_ptr<const FrameDisplay> frameDisplay = std::make_shared<const FrameDisplay>();

}  // namespace

void SetFrameDisplay(FrameDisplay display) {
  auto installed = std::make_shared<const FrameDisplay>(std::move(display));
  std::lock_guard lock(displayMutex);
  frameDisplay = std::move(installed);
}

std::shared_ptr<const FrameDisplay> CurrentFrameDisplay() {
  std::lock_guard lock(displayMutex);
  return frameDisplay;
}

void InstallAcquisitionHooks() {
  SetAutosetHooks({
      [](int reference) { return !ProgramReferences.IsEmpty(reference); },
      [](int channel) { ChannelSamples.ClearChannel(channel); },
  });
}
