// The acquisition thread against a scripted instrument on a manual clock: each
// 50-ms cycle sleep ends when the test advances the clock, so the test looks at
// the panel while the thread sleeps. The display hooks record what frame
// processing asked of them.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "acquisition/Acquisition.h"
#include "acquisition/ChannelSamples.h"
#include "acquisition/DisplayMirror.h"
#include "acquisition/MainPanelHandle.h"
#include "acquisition/ReferenceStore.h"
#include "catalogue/MessageCatalogue.h"
#include "layout/PanelIds.h"
#include "link/InstrumentSession.h"
#include "link/InstrumentSetup.h"
#include "link/LinkBusy.h"
#include "platform/os/Clock.h"
#include "platform/ui/Headless.h"
#include "platform/ui/UserInterface.h"
#include "platform/visa/Backend.h"
#include "support/HeadlessTestSupport.h"
#include "support/ScriptedInstrument.h"

namespace acquisitiontest {

inline constexpr std::size_t kMeasurementBytes = 96;

// The fields of a frame header that the program reads.
struct FrameSpec {
  int flags = 0x1, mask = 0x3, points = 2500;
  int position1 = 0, position2 = 0;
  int source = 0, level = 0, triggerPosition = 25000;
  int phase = 6, runStop = 0;
};

inline std::string HeaderText(const FrameSpec& spec) {
  char text[160];
  std::snprintf(text, sizeof text, "%X,50000,5000,0,0,%X,%d,%d,%d,%d,%d,%d,%d,%d,0,", static_cast<unsigned>(spec.flags),
                static_cast<unsigned>(spec.mask), spec.points, spec.position1, spec.position2, spec.source, spec.level,
                spec.triggerPosition, spec.phase, spec.runStop);
  return text;
}

inline std::string Block(std::uint8_t code) { return std::string(kBlockPoints, static_cast<char>(code)); }

// A frame with each channel's single block, as the instrument sends it unzoomed.
inline std::string PlainFrame(const FrameSpec& spec = {}, std::uint8_t ch1 = 0x11, std::uint8_t ch2 = 0x21) {
  return HeaderText(spec) + Block(ch1) + Block(ch2);
}

// 96 bytes counting up from `first`.
inline std::string MeasurementPattern(std::uint8_t first) {
  std::string bytes(kMeasurementBytes, '\0');
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(first + i);
  return bytes;
}

// "#" n L, the frame, two trailing bytes.
inline std::string BlockReply(const std::string& frame) {
  const std::string length = std::to_string(frame.size());
  return "#" + std::to_string(length.size()) + length + frame + "\r\n";
}

inline SampleBlock FilledBlock(std::uint8_t code) {
  SampleBlock block;
  block.fill(code);
  return block;
}

// What frame processing asked of the display, read from the test's thread.
struct DisplayRecord {
  std::atomic<int> initDisplayState{0}, openDisplays{0}, closeDisplays{0}, resetDrawing{0};
  std::atomic<int> triggerMoved{0}, redrawMarkers{0}, cursorReadouts{0}, drawTraces{0};
  std::atomic<bool> cursorsActive{false};
  std::atomic<int> drawingPriority{-100};  // the thread's priority while it drew
  std::mutex mutex;
  std::vector<std::string> measurementBlocks;              // each block's 96 bytes
  std::vector<std::pair<int, std::string>> capturedLabels;  // (which, label)

  template <typename T>
  T Read(const T& recorded) {
    std::lock_guard lock(mutex);
    return recorded;
  }
};

inline FrameDisplay RecordingDisplay(DisplayRecord& record) {
  const auto count = [](std::atomic<int>& counter) { return [&counter] { ++counter; }; };
  FrameDisplay display;
  // The display start as the program does it: the first frame is a run/stop change.
  display.initDisplayState = [&record] {
    ++record.initDisplayState;
    for (int channel = 0; channel < kChannels; ++channel) {
      Mirror.ChannelShown[channel] = 1;
      Mirror.VerticalPositionSeen[channel] = 0;
      Mirror.TriggerLevelSeen[channel] = 0.0;
    }
    Mirror.ChannelMaskSeen = Mirror.TriggerSourceSeen = Mirror.DisplayChanged = Mirror.ZoomActive = 0;
    Mirror.TriggerPositionSeen = 0.0;
    Mirror.RunStopSeen = Mirror.StateSeen = -1;
  };
  display.openDisplays = count(record.openDisplays);
  display.closeDisplays = count(record.closeDisplays);
  display.resetDrawing = count(record.resetDrawing);
  display.triggerMoved = count(record.triggerMoved);
  display.redrawMarkers = count(record.redrawMarkers);
  display.refreshCursorReadouts = count(record.cursorReadouts);
  display.cursorsActive = [&record] { return record.cursorsActive.load(); };
  display.updateMeasurements = [&record](const std::uint8_t* block) {
    std::lock_guard lock(record.mutex);
    record.measurementBlocks.emplace_back(reinterpret_cast<const char*>(block), kMeasurementBytes);
  };
  display.referenceCaptured = [&record](int which, const std::string& label) {
    std::lock_guard lock(record.mutex);
    record.capturedLabels.emplace_back(which, label);
  };
  display.drawTraces = [&record] {
    int priority = 0;
    CmtGetCurrentThreadPriority(&priority);
    record.drawingPriority = priority;
    ++record.drawTraces;
  };
  return display;
}

// The main panel the thread writes to, the display hooks recorded, and the
// program state around the instrument the test gives restored afterwards.
class AcquisitionFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    headless::Use();
    headless::Reset();
    testsupport::FailOnUnansweredQuestions();
    SetCurrentLanguage(kEnglish);
    panel_ = LoadPanel(0, ORNI_PANEL_FILE, MainPanel::Resource);
    ASSERT_GT(panel_, 0);
    MainPanelHandle = panel_;
    savedSetup_ = ProgramSetup;
    SetFrameDisplay(RecordingDisplay(record_));
  }

  void TearDown() override {
    SetFrameDisplay({});
    TheInstrument = InstrumentSession{};
    visa::ClearInstruments();
    ProgramReferences.Clear(kAllReferences);
    LinkBusy = 0;
    MainPanelHandle = 0;
    SetCurrentLanguage(kEnglish);
    headless::Reset();
    ProgramSetup = savedSetup_;
  }

  // `instrument` as the only one VISA finds, where a reopened session looks for it.
  static void UseInstrument(const std::shared_ptr<visa::Instrument>& instrument) {
    visa::ClearInstruments();
    visa::EnableUsbSearch(false);
    visa::AddInstrument(instrument);
    TheInstrument = InstrumentSession{};
    instrument->Descriptor().copy(TheInstrument.resourceDescriptors[kDescriptorSlot], kDescriptorSize - 1);
    TheInstrument.InstrumentPresent = 1;
    LinkBusy = 0;
    AcquisitionRunning = 0;
    ChannelSamples.ClearChannel(0);
    ChannelSamples.ClearChannel(1);
    ProgramReferences.Clear(kAllReferences);
  }

  std::string Text(int control) const {
    std::string text;
    GetCtrlVal(panel_, control, &text);
    return text;
  }
  int Value(int control) const {
    int value = -1;
    GetCtrlVal(panel_, control, &value);
    return value;
  }
  int Visible(int control) const {
    int visible = -1;
    GetCtrlAttribute(panel_, control, ATTR_VISIBLE, &visible);
    return visible;
  }

  int panel_ = 0;
  DisplayRecord record_;
  InstrumentSetup savedSetup_{};
};

// The thread on a scripted instrument and a clock that moves only when the test says.
class AcquisitionThreadTest : public AcquisitionFixture {
 protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(AcquisitionFixture::SetUp());
    instrument_ = std::make_shared<testsupport::ScriptedInstrument>("ACQ0001");
    UseInstrument(instrument_);
    ASSERT_EQ(viOpenDefaultRM(&TheInstrument.resourceManager), VI_SUCCESS);
    ASSERT_EQ(viOpen(TheInstrument.resourceManager, instrument_->Descriptor().c_str(), VI_EXCLUSIVE_LOCK, 0,
                     &TheInstrument.session),
              VI_SUCCESS);
    ProgramSetup = InstrumentSetup{};
    SetReopenNotice({[this] { ++noticesShown_; }, [this] { ++noticesHidden_; }});
  }

  void TearDown() override {
    if (AcquisitionPool.load() != 0) Stop();
    SetReopenNotice({});
    viClose(TheInstrument.resourceManager);
    AcquisitionFixture::TearDown();
  }

  // Starts the thread and lets it reach its first sleep.
  void Start() {
    StartAcquisition();
    ASSERT_TRUE(clock_->WaitForSleepers(1));
  }

  // Ends one cycle sleep and waits for the next: one whole cycle when the reply is there.
  void RunCycle() {
    clock_->Advance(kCycleSleepSeconds);
    ASSERT_TRUE(clock_->WaitForSleepers(1));
  }

  void RunFrame(const std::string& frame) {
    instrument_->QueueReply(BlockReply(frame));
    RunCycle();
  }

  // Moves time in small steps, each once something sleeps on the clock, until
  // `done` (cycles with timeouts and pauses in them); false if it never was.
  bool AdvanceUntil(const std::function<bool()>& done) {
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (std::chrono::steady_clock::now() < giveUp) {
      if (done()) return true;
      if (clock_->WaitForSleepers(1, std::chrono::milliseconds(5))) clock_->Advance(kTimeStep);
    }
    return done();
  }

  // StopAcquisition from another thread while the test moves time for both.
  void Stop() {
    std::atomic<bool> stopped = false;
    std::thread stopper([&] {
      StopAcquisition();
      stopped = true;
    });
    // Time moves only once the stopper waits for the acknowledgement beside the sleeping thread.
    EXPECT_TRUE(clock_->WaitForSleepers(2));
    const bool done = AdvanceUntil([&] { return stopped.load(); });
    stopper.join();
    EXPECT_TRUE(done);
  }

  int Requests() {
    const std::string written = instrument_->Written();
    int count = 0;
    for (auto at = written.find(kAcquisitionFrameQuery); at != std::string::npos;
         at = written.find(kAcquisitionFrameQuery, at + 1))
      ++count;
    return count;
  }

  static constexpr double kTimeStep = 0.01;

  ScopedManualClock clock_{ManualClock::Mode::Manual};
  std::shared_ptr<testsupport::ScriptedInstrument> instrument_;
  std::atomic<int> noticesShown_{0}, noticesHidden_{0};
};

}  // namespace acquisitiontest
