// The main panel's dressing: toolbar, rings for the model, autoset key, the
// Shortcut Keys window, and the menus the toolbar's buttons act through.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "PanelTestSupport.h"
#include "display/AjustTrace.h"
#include "display/DisplayState.h"
#include "display/References.h"
#include "display/XYPanel.h"
#include "display/XYWindow.h"
#include "panel/MainPanelControls.h"
#include "panel/MenuCallbacks.h"
#include "panel/ShortcutKeys.h"
#include "platform/os/ProjectDir.h"

namespace {

using Strings = std::vector<std::string>;

class MainPanelBuildTest : public paneltest::PanelTest {
 protected:
  void SetUp() override {
    PanelTest::SetUp();
    SetProjectDirOverride(std::filesystem::path(ORNI_PANEL_FILE).parent_path().string());
    RegisterMenuCallbacks();
    RegisterCallback("PanelAstuce", PanelCallback(PanelAstuce));
  }
  void TearDown() override {
    headless::Run(CloseShortcutKeysPanel);
    if (XYPanelOpen.load() > 0) headless::Run([] { AjustTraceXY(0, EVENT_CLOSE, nullptr, 0, 0); });
    SetProjectDirOverride("");
    PanelTest::TearDown();
  }
  void BuildRecordingCommits() {
    Build();
    RecordCommits();
    RegisterCallback("AjustTrace", PanelCallback(AjustTrace));
  }
  void Build(int model = 162) {
    headless::Run([&] {
      BuildMainPanel(panel_, model);
      DisplayPanel(panel_);
    });
  }
  // The instrument's own sensitivity table comes with its model.
  void ConnectModel(int model) {
    CloseInstrument(TheInstrument, &TheInstrument.session, 0);
    visa::ClearInstruments();
    sim_ = std::make_shared<kvxsim::SimHandle>(kvxsim::InstrumentOptions{.model = model});
    visa::AddInstrument(sim_);
    TheInstrument = InstrumentSession{};
    ASSERT_EQ(OpenInstrument(TheInstrument, sim_->Descriptor().c_str(), &TheInstrument.session), 0);
  }
  int MenuBar() const { return GetPanelMenuBar(panel_); }
  int Toolbar() const { return MainToolbarHandle.load(); }
  Strings ToolbarDescriptions() const {
    Strings all;
    const int panel = Toolbar_GetPanel(Toolbar());
    for (int item = 1; item <= Toolbar_GetNumItems(Toolbar()); ++item) {
      int control = 0;
      Toolbar_GetItemAttribute(Toolbar(), item, kToolbarAttrCtrlId, &control);
      std::string tooltip;
      GetCtrlAttribute(panel, control, ATTR_TOOLTIP_TEXT, &tooltip);
      all.push_back(tooltip);
    }
    return all;
  }
  Strings RingLabels(int control) const {
    int count = 0;
    GetNumListItems(panel_, control, &count);
    Strings labels;
    for (int index = 0; index < count; ++index) {
      std::string label;
      GetLabelFromIndex(panel_, control, index, &label);
      labels.push_back(label);
    }
    return labels;
  }
  bool MenuChecked(int item) const {
    int checked = 0;
    GetMenuBarAttribute(MenuBar(), item, ATTR_CHECKED, &checked);
    return checked != 0;
  }
  bool RingDimmed() const {
    int dimmed = -1;
    Toolbar_GetItemAttribute(Toolbar(), kReferenceRingItem, kToolbarAttrDimmed, &dimmed);
    return dimmed != 0;
  }
  std::string ShortcutKeysTitle() const {
    std::string title;
    GetPanelAttribute(ShortcutKeysPanelHandle(), ATTR_TITLE, &title);
    return title;
  }
};

TEST_F(MainPanelBuildTest, ToolbarHoldsItsThirteenItemsInTheCurrentLanguage) {
  Build();
  const int first = Toolbar();
  EXPECT_EQ(ToolbarDescriptions(),
            (Strings{"Persistence", "XY : X=CH1, Y=CH2", "", "Automatic measurements", "Reference", "", "ScreenShot", "",
                     "Print...", "", "Shortcut Keys", "", "Help"}));
  int width = 0;
  Toolbar_GetItemAttribute(first, kReferenceRingItem, kToolbarAttrRingWidth, &width);
  EXPECT_EQ(width, 120);

  // A rebuild in another language replaces the toolbar.
  SetCurrentLanguage(kGerman);
  Build();
  EXPECT_NE(Toolbar(), first);
  EXPECT_LT(Toolbar_GetNumItems(first), 0);
  const Strings german = ToolbarDescriptions();
  EXPECT_EQ(german[1], "XY : X=CH1, Y=CH2");
  EXPECT_EQ(german[4], CatalogueText(Msg::Reference));
  EXPECT_NE(german[0], "Persistence");
}

TEST_F(MainPanelBuildTest, SensitivityRingsAndMinimumTextsFollowTheModel) {
  struct Case {
    int model;
    std::size_t items;
    const char* first;
    const char* minimum;
  };
  for (const Case& c : {Case{162, 14, "5mV", "5mV"}, Case{112, 12, "25mV", "25mV"}}) {
    ConnectModel(c.model);
    Build(c.model);
    for (int ring : {MainPanel::Ch1SensitivityRing2, MainPanel::Ch2SensitivityRing2}) {
      const Strings labels = RingLabels(ring);
      ASSERT_EQ(labels.size(), c.items) << c.model;
      EXPECT_EQ(labels.front(), c.first);
      EXPECT_EQ(labels.back(), "100V");
    }
    EXPECT_EQ(RingLabels(MainPanel::Ch1SensitivityRing), Strings(c.items, ""));
    EXPECT_EQ(TextOf(MainPanel::Ch1MinSensitivityText), c.minimum);
    EXPECT_EQ(TextOf(MainPanel::Ch2MinSensitivityText), c.minimum);
  }
}

TEST_F(MainPanelBuildTest, LoadedTraceMarkIsClearedAndTheSetupSentOnce) {
  StoreField(ProgramSetup.ch1LoadedTrace, 1);
  Build();
  const std::string sent = Received();
  EXPECT_EQ(ProgramSetup.ch1LoadedTrace, 0);
  EXPECT_NE(sent.find("SYST:SET #3572"), std::string::npos);
  EXPECT_EQ(sent.find("SYST:SET #3572"), sent.rfind("SYST:SET #3572")) << "sent once";
  Build();
  EXPECT_EQ(Received().find("SYST:SET #3572"), std::string::npos);
}

TEST_F(MainPanelBuildTest, F3CommitsAutosetOnceAndTheAutosetButtonsExplainThemselves) {
  BuildRecordingCommits();
  headless::KeyPress(panel_, VAL_F3_VKEY);
  EXPECT_EQ(TakeCommits(), (std::vector<displaytest::Commit>{{MainPanel::AutosetButton, 0}}));
  // The toolbar's buttons take no keys: a key pressed there is the main panel's.
  headless::KeyPress(Toolbar_GetPanel(Toolbar()), VAL_F3_VKEY);
  EXPECT_EQ(TakeCommits(), (std::vector<displaytest::Commit>{{MainPanel::AutosetButton, 0}}));

  std::string tooltip, vertical;
  GetCtrlAttribute(panel_, MainPanel::AutosetButton, ATTR_TOOLTIP_TEXT, &tooltip);
  GetCtrlAttribute(panel_, MainPanel::Ch2AutosetButton, ATTR_TOOLTIP_TEXT, &vertical);
  EXPECT_EQ(tooltip,
            "Autoset complete.\nThe time base, vertical sensitivity, couplings,\noffset and trigger settings can be "
            "modified.");
  EXPECT_EQ(vertical, "Vertical autoset.\nThe vertical sensitivity and the offset can be modified.");
}

TEST_F(MainPanelBuildTest, ShortcutKeysWindowOpensClosesFollowsTheLanguageAndPassesKeys) {
  BuildRecordingCommits();
  headless::ClickToolbarItem(Toolbar(), 11);
  ASSERT_NE(ShortcutKeysPanelHandle(), 0);
  EXPECT_EQ(ShortcutKeysTitle(), "Shortcut Keys");
  std::string text;
  GetCtrlVal(ShortcutKeysPanelHandle(), ShortcutKeysPanel::ShortcutKeysText, &text);
  EXPECT_EQ(text.rfind("F1 : Autoset CH1\rF2 : Autoset CH2\rF3 : Full Autoset\rF5 : Higher sensitivity of CH1\r", 0),
            0u);

  // Keys pressed in the window act on the main panel.
  headless::KeyPress(ShortcutKeysPanelHandle(), VAL_F1_VKEY);
  EXPECT_EQ(TakeCommits(), (std::vector<displaytest::Commit>{{MainPanel::Ch1AutosetButton, 0}}));

  SetCurrentLanguage(kFrench);
  Build();
  ASSERT_NE(ShortcutKeysPanelHandle(), 0);
  EXPECT_EQ(ShortcutKeysTitle(), CatalogueText(Msg::ShortcutKeys));
  EXPECT_NE(ShortcutKeysTitle(), "Shortcut Keys");

  headless::ClickToolbarItem(Toolbar(), 11);
  EXPECT_EQ(ShortcutKeysPanelHandle(), 0);
  headless::ClickToolbarItem(Toolbar(), 11);
  headless::Close(ShortcutKeysPanelHandle());
  EXPECT_EQ(ShortcutKeysPanelHandle(), 0);
}

TEST_F(MainPanelBuildTest, PersistenceButtonActsAsItsMenuItem) {
  Build();
  headless::ClickToolbarItem(Toolbar(), 1);
  EXPECT_EQ(PersistenceOn.load(), 1);
  EXPECT_TRUE(MenuChecked(MainMenuBar::PersistenceItem));
  EXPECT_EQ(Attribute(MainPanel::PersistenceIcon, ATTR_VISIBLE), 1);
  headless::ChooseMenuItem(MenuBar(), MainMenuBar::PersistenceItem);
  EXPECT_EQ(PersistenceOn.load(), 0);
  EXPECT_FALSE(MenuChecked(MainMenuBar::PersistenceItem));
  EXPECT_EQ(Attribute(MainPanel::PersistenceIcon, ATTR_VISIBLE), 0);
}

TEST_F(MainPanelBuildTest, AutomaticMeasurementsFollowTheShownChannelAndSwitchBackOff) {
  StoreField(ProgramSetup.ch1Displayed, 0);
  StoreField(ProgramSetup.ch2Displayed, 1);
  StoreField(ProgramSetup.referenceChannel, 0);
  StoreField(ProgramSetup.measurementFlags, 0x2 | 0x8);
  Build();
  Received();
  EXPECT_TRUE(RingDimmed());

  headless::ClickToolbarItem(Toolbar(), 4);
  EXPECT_EQ(LoadField(ProgramSetup.measurementFlags), 0x10 | 0x1);
  EXPECT_EQ(LoadField(ProgramSetup.autoMeasurementsOn), 1);
  EXPECT_EQ(LoadField(ProgramSetup.referenceChannel), 1);
  EXPECT_TRUE(MenuChecked(MainMenuBar::AutoMeasurementsItem));
  EXPECT_FALSE(RingDimmed());
  const std::string on = Received();
  EXPECT_EQ(on.rfind(":DISP:CURS:REF INT2\r", 0), 0u) << on;
  EXPECT_NE(on.find(displaytest::kGate), std::string::npos);

  headless::ChooseMenuItem(MenuBar(), MainMenuBar::AutoMeasurementsItem);
  EXPECT_EQ(LoadField(ProgramSetup.measurementFlags) & (0x10 | 0x1), 0);
  EXPECT_EQ(LoadField(ProgramSetup.autoMeasurementsOn), 0);
  EXPECT_FALSE(MenuChecked(MainMenuBar::AutoMeasurementsItem));
  EXPECT_TRUE(RingDimmed());
}

TEST_F(MainPanelBuildTest, XYItemOpensWithCH1AgainstCH2AndClosesWithoutTouchingTheSources) {
  Build();
  headless::ClickToolbarItem(Toolbar(), 2);
  ASSERT_GT(XYPanelOpen.load(), 0);
  EXPECT_TRUE(MenuChecked(MainMenuBar::XyItem));
  EXPECT_EQ(LoadField(ProgramSetup.xySourceX), 0);
  EXPECT_EQ(LoadField(ProgramSetup.xySourceY), 1);

  StoreField(ProgramSetup.xySourceX, 1);
  StoreField(ProgramSetup.xySourceY, 0);
  headless::ChooseMenuItem(MenuBar(), MainMenuBar::XyItem);
  EXPECT_EQ(XYPanelOpen.load(), 0);
  EXPECT_FALSE(MenuChecked(MainMenuBar::XyItem));
  EXPECT_EQ(LoadField(ProgramSetup.xySourceX), 1);
  EXPECT_EQ(LoadField(ProgramSetup.xySourceY), 0);
}

TEST_F(MainPanelBuildTest, CopyWindowPutsTheWholePanelOnTheClipboard) {
  Build();
  headless::ChooseMenuItem(MenuBar(), MainMenuBar::CopyWindowItem);
  int width = 0, height = 0;
  std::vector<std::uint32_t> pixels;
  ASSERT_TRUE(headless::ClipboardBitmap(&width, &height, &pixels));
  int panelSize[2] = {};
  GetPanelAttribute(panel_, ATTR_WIDTH, &panelSize[0]);
  GetPanelAttribute(panel_, ATTR_HEIGHT, &panelSize[1]);
  EXPECT_EQ(std::make_pair(width, height), std::make_pair(panelSize[0], panelSize[1]));
}

TEST_F(MainPanelBuildTest, LanguageItemsHandTheirLanguageToTheChange) {
  Build();
  std::vector<int> chosen;
  SetLanguageChangeHandler([&](int language) { chosen.push_back(language); });
  for (int item : {MainMenuBar::GermanItem, MainMenuBar::ItalianItem}) headless::ChooseMenuItem(MenuBar(), item);
  SetLanguageChangeHandler(nullptr);
  EXPECT_EQ(chosen, (std::vector<int>{kGerman, kItalian}));
}

TEST_F(MainPanelBuildTest, ExitAnsweredNoLeavesEverythingRunning) {
  Build();
  Received();
  headless::ClearPopups();
  headless::AnswerButton(2);
  headless::ChooseMenuItem(MenuBar(), MainMenuBar::ExitItem);
  const auto asked = headless::Popups();
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_EQ(asked[0].text, "Are you sure you want to quit ORNIKELVARINLAB ?\n");
  EXPECT_EQ(asked[0].result, 2);
  EXPECT_EQ(MainPanelHandle.load(), panel_);
  EXPECT_NE(TheInstrument.session, 0u);
  EXPECT_EQ(Received(), "") << "no reset, no release";
}

}  // namespace
