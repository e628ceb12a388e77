#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "UiTestSupport.h"

using namespace uitest;

namespace {

using ThreadingTest = UiTest;

// The acquisition thread's pattern: texts, LED, plots with deletions, cursor
// moves and the notice pop-up, while the user-interface thread keeps mirroring
// the model and reading it back.
TEST_F(ThreadingTest, ModelTakesCallsFromASecondThreadWhileTheFrontEndRenders) {
  const int panel = LoadTestPanel();
  const int notice = LoadPanel(0, "test.uir", kOtherPanel);
  std::atomic<bool> done{false};
  constexpr int kFrames = 300;
  std::thread acquisition([&] {
    std::vector<int> x(2500), y(2500);
    for (int k = 0; k < 2500; ++k) {
      x[static_cast<std::size_t>(k)] = k;
      y[static_cast<std::size_t>(k)] = k % 256;
    }
    int previous = 0;
    for (int frame = 0; frame < kFrames; ++frame) {
      SetCtrlVal(panel, Message, frame % 2 ? "RUN" : "READY");
      SetCtrlVal(panel, Led, frame % 2);
      SetCtrlVal(panel, Number, frame * 0.01);
      if (previous != 0) DeleteGraphPlot(panel, Graph, previous, frame % 3 ? VAL_DELAYED_DRAW : VAL_IMMEDIATE_DRAW);
      previous = PlotPolygon(panel, Graph, x.data(), y.data(), 2500, VAL_RED, VAL_RED);
      SetGraphCursor(panel, Graph, 1, frame, 128);
      SetCtrlAttribute(panel, Marker, ATTR_TOP, 55 + frame % 100);
      if (frame % 50 == 0) InstallPopup(notice);
      if (frame % 50 == 25) RemovePopup(0);
    }
    RemovePopup(1);
    done = true;
  });
  int reads = 0;
  while (!done) {
    ProcessDrawEvents();
    std::string text;
    GetCtrlVal(panel, Message, &text);
    EXPECT_TRUE(text == "RUN" || text == "READY" || text.empty() || text == "R\xE9manence");
    EXPECT_LE(headless::Plots(panel, Graph).size(), 1u);
    double x = 0, y = 0;
    GetGraphCursor(panel, Graph, 1, &x, &y);
    ++reads;
  }
  acquisition.join();
  headless::Sync();
  EXPECT_GT(reads, 0);
  ASSERT_EQ(headless::Plots(panel, Graph).size(), 1u);
  EXPECT_EQ(headless::DisplayedPlots(panel, Graph).size(), 1u);
  int led = -1;
  GetCtrlVal(panel, Led, &led);
  EXPECT_EQ(led, (kFrames - 1) % 2);
  EXPECT_TRUE(headless::PopupStack().empty());
}

int RecordThread(void* data) {
  *static_cast<std::thread::id*>(data) = std::this_thread::get_id();
  return 17;
}

// Runs until the pool is being discarded, so the discard has to wait for it.
std::atomic<bool> discardStarted{false};
int SlowFunction(void* data) {
  while (!discardStarted.load()) std::this_thread::yield();
  static_cast<std::atomic<int>*>(data)->fetch_add(1);
  return 0;
}

TEST_F(ThreadingTest, ThreadPoolRunsInTheBackgroundAndDiscardWaits) {
  CmtThreadPoolHandle pool = 0;
  ASSERT_EQ(CmtNewThreadPool(1, &pool), 0);
  std::thread::id worker;
  int id = 0, result = 0;
  ASSERT_EQ(CmtScheduleThreadPoolFunction(pool, RecordThread, &worker, &id), 0);
  ASSERT_EQ(CmtWaitForThreadPoolFunctionCompletion(pool, id, &result), 0);
  EXPECT_EQ(result, 17);
  EXPECT_NE(worker, std::this_thread::get_id());

  std::atomic<int> finished{0};
  discardStarted = false;
  CmtScheduleThreadPoolFunction(pool, SlowFunction, &finished, nullptr);
  CmtScheduleThreadPoolFunction(pool, SlowFunction, &finished, nullptr);
  EXPECT_EQ(finished.load(), 0);
  discardStarted = true;
  ASSERT_EQ(CmtDiscardThreadPool(pool), 0);
  EXPECT_EQ(finished.load(), 2);  // both ran to the end before the pool went
  EXPECT_EQ(CmtScheduleThreadPoolFunction(pool, SlowFunction, &finished, nullptr), CMT_ERROR_INVALID_HANDLE);
  EXPECT_EQ(CmtNewThreadPool(0, &pool), CMT_ERROR_INVALID_ARGUMENT);
}

TEST_F(ThreadingTest, ThreadPriorityIsSetAndRestored) {
  std::thread([] {
    int priority = 99;
    EXPECT_EQ(CmtSetCurrentThreadPriority(THREAD_PRIORITY_LOWEST), 0);
    CmtGetCurrentThreadPriority(&priority);
    EXPECT_EQ(priority, THREAD_PRIORITY_LOWEST);
    EXPECT_EQ(CmtSetCurrentThreadPriority(THREAD_PRIORITY_NORMAL), 0);  // the way back must work
    CmtGetCurrentThreadPriority(&priority);
    EXPECT_EQ(priority, THREAD_PRIORITY_NORMAL);
    EXPECT_EQ(CmtSetCurrentThreadPriority(12345), CMT_ERROR_INVALID_ARGUMENT);
  }).join();
}

TEST_F(ThreadingTest, LocksAreRecursiveAndOwned) {
  CmtThreadLockHandle lock = 0;
  ASSERT_EQ(CmtNewLock("link", 0, &lock), 0);
  ASSERT_EQ(CmtGetLock(lock), 0);
  ASSERT_EQ(CmtGetLock(lock), 0);  // the owner may take it again
  auto takenElsewhere = [lock] {
    int obtained = -1;
    std::thread([&] {
      CmtTryToGetLock(lock, &obtained);
      if (obtained == 1) CmtReleaseLock(lock);
      else EXPECT_EQ(CmtReleaseLock(lock), CMT_ERROR_NOT_OWNER);
    }).join();
    return obtained;
  };
  EXPECT_EQ(takenElsewhere(), 0);
  CmtReleaseLock(lock);
  EXPECT_EQ(takenElsewhere(), 0) << "one take is still held";
  std::atomic<bool> taken{false};
  std::thread waiter([&] {
    CmtGetLock(lock);  // waits until the owner's last release
    taken = true;
    CmtReleaseLock(lock);
  });
  CmtReleaseLock(lock);
  waiter.join();
  EXPECT_TRUE(taken.load());
  EXPECT_EQ(takenElsewhere(), 1);
  EXPECT_EQ(CmtDiscardLock(lock), 0);
  EXPECT_EQ(CmtGetLock(lock), CMT_ERROR_INVALID_HANDLE);
}

}  // namespace
