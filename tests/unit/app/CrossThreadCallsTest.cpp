// A thread that is not the user-interface thread never waits for it: the
// three ways such a wait would deadlock the program, each run under a
// watchdog that ends the test binary if it hangs.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include "link/LinkBusy.h"
#include "platform/ui/Headless.h"
#include "platform/ui/UserInterface.h"
#include "support/HeadlessTestSupport.h"

namespace {

// A deadlock cannot be joined: report it and end the binary.
void ExpectNoDeadlock(const std::string& what, const std::function<void()>& scenario) {
  auto finished = std::async(std::launch::async, scenario);
  if (finished.wait_for(std::chrono::seconds(30)) == std::future_status::timeout) {
    std::fprintf(stderr, "DEADLOCK: %s\n", what.c_str());
    std::_Exit(1);
  }
  finished.get();
}

struct BlockingCall {
  const char* name;
  std::function<int()> call;
  int refusal;
};

// What would make a thread wait for the user-interface thread's answer.
std::vector<BlockingCall> BlockingCalls() {
  return {
      {"question", [] { return GenericMessagePopup("WARNING !", "Sure?", "Yes", "No"); }, UIE_NOT_ON_UI_THREAD},
      {"file dialog",
       [] {
         std::string path;
         return FileSelectPopup("", "*.txt", "*.txt", "Save", VAL_SAVE_BUTTON, 0, 1, 1, 1, &path);
       },
       UIE_NOT_ON_UI_THREAD},
      {"printing",
       [] {
         NIReportHandle report = 0;
         NIReport_New(&report);
         const int status = NIReport_Print(report, "");
         NIReport_Discard(report);
         return status;
       },
       kNIReportErrNotOnUiThread},
      {"printer list",
       [] {
         std::string defaultPrinter;
         std::vector<std::string> printers;
         return NIReport_GetPrinters(&defaultPrinter, &printers);
       },
       kNIReportErrNotOnUiThread},
  };
}

class CrossThreadCallsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    headless::Use();
    headless::Reset();
    testsupport::FailOnUnansweredQuestions();
    LinkBusy = 0;
  }
  void TearDown() override { headless::Reset(); }
};

// The acquisition thread owns the link and asks; the user-interface thread
// spins for that link and handles nothing meanwhile.
TEST_F(CrossThreadCallsTest, AskingWhileOwningTheLinkTheUserInterfaceWaitsFor) {
  for (const BlockingCall& blocking : BlockingCalls()) {
    ExpectNoDeadlock(std::string(blocking.name) + " from the link owner", [&blocking] {
      std::atomic<bool> owned{false};
      int result = 0;
      std::thread acquisition([&] {
        TakeLink();
        owned = true;
        result = blocking.call();
        ReleaseLink();
      });
      while (!owned.load()) std::this_thread::yield();
      headless::Run([] { LinkOwnership link; });
      acquisition.join();
      EXPECT_EQ(result, blocking.refusal) << blocking.name;
    });
  }
  EXPECT_EQ(LinkBusy.load(), 0);
}

int AskFromThePool(void* data) {
  auto* calls = static_cast<std::vector<std::pair<BlockingCall, int>>*>(data);
  for (auto& [blocking, result] : *calls) result = blocking.call();
  return 0;
}

// At quit the user-interface thread waits for the acquisition thread to end.
TEST_F(CrossThreadCallsTest, AskingWhileTheUserInterfaceWaitsForTheThreadToEnd) {
  std::vector<std::pair<BlockingCall, int>> calls;
  for (const BlockingCall& blocking : BlockingCalls()) calls.emplace_back(blocking, 0);
  ExpectNoDeadlock("asking while the pool is discarded", [&calls] {
    headless::Run([&calls] {
      CmtThreadPoolHandle pool = 0;
      ASSERT_EQ(CmtNewThreadPool(1, &pool), 0);
      CmtScheduleThreadPoolFunction(pool, AskFromThePool, &calls, nullptr);
      CmtDiscardThreadPool(pool);  // waits for the function, as the quit sequence does
    });
  });
  for (const auto& [blocking, result] : calls) EXPECT_EQ(result, blocking.refusal) << blocking.name;
}

// Once the event loop has ended nobody would ever answer.
TEST_F(CrossThreadCallsTest, AskingAfterTheEventLoopEnded) {
  headless::Run([] {
    PostDeferredCall([](void*) { QuitUserInterface(0); }, nullptr);
    EXPECT_EQ(RunUserInterface(), 0);
  });
  for (const BlockingCall& blocking : BlockingCalls()) {
    ExpectNoDeadlock(std::string(blocking.name) + " after the event loop", [&blocking] {
      int result = 0;
      std::thread late([&] { result = blocking.call(); });
      late.join();
      EXPECT_EQ(result, blocking.refusal) << blocking.name;
    });
  }
  EXPECT_TRUE(headless::Popups().empty());
}

}  // namespace
