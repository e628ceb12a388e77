// The whole program with its acquisition running on the simulated
// instrument: start, frames on the graph, the front panel acting through the
// running link, and quit.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <string>
#include <thread>

#include "ProgramTestSupport.h"
#include "acquisition/Acquisition.h"
#include "acquisition/ReferenceStore.h"
#include "display/Measurements.h"
#include "link/InstrumentSetup.h"

namespace {

using programtest::ProgramTest;

class LiveScopeTest : public ProgramTest {
 protected:
  // Waits (real time, bounded) until the trace graph holds plots of both
  // channels: frames went through the whole processing and drawing.
  static bool TracesDrawn() {
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < giveUp) {
      if (headless::Plots(MainPanelHandle.load(), MainPanel::TraceGraph).size() >= 2) return true;
      std::this_thread::yield();
    }
    return false;
  }
  static std::string Text(int control) {
    std::string text;
    GetCtrlVal(MainPanelHandle.load(), control, &text);
    return text;
  }
};

TEST_F(LiveScopeTest, StartDrawsFramesAndQuitStopsTheThreadBeforeTheReset) {
  auto sim = StartOn(162);
  EXPECT_EQ(AcquisitionRunning.load(), 1);
  EXPECT_NE(AcquisitionPool.load(), 0);
  ASSERT_TRUE(TracesDrawn());
  EXPECT_FALSE(Text(MainPanel::AcqStateText).empty()) << "the first frame writes the phase";
  EXPECT_EQ(Text(MainPanel::TimebaseText).substr(Text(MainPanel::TimebaseText).size() - 5), "s/div");

  headless::AnswerEnter();
  headless::EndTask();
  EXPECT_EQ(MainPanelHandle.load(), 0);
  EXPECT_EQ(AcquisitionPool.load(), 0) << "the pool is discarded, the thread has returned";
  EXPECT_EQ(AcquisitionRunning.load(), 0);
  const std::vector<std::uint8_t> sent = sim->TakeReceived();
  const std::string text(sent.begin(), sent.end());
  ASSERT_GE(text.size(), 15u);
  EXPECT_EQ(text.substr(text.size() - 15), "*RST\rZC:USED 0\r") << "no frame request after the reset";
  EXPECT_NE(text.find("ZC:HTTP?\r"), std::string::npos);
}

// The preferences saved at quit carry the last measurement block, in host
// byte order, as the frames brought it.
TEST_F(LiveScopeTest, QuitSavesTheLastMeasurementBlock) {
  StartOn(162);
  ASSERT_TRUE(TracesDrawn());
  headless::Run([] {
    LinkOwnership link;
    ShowAutoMeasurements();
  });
  const std::uint64_t shown = FramesProcessed.load();
  while (FramesProcessed.load() < shown + 3) std::this_thread::yield();
  headless::AnswerEnter();
  headless::EndTask();

  const std::string saved = programtest::ReadFile(dir_ / "Ornikelva.okv");
  ASSERT_EQ(saved.size(), 20795u);
  constexpr std::size_t kBlockStart = 25 + 96;  // after the header, at the block's lastMeasurements
  std::uint32_t valid = 0;
  std::memcpy(&valid, saved.data() + kBlockStart + 4, sizeof valid);
  EXPECT_NE(valid, 0u) << "the instrument's validity bits, read in host order";
  EXPECT_EQ(valid & 0xFFFC0000u, 0u) << "not byte-swapped: only the 18 measurement bits can be set";
}

// The autoset runs through the main panel's callback while the thread polls:
// the hooks the start-up installs keep the reference flags as the stored
// references say.
TEST_F(LiveScopeTest, AutosetThroughThePanelKeepsTheReferenceFlagsFromTheStore) {
  StartOn(162);
  ASSERT_TRUE(TracesDrawn());
  ReferenceData references;
  references.ReferenceStore[0].fill(100);
  ProgramReferences.Replace(references);
  StoreField(ProgramSetup.ref1Displayed, 0);
  StoreField(ProgramSetup.ref2Displayed, 1);

  headless::Commit(MainPanelHandle.load(), MainPanel::AutosetButton);
  EXPECT_EQ(LoadField(ProgramSetup.ref1Displayed), 1) << "REF1 holds a trace";
  EXPECT_EQ(LoadField(ProgramSetup.ref2Displayed), 0) << "REF2 is empty";
  EXPECT_TRUE(TracesDrawn()) << "frames go on after the autoset";
}

// F12 on the running program: the timebase steps down on both copies and
// the instrument is told.
TEST_F(LiveScopeTest, FunctionKeyActsOnTheInstrumentWhileFramesArrive) {
  auto sim = StartOn(162);
  ASSERT_TRUE(TracesDrawn());
  const int before = LoadField(ProgramSetup.timebaseIndex);
  sim->TakeReceived();
  headless::KeyPress(MainPanelHandle.load(), VAL_F12_VKEY);
  EXPECT_EQ(LoadField(ProgramSetup.timebaseIndex), before - 1);
  int first = -1, second = -1;
  GetCtrlVal(MainPanelHandle.load(), MainPanel::TimebaseRing, &first);
  GetCtrlVal(MainPanelHandle.load(), MainPanel::TimebaseRing2, &second);
  EXPECT_EQ(first, before - 1);
  EXPECT_EQ(second, before - 1);
  const std::string sent = CommandsBesidesFrames(sim->TakeReceived());
  EXPECT_NE(sent.find(":DISP:TRAC:X:PDIV "), std::string::npos) << sent;
}

}  // namespace
