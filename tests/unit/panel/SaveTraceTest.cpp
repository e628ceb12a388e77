// File > Save Trace (.txt) ...: the file dialog and the channel question answered
// on the headless front-end; the simulated instrument sends the trace.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "PanelTestSupport.h"
#include "panel/SaveTrace.h"
#include "platform/os/ProjectDir.h"

namespace paneltest {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t kTracePathField = 56;  // the preferences' field, terminator included

class SaveTraceTest : public PanelTest {
 protected:
  void SetUp() override {
    PanelTest::SetUp();
    SetProjectDirOverride(fs::path(ORNI_PANEL_FILE).parent_path().string());
    char pattern[] = "/tmp/orni-save-XXXXXX";
    dir_ = mkdtemp(pattern);
    std::strcpy(tracePath_, "/tmp");
  }
  void TearDown() override {
    fs::remove_all(dir_);
    SetProjectDirOverride("");
    PanelTest::TearDown();
  }
  void Save() {
    headless::Run([this] { SaveTraceMenuItem(tracePath_, sizeof tracePath_); });
  }
  static std::string FileText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  // No notice, no wait cursor, and the link free.
  static bool Idle() { return headless::PopupStack().empty() && GetWaitCursorState() == 0 && LinkBusy.load() == 0; }

  fs::path dir_;
  char tracePath_[kTracePathField] = {};
};

TEST_F(SaveTraceTest, ChannelTwoIsSavedAndItsDirectoryRemembered) {
  headless::AnswerFile((dir_ / "run1.txt").string());
  headless::AnswerButton(2);
  Save();

  const std::vector<headless::PopupRecord> popups = headless::Popups();
  ASSERT_EQ(popups.size(), 2u);
  EXPECT_EQ(popups[0].kind, headless::PopupRecord::FileDialog);
  EXPECT_EQ(popups[0].title, "Save...");
  EXPECT_EQ(popups[0].text, "/tmp") << "the dialog opens in the remembered directory";
  EXPECT_EQ(popups[1].title, "Save Trace (.txt) ...");
  EXPECT_EQ(popups[1].text, "Choose the channel :");
  EXPECT_EQ(popups[1].buttons, (std::vector<std::string>{"CH1", "CH2"}));

  EXPECT_NE(Received().find(":MMEM:STOR:TRAC INT2,\"TEMP_FILE.TRC\"\r"), std::string::npos);
  EXPECT_EQ(FileText(dir_ / "run1.txt").rfind("t (s)     \tV\n   0.000000e+00\t", 0), 0u);
  EXPECT_EQ(std::string(tracePath_), dir_.string()) << "no trailing separator";
  EXPECT_TRUE(Idle());

  // The next dialog opens there; cancelled, it writes nothing and keeps the directory.
  headless::ClearPopups();
  headless::AnswerCancel();
  Save();
  ASSERT_EQ(headless::Popups().size(), 1u) << "no channel question";
  EXPECT_EQ(headless::Popups()[0].text, dir_.string());
  EXPECT_EQ(std::string(tracePath_), dir_.string());
  EXPECT_EQ(Received(), "");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), {}), 1);
}

// A directory that does not fit the preferences' field is not remembered cut.
TEST_F(SaveTraceTest, DirectoryTooLongForTheFieldIsNotRemembered) {
  const fs::path deep = dir_ / std::string(kTracePathField, 'd');
  fs::create_directories(deep);
  headless::AnswerFile((deep / "run1.txt").string());
  headless::AnswerButton(1);
  Save();
  EXPECT_TRUE(fs::exists(deep / "run1.txt")) << "the file itself is written under its full name";
  EXPECT_EQ(std::string(tracePath_), "/tmp");
}

TEST_F(SaveTraceTest, FailuresAreShownAndLeaveTheFileAsItWas) {
  struct Row {
    kvxsim::Faults faults;
    fs::path file;
    const char* message;
  };
  const Row rows[] = {{{.corruptPrefix = 1}, dir_ / "old.txt", "Error while loading file.\n"},
                      {{.oversizeBlocks = 1}, dir_ / "old.txt", "Error while loading file.\n"},
                      {{}, dir_ / "gone" / "run1.txt", "Cannot create the file."}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.file.string());
    std::ofstream(dir_ / "old.txt") << "kept\n";
    headless::ClearPopups();
    sim_->SetFaults(row.faults);
    headless::Run([&row] { ExportTrace(row.file.string(), 0); });
    const std::vector<headless::PopupRecord> popups = headless::Popups();
    ASSERT_EQ(popups.size(), 1u);
    EXPECT_EQ(popups[0].title + "|" + popups[0].text, std::string("FILE ERROR|") + row.message);
    EXPECT_EQ(FileText(dir_ / "old.txt"), "kept\n");
    EXPECT_FALSE(fs::exists(dir_ / "gone"));
    EXPECT_TRUE(Idle());
  }
}

TEST(SaveTraceDirectory, DirectoryIsWhatComesBeforeTheLastSlash) {
  EXPECT_EQ(DirectoryOf("/data/run1.txt"), "/data");
  EXPECT_EQ(DirectoryOf("/data/a.b/run1.txt"), "/data/a.b");
  EXPECT_EQ(DirectoryOf("/run1.txt"), "/");
  EXPECT_EQ(DirectoryOf("run1.txt"), "");
}

// The user-interface thread waits for a held-back reply while this thread
// looks at the notice.
TEST_F(SaveTraceTest, NoticeShowsWhileTheTraceIsLoading) {
  ScopedManualClock manual(ManualClock::Mode::Manual);
  sim_->SetFaults({.stallReplies = 1, .stallMs = 100});
  const std::string path = (dir_ / "run1.txt").string();
  headless::Post([path] { ExportTrace(path, 0); });
  ASSERT_TRUE(manual->WaitForSleepers(1)) << "waiting for the instrument";
  const std::vector<int> shown = headless::PopupStack();
  ASSERT_EQ(shown.size(), 1u);
  std::string title, text;
  GetPanelAttribute(shown[0], ATTR_TITLE, &title);
  GetCtrlVal(shown[0], NoticePanel::NoticeText, &text);
  EXPECT_EQ(title + "|" + text, "WAIT !|Loading samples ...");
  EXPECT_EQ(GetWaitCursorState(), 1);
  EXPECT_EQ(LinkBusy.load(), 1) << "the export owns the link";

  manual->Advance(0.2);
  headless::Sync();
  EXPECT_TRUE(fs::exists(path));
  EXPECT_TRUE(Idle());
}

}  // namespace
}  // namespace paneltest
