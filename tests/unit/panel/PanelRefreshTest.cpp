// The two copies of a setting, the focus, and the refresh that brings every
// control, menu check and the toolbar's reference ring in line with the record.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "PanelTestSupport.h"
#include "display/ChannelDisplayScale.h"
#include "display/DisplayState.h"
#include "display/References.h"

namespace paneltest {
namespace {

using PanelRefreshTest = PanelTest;

// A value change shows on both copies and a numeric's takes the focus to its
// first copy; a ring's second copy is only shown, so the first takes its focus.
TEST_F(PanelRefreshTest, CopiesFollowEachOtherWithoutSendingAndFocusGoesToTheFirst) {
  using namespace MainPanel;
  struct Row {
    int first, second;
    double value;
    bool numeric;
  };
  for (const Row& row :
       {Row{Ch1SensitivityRing, Ch1SensitivityRing2, 5, false}, Row{Ch2SensitivityRing, Ch2SensitivityRing2, 9, false},
        Row{Ch1OffsetInput, Ch1OffsetInput2, 1.5, true}, Row{Ch2OffsetInput, Ch2OffsetInput2, -2.25, true},
        Row{TriggerLevelInput, TriggerLevelInput2, 0.7, true}, Row{TimebaseRing, TimebaseRing2, 12, false},
        Row{TriggerPositionInput, TriggerPositionInput2, 3.4, true}}) {
    for (const auto& [changed, other] : {std::pair{row.second, row.first}, std::pair{row.first, row.second}}) {
      SCOPED_TRACE(changed);
      SetActiveCtrl(panel_, AutosetButton);
      const double value = changed == row.first ? row.value : row.value + 1;
      SetCtrlVal(panel_, changed, value);
      headless::Run([&] { ControleScope(panel_, changed, EVENT_VAL_CHANGED, nullptr, 0, 0); });
      EXPECT_EQ(Value(other), value);
      EXPECT_EQ(GetActiveCtrl(panel_), row.numeric ? row.first : AutosetButton);
    }
    headless::Focus(panel_, row.second);
    EXPECT_EQ(GetActiveCtrl(panel_), row.numeric ? row.second : row.first);
  }
  EXPECT_EQ(Received(), "");
}

TEST_F(PanelRefreshTest, EveryControlAndChannelScaleFollowsTheRecord) {
  using namespace MainPanel;
  StoreField(ProgramSetup.ch1VoltsPerDivIndex, 9);
  StoreField(ProgramSetup.ch2VoltsPerDivIndex, 3);
  StoreField(ProgramSetup.ch1Coupling, 1);
  StoreField(ProgramSetup.ch2Coupling, 2);
  StoreField(ProgramSetup.ch1VerticalOffset, 44);
  StoreField(ProgramSetup.ch2VerticalOffset, -33);
  StoreField(ProgramSetup.ch1ProbeFactor, 10.0f);
  std::memcpy(ProgramSetup.ch1Unit, "VOLT", 4);  // no terminator
  std::memcpy(ProgramSetup.ch2Unit, "A\0BC", 4);
  StoreField(ProgramSetup.timebaseIndex, 20);
  StoreField(ProgramSetup.effectiveTimebaseIndex, 20);
  StoreField(ProgramSetup.horizontalOffset, -12500);
  StoreField(ProgramSetup.triggerSource, 1);
  StoreField(ProgramSetup.ch2TriggerSlope, 1);
  StoreField(ProgramSetup.ch2TriggerLevel, 33);
  StoreField(ProgramSetup.ch1TriggerLevel, 11);
  for (int ring : {Ch1SensitivityRing, Ch2SensitivityRing2})
    SetCtrlAttribute(panel_, ring, ATTR_CTRL_MODE, VAL_INDICATOR);
  SetCtrlVal(panel_, RisingSlopeButton, 1);

  Refresh();

  EXPECT_EQ(Received(), ":SWE:OFFS:TIME -0.0125\r") << "2.5 divisions at 5 ms/div";
  struct Shown {
    int control, copy;  // the same control twice when it has no copy
    double value;
  };
  for (const Shown& shown :
       {Shown{Ch1SensitivityRing, Ch1SensitivityRing2, 9}, Shown{Ch1CouplingRing, Ch1CouplingRing, 1},
        Shown{Ch2SensitivityRing, Ch2SensitivityRing2, 3}, Shown{Ch2CouplingRing, Ch2CouplingRing, 2},
        Shown{Ch1OffsetInput, Ch1OffsetInput2, 2.0}, Shown{Ch2OffsetInput, Ch2OffsetInput2, -1.5},
        Shown{TimebaseRing, TimebaseRing2, 20}, Shown{TriggerPositionInput, TriggerPositionInput2, 2.5},
        Shown{TriggerSourceRing, TriggerSourceRing, 1}, Shown{TriggerLevelInput, TriggerLevelInput2, 1.5},
        Shown{RisingSlopeButton, RisingSlopeButton, 0}, Shown{FallingSlopeButton, FallingSlopeButton, 1}}) {
    EXPECT_EQ(Value(shown.control), shown.value) << "control " << shown.control;
    EXPECT_EQ(Value(shown.copy), shown.value) << "control " << shown.copy;
  }
  for (int ring : {Ch1SensitivityRing, Ch2SensitivityRing2}) EXPECT_EQ(Attribute(ring, ATTR_CTRL_MODE), VAL_NORMAL);
  for (int control : {TriggerLevelInput, TriggerLevelInput2, TriggerIndicator})
    EXPECT_EQ(Attribute(control, ATTR_TEXT_COLOR), 0x00C000) << "control " << control;
  // The cursor readouts' copies, the unit cut to three characters.
  const ChannelDisplayScale ch1 = LoadChannelDisplayScale(0), ch2 = LoadChannelDisplayScale(1);
  EXPECT_EQ(ch1.probeFactor, 10.0f);
  EXPECT_EQ(ch1.voltsPerDivIndex, 9);
  EXPECT_STREQ(ch1.unit.data(), "VOL");
  EXPECT_EQ(ch2.couplingIndex, 2);
  EXPECT_STREQ(ch2.unit.data(), "A");

  // CH1 as the source; then "none", which leaves level, slope and colours alone.
  StoreField(ProgramSetup.ch2TriggerLevel, -44);
  for (int source : {0, 2}) {
    SCOPED_TRACE(source);
    StoreField(ProgramSetup.triggerSource, source);
    Refresh();
    EXPECT_EQ(Value(TriggerSourceRing), source);
    EXPECT_EQ(Value(TriggerLevelInput2), 0.5);
    EXPECT_EQ(Value(RisingSlopeButton), 1.0);
    EXPECT_EQ(Attribute(TriggerIndicator, ATTR_TEXT_COLOR), 0xFF0000);
  }
}

TEST_F(PanelRefreshTest, DisplayMenuChecksFollowTheirState) {
  const int menuBar = LoadMenuBar(panel_, ORNI_PANEL_FILE, MainMenuBar::Resource);
  ASSERT_GT(menuBar, 0);
  // Persistence, XY, measurements, then the languages.
  std::vector<int> items = {MainMenuBar::PersistenceItem, MainMenuBar::XyItem, MainMenuBar::AutoMeasurementsItem};
  items.insert(items.end(), LanguageMenuItems.begin(), LanguageMenuItems.end());
  for (const auto& [persistence, xy, flags, language, checks] :
       {std::tuple{1, 0, 0x13, kSpanish, "10100010"}, std::tuple{0, 1, 0x0F, kEnglish, "01010000"}}) {
    PersistenceOn = persistence;
    XYPanelOpen = xy;
    StoreField(ProgramSetup.measurementFlags, flags);
    SetCurrentLanguage(language);
    Refresh();
    std::string checked;
    for (int item : items) {
      int value = -1;
      GetMenuBarAttribute(menuBar, item, ATTR_CHECKED, &value);
      checked += std::to_string(value);
    }
    EXPECT_EQ(checked, checks);
  }
}

// The toolbar's ring is refilled in the current language, selected and dimmed
// with the measurement display.
TEST_F(PanelRefreshTest, ReferenceRingIsRefilledSelectedAndDimmedWithTheMeasurements) {
  BuildMainToolbar(panel_, 0);
  const int toolbar = MainToolbarHandle.load();
  ASSERT_NE(toolbar, 0);
  const int item = kReferenceRingItem;
  int ring = 0, count = 0, value = -1, dimmed = -1;
  Toolbar_GetItemAttribute(toolbar, item, kToolbarAttrCtrlId, &ring);
  const int ringPanel = Toolbar_GetPanel(toolbar);
  // "label=value;" for each item, then the selected value and whether it is dimmed.
  const auto ringState = [&] {
    GetNumListItems(ringPanel, ring, &count);
    std::string all;
    for (int index = 0; index < count; ++index) {
      std::string label;
      double itemValue = -1;
      GetLabelFromIndex(ringPanel, ring, index, &label);
      GetValueFromIndex(ringPanel, ring, index, &itemValue);
      all += label + "=" + std::to_string(static_cast<int>(itemValue)) + ";";
    }
    Toolbar_GetItemAttribute(toolbar, item, kToolbarAttrValue, &value);
    Toolbar_GetItemAttribute(toolbar, item, kToolbarAttrDimmed, &dimmed);
    return all + std::to_string(value) + (dimmed ? " dimmed" : "");
  };

  StoreField(ProgramSetup.referenceChannel, 1);
  StoreField(ProgramSetup.measurementFlags, 0);
  Refresh();
  EXPECT_EQ(ringState(), "Auto. meas. CH1=0;Auto. meas. CH2=1;1 dimmed");

  StoreField(ProgramSetup.referenceChannel, 0);
  StoreField(ProgramSetup.measurementFlags, kAutoMeasurementsFlag);
  SetCurrentLanguage(kFrench);
  Refresh();
  EXPECT_EQ(ringState(), "Mes. auto. CH1=0;Mes. auto. CH2=1;0");
  DiscardMainToolbar();
}

TEST_F(PanelRefreshTest, InstalledViewsRefreshThePanelAndShowTheTriggerLevel) {
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
