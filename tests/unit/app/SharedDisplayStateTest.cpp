// What the user-interface thread and the acquisition thread share while the
// program runs, exercised from two real threads (meant for ThreadSanitizer):
// the main panel's layout and handle, and the instrument session's handle.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "ProgramTestSupport.h"
#include "display/AjustTrace.h"
#include "acquisition/DisplayMirror.h"
#include "display/MainPanelLayout.h"

namespace {

using SharedDisplayStateTest = programtest::ProgramTest;

// The user resizes the window while the drawing reads the layout and writes
// to the panel it finds in the handle.
TEST_F(SharedDisplayStateTest, LayoutAndPanelHandleAreReadWhileTheWindowIsResized) {
  const int panel = LoadPanel(0, PanelFileName, MainPanel::Resource);
  ASSERT_GT(panel, 0);
  MainPanelHandle = panel;
  std::atomic<bool> done{false};
  std::atomic<int> frames{0};
  std::thread acquisition([&] {
    while (!done.load()) {
      const int width = Layout.GraphWidthPx.load(), height = Layout.GraphHeightPx.load();
      EXPECT_GT(width, 0);
      EXPECT_GT(height, 0);
      EXPECT_EQ(Mirror.ZoomActive.load(), 0);
      SetCtrlVal(MainPanelHandle.load(), MainPanel::AcqStateText, width % 2 ? "RUN" : "READY");
      frames.fetch_add(1);
    }
  });
  for (int step = 0; step < 200; ++step) headless::Resize(panel, 545 + step, 530 + 2 * step);
  headless::Resize(panel, 580, 720);
  done = true;
  acquisition.join();
  EXPECT_GT(frames.load(), 0);
  EXPECT_EQ(Layout.GraphWidthPx.load(), 720 - 23 - Layout.MarkerColumn.load());
  EXPECT_EQ(Layout.GraphHeightPx.load(), 580 - 86);
  MainPanelHandle = 0;
}

// The acquisition thread reopens a lost session (it owns the link) while the
// user asks to quit: the quit question reads the handle being replaced.
TEST_F(SharedDisplayStateTest, SessionHandleIsReplacedWhileTheQuitQuestionReadsIt) {
  auto sim = StartOn(162);
  ASSERT_GT(MainPanelHandle.load(), 0);
  const int mainPanel = MainPanelHandle.load();
  std::atomic<bool> done{false};
  std::atomic<int> reopened{0};
  std::thread acquisition([&] {
    // The program's own acquisition thread competes for the link too.
    while (!done.load() || reopened.load() == 0) {
      LinkOwnership link;
      ReopenSession(TheInstrument);
      reopened.fetch_add(1);
    }
  });
  for (int question = 0; question < 30; ++question) {
    headless::AnswerEscape();
    headless::Close(mainPanel);
  }
  done = true;
  acquisition.join();
  EXPECT_GT(reopened.load(), 0);
  EXPECT_EQ(MainPanelHandle.load(), mainPanel) << "every question was answered No";
  EXPECT_EQ(headless::PendingAnswers(), 0u) << "a session was open at every question";
  EXPECT_NE(CurrentSession(TheInstrument), 0u);
}

}  // namespace
