// The thread's cycle: sleep, claim the link, exchange, release, process.
#include <memory>
#include <optional>

#include "acquisition/Acquisition.h"
#include "acquisition/AcquisitionSupport.h"
#include "acquisition/FrameExchange.h"
#include "acquisition/FrameProcessing.h"
#include "link/InstrumentSession.h"
#include "link/LinkBusy.h"
#include "link/Transport.h"
#include "platform/os/Timing.h"
#include "platform/ui/ThreadPool.h"

namespace {

struct CycleState {
  int errorCount = 0;
  std::optional<ReceivedFrame> frame;  // the last frame received whole
};

bool StillWanted() { return AcquisitionRunning.load() == 1; }

// Waits at the lowest priority, so that a waiting user-interface command
// wins, until the link is free or the thread is no longer wanted. True when
// the thread owns the link and is still wanted.
bool ClaimLink() {
  CmtSetCurrentThreadPriority(THREAD_PRIORITY_LOWEST);
  bool owned = false;
  while (StillWanted() && !(owned = TryTakeLink())) Delay(kLinkPollSeconds);
  CmtSetCurrentThreadPriority(THREAD_PRIORITY_NORMAL);
  if (owned && AcquisitionRunning.load() == 0) {
    ReleaseLink();
    owned = false;
  }
  return owned;
}

// One request and reply, the link owned. A failed exchange is counted; the
// next cycle starts with a reopened session, which also drains whatever the
// instrument still sends.
void Exchange(CycleState& state, ExchangeBuffers& buffers) {
  viSetAttribute(CurrentSession(TheInstrument), VI_ATTR_TMO_VALUE, kFrameTimeoutMs);
  if (state.errorCount != 0 && StillWanted()) ReopenSession(TheInstrument);
  state.errorCount = 0;
  const ViSession session = CurrentSession(TheInstrument);
  state.frame = ExchangeFrame(session, AcquisitionRequest, buffers);
  if (!state.frame) ++state.errorCount;
  viSetAttribute(session, VI_ATTR_TMO_VALUE, kStandingTimeoutMs);
}

}  // namespace

int AcquisitionThread(void* /*data*/) {
  CallIfSet(CurrentFrameDisplay()->resetDrawing);
  const auto buffers = std::make_unique<ExchangeBuffers>();
  CycleState state;
  for (;;) {
    Delay(kCycleSleepSeconds);
    if (InstrumentIsPresent()) {
      if (!ClaimLink()) break;
      Exchange(state, *buffers);
      ReleaseLink();
    }
    if (StillWanted() && state.errorCount == 0 && state.frame) {
      ProcessFrame(state.frame->header, state.frame->Bytes(*buffers));
      FramesProcessed.fetch_add(1, std::memory_order_relaxed);
    }
    if (AcquisitionRunning.load() == 0) break;
  }
  AcquisitionRunning.store(1);  // the acknowledgement StopAcquisition waits for
  return 0;
}
