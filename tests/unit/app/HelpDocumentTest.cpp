// The manual put in place for the Help menu: its choice by model and
// language, its replacement after a language change, and the about box on
// the whole program with the simulated instrument.
#include <gtest/gtest.h>

#include <string>

#include "ProgramTestSupport.h"
#include "app/AboutBox.h"
#include "app/HelpDocument.h"

namespace {

using programtest::ReadFile;
namespace fs = std::filesystem;

class HelpDocumentTest : public programtest::ProgramTest {
 protected:
  // Each manual holds its own name, so the copy in place tells which it was.
  void WriteManuals() {
    fs::create_directories(dir_ / "help");
    for (const char* suffix : {"gb", "fr", "de", "es", "it", "MAREVO"}) WriteManual(suffix);
  }
  void WriteManual(const std::string& suffix) {
    std::ofstream(dir_ / "help" / ("ORNIKELVARINLAB_" + suffix + ".pdf")) << suffix;
  }
  std::string Installed() const { return ReadFile(dir_ / "ORNIKELVARINLAB.pdf"); }
  bool ManualInPlace() const { return fs::exists(dir_ / "ORNIKELVARINLAB.pdf"); }
  static int OpenAboutFromTheMenu() {
    RegisterAboutCallbacks();
    headless::Run([] { GestionMenuAide(0, MainMenuBar::AboutItem, nullptr, 0); });
    return AboutBoxPanel();
  }
  static std::string Identity(int panel) {
    std::string identity;
    GetCtrlVal(panel, SplashPanel::AboutIdentityText, &identity);
    return identity;
  }
  static int MakerLinkVisible(int panel) {
    int visible = -1;
    GetCtrlAttribute(panel, SplashPanel::MakerSiteLink, ATTR_VISIBLE, &visible);
    return visible;
  }
};

TEST_F(HelpDocumentTest, ManualOfTheCurrentLanguageReplacesTheOldOne) {
  WriteManuals();
  std::ofstream(dir_ / "ORNIKELVARINLAB.pdf") << "an older manual, longer than the new one";
  SetCurrentLanguage(1);
  InstallHelpDocument(162);
  EXPECT_EQ(Installed(), "fr");
  SetCurrentLanguage(4);
  InstallHelpDocument(162);
  EXPECT_EQ(Installed(), "it");
}

TEST_F(HelpDocumentTest, DistributorVariantGetsItsManualWhateverTheLanguage) {
  WriteManuals();
  for (int language = 0; language < 5; ++language) {
    SetCurrentLanguage(language);
    InstallHelpDocument(71);
    EXPECT_EQ(Installed(), "MAREVO") << "language " << language;
  }
}

TEST_F(HelpDocumentTest, MissingManualLeavesNoneInPlaceAndTellsNobody) {
  fs::create_directories(dir_ / "help");
  WriteManual("gb");
  std::ofstream(dir_ / "ORNIKELVARINLAB.pdf") << "old";
  SetCurrentLanguage(2);
  InstallHelpDocument(162);
  EXPECT_FALSE(ManualInPlace()) << "the old manual is deleted first";
  EXPECT_TRUE(headless::Popups().empty());
}

TEST_F(HelpDocumentTest, LanguageChangePutsTheNewLanguagesManualInPlace) {
  WriteManuals();
  StartOn(162);
  EXPECT_EQ(Installed(), "gb");
  const int menuBar = GetPanelMenuBar(MainPanelHandle.load());
  headless::ChooseMenuItem(menuBar, MainMenuBar::GermanItem);
  EXPECT_EQ(CurrentLanguage(), 2);
  EXPECT_EQ(Installed(), "de");
}

TEST_F(HelpDocumentTest, DistributorVariantKeepsItsManualAcrossALanguageChange) {
  WriteManuals();
  StartOn(71);
  EXPECT_EQ(Installed(), "MAREVO");
  headless::ChooseMenuItem(GetPanelMenuBar(MainPanelHandle.load()), MainMenuBar::SpanishItem);
  EXPECT_EQ(Installed(), "MAREVO");
}

TEST_F(HelpDocumentTest, AboutBoxOnTheRunningProgramShowsTheInstrumentsIdentity) {
  StartOn(162);
  const int panel = OpenAboutFromTheMenu();
  EXPECT_EQ(Identity(panel).rfind("KVX162, ", 0), 0u) << Identity(panel);
  EXPECT_EQ(Identity(panel).find('\n'), std::string::npos) << "the terminator is cut";
  EXPECT_EQ(MakerLinkVisible(panel), 1);
  headless::LeftClick(panel, SplashPanel::AboutTitleText, 10, 5);
  EXPECT_EQ(AboutBoxPanel(), 0);
}

TEST_F(HelpDocumentTest, AboutBoxOfTheDistributorVariantHidesTheMakersLinks) {
  StartOn(71);
  const int panel = OpenAboutFromTheMenu();
  EXPECT_EQ(Identity(panel).rfind("KVX71, ", 0), 0u) << Identity(panel);
  EXPECT_EQ(MakerLinkVisible(panel), 0);
  headless::LeftClick(panel, SplashPanel::AboutTitleText, 10, 5);
}

}  // namespace
