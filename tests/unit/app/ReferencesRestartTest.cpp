// The reference traces outlive the program: captured on the running
// instrument, saved at quit with their labels, drawn again after a restart.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <thread>

#include "ProgramTestSupport.h"
#include "acquisition/ReferenceStore.h"
#include "display/Colours.h"
#include "display/References.h"
#include "link/InstrumentSetup.h"

namespace {

using programtest::ProgramTest;

// Waits (real time, bounded) for what the acquisition thread brings about.
bool Eventually(const std::function<bool()>& condition) {
  const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (std::chrono::steady_clock::now() < giveUp) {
    if (condition()) return true;
    std::this_thread::yield();
  }
  return condition();
}

bool Ref1Drawn() {
  for (const headless::PlotInfo& plot : headless::Plots(MainPanelHandle.load(), MainPanel::TraceGraph))
    if (plot.color == static_cast<int>(ReferenceColour[0])) return true;
  return false;
}

std::string Ref1Label() {
  std::string text;
  GetCtrlVal(MainPanelHandle.load(), MainPanel::Ref1LabelText, &text);
  return text;
}

constexpr std::size_t kRef1TraceOffset = 729;
constexpr std::size_t kRef1LabelOffset = 20729;

using ReferencesRestartTest = ProgramTest;

TEST_F(ReferencesRestartTest, ACapturedReferenceIsSavedAtQuitAndDrawnAfterARestart) {
  StartOn(162);
  ASSERT_TRUE(LoadField(ProgramSetup.ch1Displayed) != 0);
  headless::Run([] { ToggleReferences(); });
  ASSERT_TRUE(Eventually([] { return !ProgramReferences.IsEmpty(0); })) << "the next frame captures REF1";
  const ReferenceData captured = ProgramReferences.Snapshot();
  const std::string label = ReferenceLabelText(captured, 0);
  ASSERT_EQ(label.substr(0, 6), "REF1: ");

  headless::AnswerEnter();
  headless::EndTask();
  const std::string saved = programtest::ReadFile(dir_ / "Ornikelva.okv");
  ASSERT_EQ(saved.size(), 20795u);
  std::int32_t firstCode = 0;
  std::memcpy(&firstCode, saved.data() + kRef1TraceOffset, sizeof firstCode);
  EXPECT_EQ(firstCode, captured.ReferenceStore[0][0]);
  EXPECT_EQ(std::string(saved.c_str() + kRef1LabelOffset), label);

  ProgramReferences.Replace(ReferenceData{});
  ASSERT_EQ(Start(), 0);
  EXPECT_TRUE(Eventually(Ref1Drawn)) << "REF1 is drawn from the restored trace";
  EXPECT_EQ(ProgramReferences.Snapshot().ReferenceStore[0], captured.ReferenceStore[0]);
  EXPECT_EQ(Ref1Label(), label);
  int shown = 0;
  GetCtrlAttribute(MainPanelHandle.load(), MainPanel::Ref1LabelText, ATTR_VISIBLE, &shown);
  EXPECT_EQ(shown, 1);
}

}  // namespace
