// The about box on the headless front-end, with an instrument whose replies
// are scripted byte for byte, and the desktop opener replaced by a recorder.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <mutex>
#include <regex>
#include <string>
#include <vector>

#include "app/AboutBox.h"
#include "app/SplashText.h"
#include "catalogue/MessageCatalogue.h"
#include "layout/PanelIds.h"
#include "link/InstrumentSession.h"
#include "link/LinkBusy.h"
#include "link/Transport.h"
#include "platform/os/Clock.h"
#include "platform/os/ProjectDir.h"
#include "platform/os/System.h"
#include "platform/os/Timing.h"
#include "platform/ui/Headless.h"
#include "platform/ui/UserInterface.h"
#include "platform/visa/Backend.h"
#include "support/HeadlessTestSupport.h"
#include "support/ScriptedInstrument.h"

namespace {

namespace fs = std::filesystem;
using testsupport::ScriptedInstrument;

constexpr const char* kIdentity = "KVX162, v1.05/A1/ZC, 0042\n";

class AboutBoxTest : public ::testing::Test {
 protected:
  void SetUp() override {
    headless::Use();
    headless::Reset();
    testsupport::FailOnUnansweredQuestions();
    RegisterAboutCallbacks();
    char pattern[] = "/tmp/orni-about-XXXXXX";
    dir_ = mkdtemp(pattern);
    fs::copy_file(ORNI_PANEL_FILE, dir_ / "ORNIKELVARINLAB.uir");
    SetProjectDirOverride(dir_.string());
    SetDesktopOpener([this](const std::string& target) {
      std::lock_guard lock(openedMutex_);
      opened_.push_back(target);
      return 0;
    });
    visa::ClearInstruments();
    visa::EnableUsbSearch(false);
    instrument_ = std::make_shared<ScriptedInstrument>("ABOUT");
    visa::AddInstrument(instrument_);
    TheInstrument = InstrumentSession{};
    TheInstrument.identifiedModelNumber = 162;
    ASSERT_EQ(viOpenDefaultRM(&TheInstrument.resourceManager), VI_SUCCESS);
    ASSERT_EQ(viOpen(TheInstrument.resourceManager, instrument_->Descriptor().c_str(), VI_EXCLUSIVE_LOCK, 0,
                     &TheInstrument.session),
              VI_SUCCESS);
    viSetAttribute(TheInstrument.session, VI_ATTR_TMO_VALUE, kStandingTimeoutMs);
    SetCurrentLanguage(0);
    LinkBusy = 0;
  }
  void TearDown() override {
    if (AboutBoxPanel() > 0) headless::LeftClick(AboutBoxPanel(), SplashPanel::AboutFrame, 1, 1);
    SetDesktopOpener({});
    viClose(TheInstrument.resourceManager);
    TheInstrument = InstrumentSession{};
    visa::ClearInstruments();
    SetProjectDirOverride("");
    SetCurrentLanguage(0);
    headless::Reset();
    fs::remove_all(dir_);
  }

  int OpenWithReply(const std::string& reply) {
    if (!reply.empty()) instrument_->QueueReply(reply);
    headless::Run([] { OpenAboutBox(); });
    return AboutBoxPanel();
  }
  std::vector<std::string> Opened() {
    std::lock_guard lock(openedMutex_);
    return opened_;
  }
  static std::string Text(int panel, int control) {
    std::string text;
    GetCtrlVal(panel, control, &text);
    return text;
  }
  static int Attribute(int panel, int control, int attribute) {
    int value = -1;
    GetCtrlAttribute(panel, control, attribute, &value);
    return value;
  }
  static bool Visible(int panel, int control) { return Attribute(panel, control, ATTR_VISIBLE) == 1; }
  static int MouseCursor() {
    int shape = -1;
    GetMouseCursor(&shape);
    return shape;
  }

  ScopedManualClock clock_;
  fs::path dir_;
  std::shared_ptr<ScriptedInstrument> instrument_;
  std::mutex openedMutex_;
  std::vector<std::string> opened_;
};

TEST_F(AboutBoxTest, ShowsTheProgramTheDateTheInstrumentAndTheMakerLinks) {
  const int panel = OpenWithReply(kIdentity);
  ASSERT_GT(panel, 0);
  EXPECT_EQ(instrument_->Written(), "\r*IDN?\r") << "exactly the seven bytes, nothing else";
  EXPECT_EQ(Text(panel, SplashPanel::AboutIdentityText), "KVX162, v1.05/A1/ZC, 0042") << "terminator dropped";
  EXPECT_EQ(Text(panel, SplashPanel::AboutTitleText), "ORNIKELVARINLAB v1.00");
  EXPECT_EQ(Text(panel, SplashPanel::AboutDateText), FormatBuildDate(ExecutableDate(), 0));
  EXPECT_TRUE(std::regex_match(Text(panel, SplashPanel::AboutDateText), std::regex("[0-9]{2} [A-Z]{3} [0-9]+")));
  for (const int control : {SplashPanel::AboutIdentityLabel, SplashPanel::AboutIdentityText,
                            SplashPanel::AboutDateText, SplashPanel::MakerSiteLink, SplashPanel::SupportLink,
                            SplashPanel::MakerLogo})
    EXPECT_TRUE(Visible(panel, control)) << "control " << control;
  std::string logo;
  GetCtrlAttribute(panel, SplashPanel::MakerLogo, ATTR_IMAGE_FILE, &logo);
  EXPECT_TRUE(logo.ends_with("bitmap/logo.bmp") && fs::path(logo).is_absolute()) << logo;
  EXPECT_EQ(headless::PopupStack(), std::vector<int>{panel}) << "modal";
  EXPECT_EQ(MouseCursor(), VAL_POINTING_FINGER_CURSOR);
  EXPECT_EQ(LinkBusy.load(), 0) << "the link is given back";
}

TEST_F(AboutBoxTest, OtherLanguagesWriteTheDateInNumbersWithHyphens) {
  SetCurrentLanguage(1);
  const int panel = OpenWithReply(kIdentity);
  EXPECT_EQ(Text(panel, SplashPanel::AboutDateText), FormatBuildDate(ExecutableDate(), 1));
  EXPECT_TRUE(std::regex_match(Text(panel, SplashPanel::AboutDateText), std::regex("[0-9]{2}-[0-9]{2}-[0-9]+")));
}

TEST_F(AboutBoxTest, DistributorVariantHidesTheLinksAndTheLogo) {
  TheInstrument.identifiedModelNumber = 71;
  TheInstrument.modelNumber = 112;
  const int panel = OpenWithReply("KVX71, v1.05/A1/ZC, 0071\n");
  EXPECT_EQ(Text(panel, SplashPanel::AboutIdentityText), "KVX71, v1.05/A1/ZC, 0071");
  EXPECT_TRUE(Visible(panel, SplashPanel::AboutIdentityText));
  for (const int control : {SplashPanel::MakerSiteLink, SplashPanel::SupportLink, SplashPanel::MakerLogo})
    EXPECT_FALSE(Visible(panel, control)) << "control " << control;
}

TEST_F(AboutBoxTest, ReplyOfTheFullHundredBytesLosesItsLastCharacter) {
  const std::string full = std::string(99, 'A') + "Z";
  EXPECT_EQ(Text(OpenWithReply(full), SplashPanel::AboutIdentityText), std::string(99, 'A'));
}

TEST_F(AboutBoxTest, LongerReplyIsCutAndItsRestDoesNotReachTheNextExchange) {
  const int panel = OpenWithReply(std::string(99, 'B') + std::string(50, 'C') + "\n");
  EXPECT_EQ(Text(panel, SplashPanel::AboutIdentityText), std::string(99, 'B'));
  instrument_->QueueReply("NEXT\n");
  std::string reply;
  Query(TheInstrument.session, "ZC:NEXT?\r", 0.0, 100, reply);
  EXPECT_EQ(reply, "NEXT\n");
}

TEST_F(AboutBoxTest, SilentInstrumentLeavesThePanelFileText) {
  const int splash = LoadPanel(0, PanelFileName, SplashPanel::Resource);
  const std::string fromFile = Text(splash, SplashPanel::AboutIdentityText);
  DiscardPanel(splash);
  const int panel = OpenWithReply("");
  EXPECT_FALSE(fromFile.empty());
  EXPECT_EQ(Text(panel, SplashPanel::AboutIdentityText), fromFile);
  EXPECT_TRUE(Visible(panel, SplashPanel::AboutIdentityText));
}

TEST_F(AboutBoxTest, MakerSiteLinkTurnsPurpleOpensTheHomePageAndPauses) {
  const int panel = OpenWithReply(kIdentity);
  const double before = Timer();
  headless::LeftClick(panel, SplashPanel::MakerSiteLink, 10, 5);
  EXPECT_EQ(Opened(), std::vector<std::string>{"https://www.kelvarinlab.example/"});
  EXPECT_EQ(Attribute(panel, SplashPanel::MakerSiteLink, ATTR_TEXT_COLOR), 0x800080);
  EXPECT_EQ(Attribute(panel, SplashPanel::SupportLink, ATTR_TEXT_COLOR), 0x0000FF);
  EXPECT_GE(Timer() - before, 2.0);
  EXPECT_EQ(AboutBoxPanel(), panel) << "the box stays open";
}

TEST_F(AboutBoxTest, SupportLinkIsEnglishInEnglishAndFrenchOtherwise) {
  const std::string english = "https://www.kelvarinlab.example/SUPPORT/support.asp?txtLangue=uk&txtProcedure=&onglet=";
  const std::string french = "https://www.kelvarinlab.example/SUPPORT/support.asp?txtLangue=fr&txtProcedure=&onglet=";
  EXPECT_EQ(SupportPageAddress(0), english);
  for (int language = 1; language < 5; ++language) EXPECT_EQ(SupportPageAddress(language), french);

  SetCurrentLanguage(2);
  const int panel = OpenWithReply(kIdentity);
  headless::LeftClick(panel, SplashPanel::SupportLink, 10, 5);
  EXPECT_EQ(Opened(), std::vector<std::string>{french});
  EXPECT_EQ(Attribute(panel, SplashPanel::SupportLink, ATTR_TEXT_COLOR), 0x800080);
}

TEST_F(AboutBoxTest, ClickOnTheLogoDoesNothingAndAnyOtherControlClosesTheBox) {
  const int panel = OpenWithReply(kIdentity);
  headless::LeftClick(panel, SplashPanel::MakerLogo, 10, 10);
  EXPECT_EQ(AboutBoxPanel(), panel);
  EXPECT_TRUE(Opened().empty());
  headless::LeftClick(panel, SplashPanel::AboutSubtitleText, 10, 5);
  EXPECT_EQ(AboutBoxPanel(), 0);
  EXPECT_TRUE(headless::PopupStack().empty());
  EXPECT_EQ(MouseCursor(), VAL_DEFAULT_CURSOR);
  int top = 0;
  EXPECT_LT(GetPanelAttribute(panel, ATTR_TOP, &top), 0) << "the panel is discarded";
  EXPECT_GT(OpenWithReply(kIdentity), 0) << "and opens again";
}

TEST_F(AboutBoxTest, OnlyALeftClickActs) {
  const int panel = OpenWithReply(kIdentity);
  for (const int event : {EVENT_COMMIT, EVENT_RIGHT_CLICK, EVENT_LEFT_DOUBLE_CLICK, EVENT_GOT_FOCUS}) {
    headless::Run([&] {
      EXPECT_EQ(Presentation(panel, SplashPanel::AboutTitleText, event, nullptr, 0, 0), 0);
      EXPECT_EQ(Presentation(panel, SplashPanel::MakerSiteLink, event, nullptr, 0, 0), 0);
    });
  }
  EXPECT_EQ(AboutBoxPanel(), panel);
  EXPECT_TRUE(Opened().empty());
  EXPECT_EQ(Attribute(panel, SplashPanel::MakerSiteLink, ATTR_TEXT_COLOR), 0x0000FF);
}

TEST_F(AboutBoxTest, TheSplashIgnoresClicks) {
  int splash = 0;
  headless::Run([&splash] {
    splash = LoadPanel(0, PanelFileName, SplashPanel::Resource);
    InstallPopup(splash);
  });
  headless::LeftClick(splash, SplashPanel::AboutTitleText, 10, 5);
  headless::LeftClick(splash, SplashPanel::AboutFrame, 1, 1);
  EXPECT_EQ(headless::PopupStack(), std::vector<int>{splash});
  headless::Run([splash] {
    RemovePopup(0);
    DiscardPanel(splash);
  });
}

TEST_F(AboutBoxTest, HelpItemOpensTheManualOfTheApplicationDirectoryQuietly) {
  headless::Run([] { GestionMenuAide(0, MainMenuBar::HelpItem, nullptr, 0); });
  EXPECT_EQ(Opened(), std::vector<std::string>{(dir_ / "ORNIKELVARINLAB.pdf").string()});
  EXPECT_TRUE(headless::Popups().empty()) << "a missing manual is not reported";
  headless::Run([] { GestionMenuAide(0, MainMenuBar::ExitItem, nullptr, 0); });
  EXPECT_EQ(Opened().size(), 1u) << "other items do nothing";
  EXPECT_EQ(AboutBoxPanel(), 0);
  EXPECT_EQ(LinkBusy.load(), 0);
}

// The query waits for the acquisition thread's exchange to end: the link is
// held here (the test's thread) while the about item runs on the other one.
TEST_F(AboutBoxTest, AboutItemWaitsForTheLinkBeforeItQueries) {
  ScopedManualClock manual(ManualClock::Mode::Manual);
  instrument_->QueueReply(kIdentity);
  ASSERT_TRUE(TryTakeLink());
  headless::Post([] { GestionMenuAide(0, MainMenuBar::AboutItem, nullptr, 0); });
  ASSERT_TRUE(manual->WaitForSleepers(1)) << "waiting for the link";
  EXPECT_EQ(instrument_->Written(), "");
  ReleaseLink();
  manual->Advance(0.001);
  headless::Sync();
  EXPECT_EQ(instrument_->Written(), "\r*IDN?\r");
  ASSERT_GT(AboutBoxPanel(), 0);
  EXPECT_EQ(Text(AboutBoxPanel(), SplashPanel::AboutIdentityText), "KVX162, v1.05/A1/ZC, 0042");
  EXPECT_EQ(LinkBusy.load(), 0);
}

}  // namespace
