// Start-up and quit on the headless front-end with the in-process simulator:
// the first-run rules, the model rules, the self-test message, and the quit
// question with its "No" and "Yes".
#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <string>
#include <thread>

#include "ProgramTestSupport.h"
#include "catalogue/MessageCatalogue.h"
#include "link/InstrumentSetup.h"

namespace {

using StartupTest = programtest::ProgramTest;
using programtest::ReadFile;
namespace fs = std::filesystem;

TEST_F(StartupTest, DoneFirstRunStartsStraightInTheRememberedLanguage) {
  WriteFirstRunFile("1\n3\n");
  auto sim = AddInstrument(162);
  ASSERT_EQ(Start(), 0);
  EXPECT_EQ(CurrentLanguage(), 3);
  EXPECT_FALSE(PopupShown(CatalogueText(Msg::InformationTitle, 3))) << "no first-run sequence";
  EXPECT_GT(MainPanelHandle.load(), 0);
  EXPECT_EQ(Panels.splash, 0) << "the splash is gone once the main panel shows";
  EXPECT_TRUE(sim->Claimed());
  std::string title;
  GetPanelAttribute(MainPanelHandle.load(), ATTR_TITLE, &title);
  EXPECT_EQ(title, "ORNIKELVARINLAB v1.00");
  EXPECT_EQ(MainPanelVariantMark(), 0);
}

TEST_F(StartupTest, UnfinishedFirstRunAsksForTheLanguageAgain) {
  WriteFirstRunFile("0\n2\n");
  AddInstrument(162);
  headless::AnswerPress(LanguagePanel::FrenchButton);
  ASSERT_EQ(Start(), 0);
  EXPECT_EQ(CurrentLanguage(), 1);
  EXPECT_TRUE(PopupShown(CatalogueText(Msg::InformationTitle, 1)));
  EXPECT_EQ(ReadFile(dir_ / "setupD.7up"), "1\n1\n") << "written when the sequence completes";
  EXPECT_TRUE(fs::exists(dir_ / "rules" / "60-kelvarinlab.rules")) << "the access rule is installed";
}

TEST_F(StartupTest, MissingFirstRunFileIsAFreshInstall) {
  AddInstrument(162);
  headless::AnswerPress(LanguagePanel::ItalianButton);
  ASSERT_EQ(Start(), 0);
  EXPECT_EQ(CurrentLanguage(), 4);
  EXPECT_EQ(ReadFile(dir_ / "setupD.7up"), "1\n4\n");
}

TEST_F(StartupTest, LanguageSevenStartsInEnglish) {
  WriteFirstRunFile("1\n7\n");
  AddInstrument(162);
  ASSERT_EQ(Start(), 0);
  EXPECT_EQ(CurrentLanguage(), 0);
}

TEST_F(StartupTest, VariantModelIsMarkedAndLosesItsSmallestRanges) {
  WriteFirstRunFile("1\n0\n");
  WritePreferences(1, 2);
  auto sim = AddInstrument(71);
  ASSERT_EQ(Start(), 0);
  EXPECT_EQ(MainPanelVariantMark(), 1);
  EXPECT_EQ(TheInstrument.modelNumber, 112);
  EXPECT_EQ(TheInstrument.identifiedModelNumber, 71);
  EXPECT_EQ(LoadField(ProgramSetup.ch1VoltsPerDivIndex), 3);
  EXPECT_EQ(LoadField(ProgramSetup.ch2VoltsPerDivIndex), 3);
  const auto record = sim->SetupRecord();  // what the instrument was sent, big-endian
  EXPECT_EQ(record[140] << 8 | record[141], 3);
  EXPECT_EQ(record[142] << 8 | record[143], 3);
}

TEST_F(StartupTest, Model162KeepsItsRanges) {
  WriteFirstRunFile("1\n0\n");
  WritePreferences(1, 2);
  AddInstrument(162);
  ASSERT_EQ(Start(), 0);
  EXPECT_EQ(MainPanelVariantMark(), 0);
  EXPECT_EQ(LoadField(ProgramSetup.ch1VoltsPerDivIndex), 1);
  EXPECT_EQ(LoadField(ProgramSetup.ch2VoltsPerDivIndex), 2);
}

TEST_F(StartupTest, FailedSelfTestIsReportedWithItsBits) {
  WriteFirstRunFile("1\n0\n");
  AddInstrument(162, 0x0008);
  ASSERT_EQ(Start(), 0);
  bool reported = false;
  for (const auto& popup : headless::Popups())
    if (popup.title == "Autotest error!") reported = popup.text == "Error n\xB0 0x8";
  EXPECT_TRUE(reported);
}

TEST_F(StartupTest, NoInstrumentGivesTheAdviceAndWritesNothing) {
  WriteFirstRunFile("1\n0\n");
  EXPECT_EQ(Start(), 1);
  ASSERT_FALSE(headless::Popups().empty());
  EXPECT_EQ(headless::Popups().back().title, "COMMUNICATION ERROR");
  EXPECT_EQ(headless::Popups().back().text, CatalogueText(Msg::ConnectionFailedAdvice, 0));
  EXPECT_FALSE(fs::exists(dir_ / "Ornikelva.okv"));
  EXPECT_EQ(ReadFile(dir_ / "setupD.7up"), "1\n0\n");
  EXPECT_EQ(TheInstrument.session, 0u);
}

TEST_F(StartupTest, NoToTheQuitQuestionChangesNothingAndEndTaskAsksToo) {
  WriteFirstRunFile("1\n2\n");
  auto sim = AddInstrument(162);
  ASSERT_EQ(Start(), 0);
  const int mainPanel = MainPanelHandle.load();
  sim->TakeReceived();

  headless::ClearPopups();
  headless::AnswerEscape();
  headless::Close(mainPanel);
  headless::AnswerButton(2);
  headless::EndTask();
  const auto asked = headless::Popups();
  ASSERT_EQ(asked.size(), 2u);
  for (const auto& question : asked) {
    EXPECT_EQ(question.title, CatalogueText(Msg::WarningTitle, 2));
    EXPECT_EQ(question.text, CatalogueText(Msg::QuitQuestion, 2));
    EXPECT_EQ(question.result, 2) << "No";
  }
  EXPECT_EQ(MainPanelHandle.load(), mainPanel);
  EXPECT_NE(TheInstrument.session, 0u);
  EXPECT_TRUE(sim->Claimed());
  EXPECT_EQ(CommandsBesidesFrames(sim->TakeReceived()), "") << "nothing but frame requests went out";
  EXPECT_FALSE(fs::exists(dir_ / "Ornikelva.okv"));

  headless::AnswerEnter();
  const double askedAt = Timer();
  headless::EndTask();
  EXPECT_GE(Timer() - askedAt, 1.0) << "the instrument is given a second after the reset";
  EXPECT_EQ(TheInstrument.session, 0u);
  EXPECT_EQ(MainPanelHandle.load(), 0);
  EXPECT_FALSE(sim->Claimed());
  const std::vector<std::uint8_t> sent = sim->TakeReceived();
  EXPECT_EQ(CommandsBesidesFrames(sent), "*RST\rZC:USED 0\r");
  EXPECT_EQ(ReadFile(dir_ / "setupD.7up"), "1\n2\n");
  EXPECT_EQ(fs::file_size(dir_ / "Ornikelva.okv"), 20795u);
  EXPECT_EQ(fs::file_size(dir_ / "Ornikelva.okv.CFG"), 574u);
}

// The question's wait handles events, so close requests can arrive while it
// is open: the end of the session, File > Exit and the close box again.
TEST_F(StartupTest, CloseRequestsWhileTheQuitQuestionIsOpenAskOnceAndQuitOnce) {
  auto sim = StartOn(162);
  ASSERT_GT(MainPanelHandle.load(), 0);
  const int mainPanel = MainPanelHandle.load();
  const int menuBar = GetPanelMenuBar(mainPanel);
  sim->TakeReceived();
  headless::ClearPopups();

  headless::WhileOpen([] { headless::EndTask(); });
  headless::WhileOpen([menuBar] { headless::ChooseMenuItem(menuBar, MainMenuBar::ExitItem); });
  headless::WhileOpen([mainPanel] { headless::Close(mainPanel); });
  headless::AnswerEnter();
  headless::Close(mainPanel);

  const auto asked = headless::Popups();
  ASSERT_EQ(asked.size(), 1u) << "one question";
  EXPECT_EQ(asked[0].result, 1);
  EXPECT_EQ(MainPanelHandle.load(), 0);
  const std::vector<std::uint8_t> sent = sim->TakeReceived();
  EXPECT_EQ(CommandsBesidesFrames(sent), "*RST\rZC:USED 0\r") << "one quit sequence";

  headless::EndTask();  // late: the program is already quitting
  EXPECT_TRUE(sim->TakeReceived().empty());
  EXPECT_EQ(headless::Popups().size(), 1u);
}

TEST_F(StartupTest, SwitchingToGermanRelabelsPanelAndMenus) {
  StartOn(162);
  ASSERT_GT(MainPanelHandle.load(), 0);
  const int menuBar = GetPanelMenuBar(MainPanelHandle.load());
  ASSERT_GT(menuBar, 0);
  std::string text;
  GetMenuBarAttribute(menuBar, MainMenuBar::FileMenu, ATTR_MENU_NAME, &text);
  EXPECT_EQ(text, "File");

  headless::ChooseMenuItem(menuBar, MainMenuBar::GermanItem);
  EXPECT_EQ(CurrentLanguage(), 2);
  GetMenuBarAttribute(menuBar, MainMenuBar::FileMenu, ATTR_MENU_NAME, &text);
  EXPECT_EQ(text, "Datei");
  GetCtrlVal(MainPanelHandle.load(), MainPanel::TriggerCaption, &text);
  EXPECT_EQ(text, "Triggerung");
  GetCtrlVal(MainPanelHandle.load(), MainPanel::MeasurementTitle, &text);
  EXPECT_EQ(text, "Auto. Messungen CH1");
  GetCtrlAttribute(MainPanelHandle.load(), MainPanel::PersistenceIcon, ATTR_TOOLTIP_TEXT, &text);
  EXPECT_EQ(text, "Remanenz");
  const int items[] = {MainMenuBar::EnglishItem, MainMenuBar::FrenchItem, MainMenuBar::GermanItem,
                       MainMenuBar::SpanishItem, MainMenuBar::ItalianItem};
  for (int language = 0; language < 5; ++language) {
    int checked = -1;
    GetMenuBarAttribute(menuBar, items[language], ATTR_CHECKED, &checked);
    EXPECT_EQ(checked, language == 2 ? 1 : 0) << language;
  }
  // The acquisition thread takes the link every 50 ms: the change must have
  // let go of it, so a third party gets it once the thread's exchange ends.
  bool taken = false;
  for (int attempt = 0; attempt < 1'000'000 && !taken; ++attempt) {
    taken = TryTakeLink();
    if (!taken) std::this_thread::yield();
  }
  EXPECT_TRUE(taken) << "the link is free again";
  if (taken) ReleaseLink();
}

TEST_F(StartupTest, FreshDirectorySendsTheDefaultRecordAsTheLoaderLeavesIt) {
  auto sim = StartOn(162);
  ASSERT_GT(MainPanelHandle.load(), 0);
  InstrumentSetup expected = FreshStartSetup();
  expected.checksum = RecordChecksum(expected);
  SwapSetupByteOrder(&expected);
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(&expected);
  const auto received = sim->SetupRecord();  // the instrument stores only a record with a right checksum
  EXPECT_TRUE(std::equal(received.begin(), received.end(), bytes));
  EXPECT_EQ(received[0] << 24 | received[1] << 16 | received[2] << 8 | received[3],
            static_cast<int>(~std::accumulate(received.begin() + 4, received.end(), 0u)));
}

}  // namespace
