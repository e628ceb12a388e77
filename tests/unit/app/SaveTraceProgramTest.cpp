// Save Trace in the running program: the export takes the link from the
// acquisition thread, which goes on afterwards; the directory is remembered.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <string>
#include <thread>

#include "ProgramTestSupport.h"
#include "acquisition/Acquisition.h"
#include "app/PreferencesBlock.h"
#include "panel/SaveTrace.h"

namespace {

using programtest::ProgramTest;

// Waits (real time, bounded) until the acquisition thread has handled `count` more frames.
bool FramesGoOn(std::uint64_t count) {
  const std::uint64_t start = FramesProcessed.load();
  const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (std::chrono::steady_clock::now() < giveUp) {
    if (FramesProcessed.load() >= start + count) return true;
    std::this_thread::yield();
  }
  return false;
}

TEST_F(ProgramTest, SaveTraceWhileTheAcquisitionRuns) {
  StartOn(162);
  ASSERT_TRUE(FramesGoOn(2));
  headless::ClearPopups();  // what the first start said about missing files
  const std::string file = (dir_ / "run1.txt").string();
  headless::AnswerFile(file);
  headless::AnswerButton(1);
  headless::Run([] { SaveTraceMenuItem(ProgramPreferences.tracePath, sizeof ProgramPreferences.tracePath); });

  const std::string text = programtest::ReadFile(file);
  EXPECT_EQ(text.rfind("t (s)     \tV\n   0.000000e+00\t", 0), 0u);
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 50001);
  EXPECT_FALSE(PopupShown("FILE ERROR"));
  EXPECT_STREQ(ProgramPreferences.tracePath, dir_.c_str());
  EXPECT_TRUE(FramesGoOn(2)) << "the acquisition has the link again";

  headless::AnswerEnter();
  headless::EndTask();
  const std::string saved = programtest::ReadFile(dir_ / "Ornikelva.okv");
  EXPECT_NE(saved.find(dir_.string() + std::string(1, '\0')), std::string::npos) << "kept for the next run";
}

}  // namespace
