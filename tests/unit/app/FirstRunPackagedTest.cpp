// The first run of an installed package: its udev rule is already in the
// system's rules directory, so the sequence installs nothing and asks only
// for the language and the reconnection.
#include <gtest/gtest.h>

#include "ProgramTestSupport.h"
#include "app/DriverInstall.h"

namespace {

using programtest::ReadFile;
namespace fs = std::filesystem;

class FirstRunPackagedTest : public programtest::ProgramTest {
 protected:
  void InstallPackagedRule() {
    fs::create_directories(dir_ / "packaged");
    std::ofstream(dir_ / "packaged" / "60-kelvarinlab.rules") << "packaged\n";
  }
};

TEST_F(FirstRunPackagedTest, PackagedRuleLeavesNothingToInstall) {
  InstallPackagedRule();
  AddInstrument(162);
  headless::AnswerPress(LanguagePanel::EnglishButton);
  ASSERT_EQ(Start(), 0);
  EXPECT_FALSE(fs::exists(dir_ / "rules" / "60-kelvarinlab.rules")) << "the package's rule is enough";
  EXPECT_EQ(ReadFile(dir_ / "packaged" / "60-kelvarinlab.rules"), "packaged\n") << "left as the package put it";
  EXPECT_TRUE(PopupShown(CatalogueText(Msg::InformationTitle, 0))) << "disconnect and connect are still asked";
  EXPECT_EQ(ReadFile(dir_ / "setupD.7up"), "1\n0\n") << "the first run is done";
}

TEST_F(FirstRunPackagedTest, BuildTreeRunInstallsTheRuleItself) {
  AddInstrument(162);
  headless::AnswerPress(LanguagePanel::GermanButton);
  ASSERT_EQ(Start(), 0);
  EXPECT_EQ(ReadFile(dir_ / "rules" / "60-kelvarinlab.rules"),
            ReadFile(dir_ / "driver_USB" / "linux" / "60-kelvarinlab.rules"));
  EXPECT_EQ(ReadFile(dir_ / "setupD.7up"), "1\n2\n");
}

}  // namespace
