// The acquisition thread: every 50 ms it takes the instrument link, asks for
// one acquisition frame, reads it as one definite-length block, releases the
// link and then drives every display update that follows from the frame.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

// 1 while the thread is wanted. The stopper writes 0; the thread answers by
// writing 1 just before it returns, and the stopper then writes 0 again.
extern std::atomic<int> AcquisitionRunning;
// Handle of the one-thread pool that runs the thread; 0 when none exists.
extern std::atomic<int> AcquisitionPool;
// Frames processed since the program started: how benchmarks and the fault
// soak see the polling rate from outside.
extern std::atomic<std::uint64_t> FramesProcessed;

// The request sent every cycle; StartAcquisition writes it before the thread
// starts, nothing changes it while the thread runs.
inline constexpr std::size_t kRequestBufferSize = 16;
extern char AcquisitionRequest[kRequestBufferSize];
inline constexpr const char* kAcquisitionFrameQuery = "ZC:HTTP?\r";

inline constexpr std::size_t kPrefixBufferSize = 224;
inline constexpr std::size_t kFrameBufferSize = 45008;
inline constexpr double kCycleSleepSeconds = 0.050;
inline constexpr double kLinkPollSeconds = 0.020;
inline constexpr unsigned kFrameTimeoutMs = 500;
inline constexpr int kStopAcknowledgeTries = 400;  // 1 ms each
inline constexpr double kStopAcknowledgeStep = 0.001;

// What frame processing asks of the display. The display installs these at
// start-up; an empty function is skipped.
struct FrameDisplay {
  std::function<void()> initDisplayState;   // StartAcquisition, before the thread starts
  std::function<void()> openDisplays;       // after the thread starts: measurement display, XY panel
  std::function<void()> closeDisplays;      // end of StopAcquisition: XY panel closed, measurements hidden
  std::function<void()> resetDrawing;       // the thread's entry: no plots, ring index 0, order 0
  std::function<void()> triggerMoved;       // trigger marker, then the zoom window frame
  std::function<void()> redrawMarkers;      // position markers, XY markers, cursor readouts (XY ones too)
  std::function<bool()> cursorsActive;      // the measurement cursors are on
  std::function<void()> refreshCursorReadouts;
  std::function<void(const std::uint8_t* block)> updateMeasurements;
  // A reference was captured with `label`: the XY panel's reference captions.
  std::function<void(int which, const std::string& label)> referenceCaptured;
  std::function<void()> drawTraces;
};
void SetFrameDisplay(FrameDisplay display);
// The hooks in force (never null). Taking the pointer does not allocate, so
// the thread takes it once per frame and sees a display installed later.
std::shared_ptr<const FrameDisplay> CurrentFrameDisplay();

// Start and stop run on the user-interface thread. Both do nothing unless an
// instrument is present. Stop waits up to 400 ms for the acknowledgement.
void StartAcquisition();
void StopAcquisition();

// The thread function (argument ignored, result 0).
int AcquisitionThread(void* data);

// Fills an enabled, empty reference from the current samples.
void CaptureReferences();

// Gives the autosets what they need of the samples and references.
void InstallAcquisitionHooks();
