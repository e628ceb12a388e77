// The first-run file and the splash texts.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "app/FirstRunFile.h"
#include "app/SplashText.h"

namespace {

namespace fs = std::filesystem;

class FirstRunFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/orni-firstrun-XXXXXX";
    dir_ = mkdtemp(pattern);
    file_ = (dir_ / "setupD.7up").string();
  }
  void TearDown() override { fs::remove_all(dir_); }
  FirstRunState ReadText(const std::string& text) {
    std::ofstream(file_, std::ios::binary) << text;
    return ReadFirstRunFile(file_);
  }

  fs::path dir_;
  std::string file_;
};

TEST_F(FirstRunFileTest, ReadsFlagAndLanguage) {
  FirstRunState state = ReadText("1\n3\n");
  EXPECT_TRUE(state.fileRead);
  EXPECT_EQ(state.firstRunDone, 1);
  EXPECT_EQ(state.language, 3);

  state = ReadText("0\n2\n");
  EXPECT_EQ(state.firstRunDone, 0) << "the sequence has not completed: it runs again";
  EXPECT_EQ(state.language, 2);
}

TEST_F(FirstRunFileTest, OutOfRangeLanguagesBecomeEnglish) {
  EXPECT_EQ(ReadText("1\n7\n").language, 0);
  EXPECT_EQ(ReadText("1\n-2\n").language, 0);
  EXPECT_EQ(ReadText("1\n4\n").language, 4);
}

TEST_F(FirstRunFileTest, MissingOrDamagedFileIsAFreshInstall) {
  for (const FirstRunState& state : {ReadFirstRunFile(file_), ReadText(""), ReadText("x\ny\n"),
                                     ReadText(std::string(10000, '9'))}) {
    EXPECT_FALSE(state.fileRead);
    EXPECT_EQ(state.firstRunDone, 0);
    EXPECT_EQ(state.language, 0);
  }
}

TEST_F(FirstRunFileTest, FlagLineAloneCountsAsRunInEnglish) {
  for (const char* text : {"1\n", "1", "1\nfr\n"}) {
    const FirstRunState state = ReadText(text);
    EXPECT_TRUE(state.fileRead) << text;
    EXPECT_EQ(state.firstRunDone, 1) << text;
    EXPECT_EQ(state.language, 0) << text;
  }
}

TEST_F(FirstRunFileTest, NamedPipeInItsPlaceIsNotWaitedFor) {
  ASSERT_EQ(mkfifo(file_.c_str(), 0600), 0);
  const FirstRunState state = ReadFirstRunFile(file_);  // nobody writes: a blocking read would hang here
  EXPECT_FALSE(state.fileRead);
  EXPECT_EQ(state.firstRunDone, 0);
}

TEST_F(FirstRunFileTest, WritesOneAndTheLanguage) {
  ASSERT_TRUE(WriteFirstRunFile(file_, 4));
  std::ifstream in(file_, std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "1\n4\n");
  EXPECT_FALSE(WriteFirstRunFile((dir_ / "no" / "such" / "dir").string(), 0));
}

TEST(SplashText, TitleAndBuildDateInBothForms) {
  EXPECT_EQ(ProgramTitle(), "ORNIKELVARINLAB v1.00");
  const CalendarDate date{7, 3, 2013};
  EXPECT_EQ(FormatBuildDate(date, 0), "07 MAR 2013");
  for (int language = 1; language < 5; ++language) EXPECT_EQ(FormatBuildDate(date, language), "07-03-2013");
  EXPECT_EQ(FormatBuildDate({31, 12, 2026}, 0), "31 DEC 2026");
}

}  // namespace
