// Starting and stopping the acquisition thread (user-interface thread).
#include "acquisition/Acquisition.h"

#include <cstring>
#include <string>

#include "acquisition/AcquisitionSupport.h"
#include "acquisition/ChannelSamples.h"
#include "acquisition/MainPanelHandle.h"
#include "platform/os/Timing.h"
#include "platform/ui/UserInterface.h"

std::atomic<int> AcquisitionRunning{0};
std::atomic<int> AcquisitionPool{0};
std::atomic<std::uint64_t> FramesProcessed{0};
char AcquisitionRequest[kRequestBufferSize] = {};

static_assert(sizeof AcquisitionRequest > std::char_traits<char>::length(kAcquisitionFrameQuery));

void StartAcquisition() {
  // One thread at most: a second one would share the link and the buffers.
  if (!InstrumentIsPresent() || AcquisitionPool.load() != 0) return;
  ClearChannelSamples();
  std::strncpy(AcquisitionRequest, kAcquisitionFrameQuery, sizeof AcquisitionRequest - 1);
  AcquisitionRunning.store(1);
  const std::shared_ptr<const FrameDisplay> display = CurrentFrameDisplay();
  CallIfSet(display->initDisplayState);
  DisplayPanel(MainPanelHandle.load());
  CmtThreadPoolHandle pool = 0;
  if (CmtNewThreadPool(1, &pool) < 0) {
    AcquisitionRunning.store(0);
    return;
  }
  AcquisitionPool.store(pool);
  CmtScheduleThreadPoolFunction(pool, AcquisitionThread, nullptr, nullptr);
  CallIfSet(display->openDisplays);
}

void StopAcquisition() {
  if (!InstrumentIsPresent()) return;
  AcquisitionRunning.store(0);
  if (MainPanelHandle.load() != 0) {
    for (int tries = 0; tries < kStopAcknowledgeTries && AcquisitionRunning.load() == 0; ++tries)
      Delay(kStopAcknowledgeStep);
  }
  AcquisitionRunning.store(0);
  if (const int pool = AcquisitionPool.load(); pool != 0) {
    CmtDiscardThreadPool(pool);
    AcquisitionPool.store(0);
    // A thread that acknowledged only after the wait gave up has written 1
    // since; stopped means 0, so that a later start is not refused.
    AcquisitionRunning.store(0);
  }
  CallIfSet(CurrentFrameDisplay()->closeDisplays);
}
