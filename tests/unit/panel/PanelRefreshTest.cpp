// The two copies of a setting, the focus, and the refresh that brings every
// control, menu check and the toolbar's reference ring in line with the setup
// record.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "PanelTestSupport.h"
#include "display/ChannelDisplayScale.h"
#include "display/DisplayState.h"
#include "link/TriggerLevel.h"

namespace paneltest {
namespace {

using CopiesTest = PanelTest;

TEST_F(CopiesTest, ValueChangedGivesTheValueToBothCopiesAndSendsNothing) {
  struct Row {
    int first, second;
    double value;
    bool real;
  };
  const Row rows[] = {
      {MainPanel::Ch1SensitivityRing, MainPanel::Ch1SensitivityRing2, 5, false},
      {MainPanel::Ch2SensitivityRing, MainPanel::Ch2SensitivityRing2, 9, false},
      {MainPanel::Ch1OffsetInput, MainPanel::Ch1OffsetInput2, 1.5, true},
      {MainPanel::Ch2OffsetInput, MainPanel::Ch2OffsetInput2, -2.25, true},
      {MainPanel::TriggerLevelInput, MainPanel::TriggerLevelInput2, 0.7, true},
      {MainPanel::TimebaseRing, MainPanel::TimebaseRing2, 12, false},
      {MainPanel::TriggerPositionInput, MainPanel::TriggerPositionInput2, 3.4, true},
  };
  for (const Row& row : rows) {
    for (const auto& [changed, other] : {std::pair{row.second, row.first}, std::pair{row.first, row.second}}) {
      SetActiveCtrl(panel_, MainPanel::AutosetButton);
      const double value = changed == row.first ? row.value : row.value + 1;
      SetCtrlVal(panel_, changed, value);
      headless::Run([&] { ControleScope(panel_, changed, EVENT_VAL_CHANGED, nullptr, 0, 0); });
      EXPECT_EQ(Value(other), value) << "control " << changed;
      EXPECT_EQ(GetActiveCtrl(panel_), row.real ? row.first : MainPanel::AutosetButton) << "control " << changed;
    }
  }
  EXPECT_EQ(Received(), "");
}

TEST_F(CopiesTest, FocusOnASecondCopyMovesToTheFirst) {
  struct Row {
    int focused, active;
  };
  for (const Row& row : {Row{MainPanel::Ch1SensitivityRing2, MainPanel::Ch1SensitivityRing},
                         Row{MainPanel::Ch2SensitivityRing2, MainPanel::Ch2SensitivityRing},
                         Row{MainPanel::TimebaseRing2, MainPanel::TimebaseRing},
                         Row{MainPanel::Ch1OffsetInput2, MainPanel::Ch1OffsetInput2}}) {
    headless::Focus(panel_, row.focused);
    EXPECT_EQ(GetActiveCtrl(panel_), row.active) << "control " << row.focused;
  }
}

using RefreshTest = PanelTest;

TEST_F(RefreshTest, EveryControlFollowsTheRecordOnBothCopies) {
  StoreField(ProgramSetup.ch1VoltsPerDivIndex, 9);
  StoreField(ProgramSetup.ch2VoltsPerDivIndex, 3);
  StoreField(ProgramSetup.ch1Coupling, 1);
  StoreField(ProgramSetup.ch2Coupling, 2);
  StoreField(ProgramSetup.ch1VerticalOffset, 44);
  StoreField(ProgramSetup.ch2VerticalOffset, -33);
  StoreField(ProgramSetup.timebaseIndex, 20);
  StoreField(ProgramSetup.effectiveTimebaseIndex, 20);
  StoreField(ProgramSetup.horizontalOffset, -12500);
  StoreField(ProgramSetup.triggerSource, 1);
  StoreField(ProgramSetup.ch2TriggerSlope, 1);
  StoreField(ProgramSetup.ch2TriggerLevel, 33);
  StoreField(ProgramSetup.ch1TriggerLevel, 11);
  for (int ring : {MainPanel::Ch1SensitivityRing, MainPanel::Ch2SensitivityRing2})
    SetCtrlAttribute(panel_, ring, ATTR_CTRL_MODE, VAL_INDICATOR);
  SetCtrlVal(panel_, MainPanel::RisingSlopeButton, 1);

  Refresh();

  EXPECT_EQ(Received(), ":SWE:OFFS:TIME -0.0125\r") << "2.5 divisions at 5 ms/div";
  struct Shown {
    int control;
    double value;
  };
  for (const Shown& shown : {Shown{MainPanel::Ch1SensitivityRing, 9}, Shown{MainPanel::Ch1SensitivityRing2, 9},
                             Shown{MainPanel::Ch2SensitivityRing, 3}, Shown{MainPanel::Ch2SensitivityRing2, 3},
                             Shown{MainPanel::Ch1CouplingRing, 1}, Shown{MainPanel::Ch2CouplingRing, 2},
                             Shown{MainPanel::Ch1OffsetInput, 2.0}, Shown{MainPanel::Ch1OffsetInput2, 2.0},
                             Shown{MainPanel::Ch2OffsetInput, -1.5}, Shown{MainPanel::Ch2OffsetInput2, -1.5},
                             Shown{MainPanel::TimebaseRing, 20}, Shown{MainPanel::TimebaseRing2, 20},
                             Shown{MainPanel::TriggerPositionInput, 2.5}, Shown{MainPanel::TriggerPositionInput2, 2.5},
                             Shown{MainPanel::TriggerSourceRing, 1}, Shown{MainPanel::TriggerLevelInput, 1.5},
                             Shown{MainPanel::TriggerLevelInput2, 1.5}, Shown{MainPanel::RisingSlopeButton, 0},
                             Shown{MainPanel::FallingSlopeButton, 1}})
    EXPECT_EQ(Value(shown.control), shown.value) << "control " << shown.control;
  for (int ring : {MainPanel::Ch1SensitivityRing, MainPanel::Ch2SensitivityRing2})
    EXPECT_EQ(Attribute(ring, ATTR_CTRL_MODE), VAL_NORMAL);
  for (int control : {MainPanel::TriggerLevelInput, MainPanel::TriggerLevelInput2, MainPanel::TriggerIndicator})
    EXPECT_EQ(Attribute(control, ATTR_TEXT_COLOR), 0x00C000) << "control " << control;
}

TEST_F(RefreshTest, SourceNoneLeavesTheTriggerControlsAlone) {
  StoreField(ProgramSetup.triggerSource, 0);
  StoreField(ProgramSetup.ch1TriggerLevel, -22);
  Refresh();
  EXPECT_EQ(Value(MainPanel::TriggerLevelInput2), -1.0);
  EXPECT_EQ(Attribute(MainPanel::TriggerIndicator, ATTR_TEXT_COLOR), 0xFF0000);
  EXPECT_EQ(Value(MainPanel::RisingSlopeButton), 1.0);

  StoreField(ProgramSetup.triggerSource, 2);
  StoreField(ProgramSetup.ch1TriggerLevel, 44);
  StoreField(ProgramSetup.ch1TriggerSlope, 1);
  Refresh();
  EXPECT_EQ(Value(MainPanel::TriggerSourceRing), 2.0);
  EXPECT_EQ(Value(MainPanel::TriggerLevelInput2), -1.0);
  EXPECT_EQ(Attribute(MainPanel::TriggerIndicator, ATTR_TEXT_COLOR), 0xFF0000);
  EXPECT_EQ(Value(MainPanel::RisingSlopeButton), 1.0);
  EXPECT_EQ(Value(MainPanel::FallingSlopeButton), 0.0);
}

TEST_F(RefreshTest, ChannelScalesAreCopiedWithTheUnitCutToThreeCharacters) {
  StoreField(ProgramSetup.ch1ProbeFactor, 10.0f);
  StoreField(ProgramSetup.ch2VoltsPerDivIndex, 12);
  StoreField(ProgramSetup.ch2Coupling, 2);
  std::memcpy(ProgramSetup.ch1Unit, "VOLT", 4);  // no terminator
  std::memcpy(ProgramSetup.ch2Unit, "A\0BC", 4);
  Refresh();

  const ChannelDisplayScale ch1 = LoadChannelDisplayScale(0);
  EXPECT_EQ(ch1.probeFactor, 10.0f);
  EXPECT_EQ(ch1.voltsPerDivIndex, 4);
  EXPECT_STREQ(ch1.unit.data(), "VOL");
  const ChannelDisplayScale ch2 = LoadChannelDisplayScale(1);
  EXPECT_EQ(ch2.voltsPerDivIndex, 12);
  EXPECT_EQ(ch2.couplingIndex, 2);
  EXPECT_STREQ(ch2.unit.data(), "A");
  EXPECT_EQ(ch2.storedTraceTimebaseIndex, 0);
}

TEST_F(RefreshTest, DisplayMenuChecksFollowTheirState) {
  const int menuBar = LoadMenuBar(panel_, ORNI_PANEL_FILE, MainMenuBar::Resource);
  ASSERT_GT(menuBar, 0);
  const auto checked = [menuBar](int item) {
    int value = -1;
    GetMenuBarAttribute(menuBar, item, ATTR_CHECKED, &value);
    return value;
  };
  PersistenceOn = 1;
  StoreField(ProgramSetup.measurementFlags, 0x13);
  SetCurrentLanguage(kSpanish);
  Refresh();
  EXPECT_EQ(checked(MainMenuBar::PersistenceItem), 1);
  EXPECT_EQ(checked(MainMenuBar::XyItem), 0);
  EXPECT_EQ(checked(MainMenuBar::AutoMeasurementsItem), 1);
  for (int language = 0; language < kLanguageCount; ++language)
    EXPECT_EQ(checked(LanguageMenuItems[static_cast<std::size_t>(language)]), language == kSpanish ? 1 : 0);

  PersistenceOn = 0;
  StoreField(ProgramSetup.measurementFlags, 0x0F);
  SetCurrentLanguage(kEnglish);
  Refresh();
  EXPECT_EQ(checked(MainMenuBar::PersistenceItem), 0);
  EXPECT_EQ(checked(MainMenuBar::AutoMeasurementsItem), 0);
  EXPECT_EQ(checked(MainMenuBar::EnglishItem), 1);
  EXPECT_EQ(checked(MainMenuBar::SpanishItem), 0);
}

TEST_F(RefreshTest, ReferenceRingIsRefilledSelectedAndDimmedWithTheMeasurements) {
  int toolbar = 0;
  ASSERT_EQ(Toolbar_New(panel_, 0, "", 0, 0, 0, 0, &toolbar), 0);
  Toolbar_InsertItem(toolbar, kToolbarEndOfList, kToolbarButton, 1, "Persistence", kToolbarNoCallback, 0, nullptr,
                     nullptr, "");
  const int item = Toolbar_InsertItem(toolbar, kToolbarEndOfList, kToolbarRing, 1, "Reference", kToolbarNoCallback,
                                      0, nullptr, nullptr, "");
  ASSERT_GT(item, 0);
  int ring = 0;
  Toolbar_GetItemAttribute(toolbar, item, kToolbarAttrCtrlId, &ring);
  const int ringPanel = Toolbar_GetPanel(toolbar);
  const auto labels = [&] {
    int count = 0;
    GetNumListItems(ringPanel, ring, &count);
    std::string all;
    for (int index = 0; index < count; ++index) {
      std::string label;
      double value = -1;
      GetLabelFromIndex(ringPanel, ring, index, &label);
      GetValueFromIndex(ringPanel, ring, index, &value);
      all += label + "=" + std::to_string(static_cast<int>(value)) + ";";
    }
    return all;
  };
  const auto ringState = [&](int attribute) {
    int value = -1;
    Toolbar_GetItemAttribute(toolbar, item, attribute, &value);
    return value;
  };

  MainToolbarHandle = toolbar;
  StoreField(ProgramSetup.referenceChannel, 1);
  StoreField(ProgramSetup.measurementFlags, 0);
  Refresh();
  EXPECT_EQ(labels(), "Auto. meas. CH1=0;Auto. meas. CH2=1;");
  EXPECT_EQ(ringState(kToolbarAttrValue), 1);
  EXPECT_EQ(ringState(kToolbarAttrDimmed), 1);

  StoreField(ProgramSetup.referenceChannel, 0);
  StoreField(ProgramSetup.measurementFlags, kMeasurementDisplayFlag);
  SetCurrentLanguage(kFrench);
  Toolbar_SetItemAttribute(toolbar, item, kToolbarAttrDescription, CatalogueText(Msg::Reference));
  Refresh();
  EXPECT_EQ(labels(), "Mes. auto. CH1=0;Mes. auto. CH2=1;");
  EXPECT_EQ(ringState(kToolbarAttrValue), 0);
  EXPECT_EQ(ringState(kToolbarAttrDimmed), 0);
}

TEST_F(RefreshTest, InstalledViewsRefreshThePanelAndShowTheTriggerLevel) {
  InstallPanelViews();
  StoreField(ProgramSetup.timebaseIndex, 22);
  headless::Run([] { RefreshPanel(); });
  EXPECT_EQ(Value(MainPanel::TimebaseRing2), 22.0);

  ShowTriggerLevel(panel_, -33);
  EXPECT_EQ(Value(MainPanel::TriggerLevelInput), -1.5);
  EXPECT_EQ(Value(MainPanel::TriggerLevelInput2), -1.5);
}

TEST(ReferenceChannelTest, MovesOnlyOffAChannelThatIsNotShownToOneThatIs) {
  struct Row {
    int reference, ch1, ch2, chosen;
  };
  for (const Row& row : {Row{0, 1, 1, 0}, Row{0, 1, 0, 0}, Row{0, 0, 1, 1}, Row{0, 0, 0, 0},  //
                         Row{1, 1, 1, 1}, Row{1, 1, 0, 0}, Row{1, 0, 1, 1}, Row{1, 0, 0, 1}})
    EXPECT_EQ(ChooseReferenceChannel(row.reference, row.ch1, row.ch2), row.chosen)
        << row.reference << " " << row.ch1 << " " << row.ch2;
}

}  // namespace
}  // namespace paneltest
