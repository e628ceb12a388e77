// The Help menu and the about box on the headless front-end: a scripted
// instrument, and a recorder in place of the desktop's viewer and browser.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <mutex>
#include <regex>

#include "app/AboutBox.h"
#include "app/SplashText.h"
#include "catalogue/MessageCatalogue.h"
#include "layout/PanelIds.h"
#include "link/InstrumentSession.h"
#include "link/LinkBusy.h"
#include "link/Transport.h"
#include "platform/os/ProjectDir.h"
#include "platform/os/Timing.h"
#include "platform/ui/Headless.h"
#include "platform/ui/UserInterface.h"
#include "support/HeadlessTestSupport.h"
#include "support/ScriptedInstrument.h"

namespace {

namespace fs = std::filesystem;
constexpr const char* kIdentity = "KVX162, v1.05/A1/ZC, 0042\n";
const std::string kSupport = "https://www.kelvarinlab.example/SUPPORT/support.asp?txtLangue=";

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
      std::lock_guard lock(mutex_);
      opened_.push_back(target);
      return 0;
    });
    visa::ClearInstruments();
    visa::AddInstrument(instrument_);
    TheInstrument = InstrumentSession{};
    TheInstrument.identifiedModelNumber = 162;
    viOpenDefaultRM(&TheInstrument.resourceManager);
    viOpen(TheInstrument.resourceManager, instrument_->Descriptor().c_str(), VI_EXCLUSIVE_LOCK, 0, &TheInstrument.session);
    SetCurrentLanguage(0);
  }
  void TearDown() override {
    if (AboutBoxPanel() > 0) Click(SplashPanel::AboutBackground);
    SetDesktopOpener({});
    viClose(TheInstrument.resourceManager);
    TheInstrument = InstrumentSession{};
    visa::ClearInstruments();
    SetProjectDirOverride("");
    headless::Reset();
    fs::remove_all(dir_);
  }

  int Open(const std::string& reply) {
    if (!reply.empty()) instrument_->QueueReply(reply);
    headless::Run([] { OpenAboutBox(); });
    return AboutBoxPanel();
  }
  static void Click(int control) { headless::LeftClick(AboutBoxPanel(), control, 5, 5); }
  std::vector<std::string> Opened() {
    std::lock_guard lock(mutex_);
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
  static int MouseCursor() {
    int shape = -1;
    GetMouseCursor(&shape);
    return shape;
  }

  ScopedManualClock clock_;
  fs::path dir_;
  std::shared_ptr<testsupport::ScriptedInstrument> instrument_ =
      std::make_shared<testsupport::ScriptedInstrument>("ABOUT");
  std::mutex mutex_;
  std::vector<std::string> opened_;
};

TEST_F(AboutBoxTest, ShowsTheIdentityAndTheDateInTheLanguageAndClosesOnAnyOtherControl) {
  const std::pair<int, const char*> datePatterns[] = {{0, "[0-9]{2} [A-Z]{3} [0-9]+"}, {1, "[0-9]{2}-[0-9]{2}-[0-9]+"}};
  for (const auto& [language, pattern] : datePatterns) {
    SetCurrentLanguage(language);
    instrument_->ClearWritten();
    const int panel = Open(kIdentity);
    EXPECT_EQ(instrument_->Written(), "\r*IDN?\r");
    EXPECT_EQ(Text(panel, SplashPanel::AboutIdentityText), "KVX162, v1.05/A1/ZC, 0042");
    EXPECT_EQ(Text(panel, SplashPanel::AboutTitleText), "ORNIKELVARINLAB v1.00");
    EXPECT_EQ(Text(panel, SplashPanel::AboutDateText), FormatBuildDate(ExecutableDate(), language));
    EXPECT_TRUE(std::regex_match(Text(panel, SplashPanel::AboutDateText), std::regex(pattern)));
    for (const int control : {SplashPanel::AboutIdentityLabel, SplashPanel::AboutIdentityText,
                              SplashPanel::MakerSiteLink, SplashPanel::SupportLink, SplashPanel::MakerLogo})
      EXPECT_EQ(Attribute(panel, control, ATTR_VISIBLE), 1) << control;
    EXPECT_EQ(headless::PopupStack(), std::vector<int>{panel});
    EXPECT_EQ(MouseCursor(), VAL_POINTING_FINGER_CURSOR);
    Click(SplashPanel::AboutSubtitleText);
    EXPECT_TRUE(headless::PopupStack().empty());
    EXPECT_EQ(MouseCursor(), VAL_DEFAULT_CURSOR);
    int top = 0;
    EXPECT_LT(GetPanelAttribute(panel, ATTR_TOP, &top), 0) << "discarded";
  }
}

TEST_F(AboutBoxTest, DistributorVariantHidesTheLinksAndTheLogo) {
  TheInstrument.identifiedModelNumber = 71;
  const int panel = Open(kIdentity);
  for (const int control : {SplashPanel::MakerSiteLink, SplashPanel::SupportLink, SplashPanel::MakerLogo})
    EXPECT_EQ(Attribute(panel, control, ATTR_VISIBLE), 0) << control;
}

TEST_F(AboutBoxTest, ReplyLastByteIsTakenAsItsTerminator) {
  EXPECT_EQ(Text(Open(""), SplashPanel::AboutIdentityText), "(no answer)") << "a silent instrument leaves the panel file's";
  Click(SplashPanel::AboutBackground);
  EXPECT_EQ(Text(Open(std::string(99, 'A') + "Z"), SplashPanel::AboutIdentityText), std::string(99, 'A'));
  Click(SplashPanel::AboutBackground);
  // A longer reply is cut, and its rest must not reach the next exchange.
  EXPECT_EQ(Text(Open(std::string(120, 'B') + "\n"), SplashPanel::AboutIdentityText), std::string(99, 'B'));
  instrument_->QueueReply("NEXT\n");
  std::string reply;
  Query(TheInstrument.session, "ZC:NEXT?\r", 0.0, 100, reply);
  EXPECT_EQ(reply, "NEXT\n");
}

TEST_F(AboutBoxTest, LeftClicksOnTheLinksOpenTheMakersPages) {
  SetCurrentLanguage(3);
  const int panel = Open(kIdentity);
  for (const int event : {EVENT_COMMIT, EVENT_RIGHT_CLICK, EVENT_LEFT_DOUBLE_CLICK})
    headless::Run([&] { Presentation(panel, SplashPanel::AboutTitleText, event, nullptr, 0, 0); });
  Click(SplashPanel::MakerLogo);
  EXPECT_TRUE(Opened().empty());
  const double before = Timer();
  Click(SplashPanel::SupportLink);
  EXPECT_GE(Timer() - before, 2.0);
  EXPECT_EQ(Attribute(panel, SplashPanel::SupportLink, ATTR_TEXT_COLOR), 0x800080);
  EXPECT_EQ(Attribute(panel, SplashPanel::MakerSiteLink, ATTR_TEXT_COLOR), 0x0000FF);
  SetCurrentLanguage(0);
  Click(SplashPanel::SupportLink);
  Click(SplashPanel::MakerSiteLink);
  EXPECT_EQ(Opened(), (std::vector<std::string>{kSupport + "fr&txtProcedure=&onglet=",
                                                kSupport + "uk&txtProcedure=&onglet=",
                                                "https://www.kelvarinlab.example/"}));
  EXPECT_EQ(AboutBoxPanel(), panel) << "only the other controls close the box";
}

TEST_F(AboutBoxTest, TheSplashIgnoresClicks) {
  const int splash = LoadPanel(0, PanelFileName, SplashPanel::Resource);
  headless::Run([splash] { InstallPopup(splash); });
  headless::LeftClick(splash, SplashPanel::AboutBackground, 1, 1);
  EXPECT_EQ(headless::PopupStack(), std::vector<int>{splash});
}

TEST_F(AboutBoxTest, HelpItemHandsTheManualToTheViewerAndSaysNothing) {
  headless::Run([] { GestionMenuAide(0, MainMenuBar::HelpItem, nullptr, 0); });
  headless::Run([] { GestionMenuAide(0, MainMenuBar::ExitItem, nullptr, 0); });
  EXPECT_EQ(Opened(), std::vector<std::string>{(dir_ / "ORNIKELVARINLAB.pdf").string()});
  EXPECT_TRUE(headless::Popups().empty());
  EXPECT_EQ(LinkBusy.load(), 0);
}

// The link is held on the test's thread while the about item runs on the
// user-interface thread: the query waits for it.
TEST_F(AboutBoxTest, AboutItemQueriesOnlyOnceTheLinkIsFree) {
  ScopedManualClock manual(ManualClock::Mode::Manual);
  instrument_->QueueReply(kIdentity);
  ASSERT_TRUE(TryTakeLink());
  headless::Post([] { GestionMenuAide(0, MainMenuBar::AboutItem, nullptr, 0); });
  ASSERT_TRUE(manual->WaitForSleepers(1));
  EXPECT_EQ(instrument_->Written(), "");
  ReleaseLink();
  manual->Advance(0.001);
  headless::Sync();
  EXPECT_EQ(Text(AboutBoxPanel(), SplashPanel::AboutIdentityText), "KVX162, v1.05/A1/ZC, 0042");
  EXPECT_EQ(LinkBusy.load(), 0);
}

}  // namespace
