// The toolbar's "Reference" list and "ScreenShot" button on the headless
// front-end, the reference command reaching the simulated instrument.
#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <string>
#include <thread>

#include "MainPanelFixture.h"
#include "acquisition/Acquisition.h"
#include "catalogue/MessageCatalogue.h"
#include "display/References.h"

namespace {

class ReferencesTest : public displaytest::MainPanelTest {
 protected:
  void SetUp() override {
    MainPanelTest::SetUp();
    SetCurrentLanguage(kEnglish);
    ConnectInstrument();
    BuildToolbar();
  }
  void TearDown() override {
    if (toolbar_ != 0) Toolbar_Discard(toolbar_);
    MainPanelTest::TearDown();
  }

  // The toolbar's first seven items, the two reference actions in their places.
  void BuildToolbar() {
    ASSERT_EQ(Toolbar_New(panel_, 0, "", 0, 0, 0, 0, &toolbar_), 0);
    const auto add = [this](int type, const char* description, CtrlCallback callback) {
      const int kind = callback ? kToolbarActionCallback : kToolbarNoCallback;
      return Toolbar_InsertItem(toolbar_, kToolbarEndOfList, type, 1, description, kind, 0, std::move(callback),
                                nullptr, "");
    };
    add(kToolbarButton, "Persistence", nullptr);
    add(kToolbarButton, "XY : X=CH1, Y=CH2", nullptr);
    add(kToolbarSeparator, "", nullptr);
    add(kToolbarButton, "Automatic measurements", nullptr);
    ASSERT_EQ(add(kToolbarRing, "Reference", RefCallback), kReferenceRingItem);
    add(kToolbarSeparator, "", nullptr);
    ASSERT_EQ(add(kToolbarToggleButton, "ScreenShot", RefCallback), kScreenShotItem);
    int ring = 0;
    Toolbar_GetItemAttribute(toolbar_, kReferenceRingItem, kToolbarAttrCtrlId, &ring);
    for (int channel = 0; channel < 2; ++channel)
      InsertListItem(Toolbar_GetPanel(toolbar_), ring, -1, MeasurementTitleText(channel), channel);
  }

  void PressScreenShot() { ASSERT_GE(headless::ClickToolbarItem(toolbar_, kScreenShotItem), 0); }
  void ChooseOnReferenceList(int value) {
    Toolbar_SetItemAttribute(toolbar_, kReferenceRingItem, kToolbarAttrValue, value);
    ASSERT_GE(headless::ClickToolbarItem(toolbar_, kReferenceRingItem), 0);
  }

  static void ShowChannels(int ch1, int ch2) {
    StoreField(ProgramSetup.ch1Displayed, ch1);
    StoreField(ProgramSetup.ch2Displayed, ch2);
  }
  // Flags as "ref1 ref2 state".
  static std::string Flags() {
    return std::to_string(LoadField(ProgramSetup.ref1Displayed)) + " " +
           std::to_string(LoadField(ProgramSetup.ref2Displayed)) + " " +
           std::to_string(LoadField(ProgramSetup.referenceState));
  }
  displaytest::Ints LabelsShown() const {
    return OfEach({MainPanel::Ref1LabelText, MainPanel::Ref2LabelText}, ATTR_VISIBLE);
  }
  static void FillBothReferences() {
    ReferenceData data;
    data.ReferenceStore[0].fill(0x40);
    data.ReferenceStore[1].fill(0x80);
    std::strcpy(data.ReferenceLabel[0].data(), "REF1: 1ms, 1V");
    std::strcpy(data.ReferenceLabel[1].data(), "REF2: 1ms, 2V");
    ProgramReferences.Replace(data);
  }
  // Both channels' displayed traces hold `code` everywhere.
  static void ShowTraces(std::uint8_t code) {
    SampleBlock block;
    block.fill(code);
    ChannelSamples.Store(0, block, block);
    ChannelSamples.Store(1, block, block);
  }

  int toolbar_ = 0;
};

TEST_F(ReferencesTest, ToggleWithOnlyCh2ShownEnablesAndFillsOnlyRef2) {
  ShowChannels(0, 1);
  PressScreenShot();
  EXPECT_EQ(Flags(), "0 1 0");
  EXPECT_EQ(LabelsShown(), (displaytest::Ints{0, 1}));

  ShowTraces(0x55);
  CaptureReferences();
  const ReferenceData references = ProgramReferences.Snapshot();
  EXPECT_TRUE(ReferenceIsEmpty(references, 0)) << "REF1 was not switched on";
  EXPECT_EQ(references.ReferenceStore[1][2499], 0x55);
  EXPECT_EQ(LabelsShown(), (displaytest::Ints{0, 1}));
}

TEST_F(ReferencesTest, ToggleWhileAReferenceIsOnEmptiesAndHidesBoth) {
  ShowChannels(1, 1);
  StoreField(ProgramSetup.ref2Displayed, 1);
  StoreField(ProgramSetup.referenceState, 3);
  FillBothReferences();
  SetCtrlVal(panel_, MainPanel::Ref2LabelText, "REF2: 1ms, 2V");

  PressScreenShot();
  EXPECT_EQ(Flags(), "0 0 0");
  const ReferenceData references = ProgramReferences.Snapshot();
  EXPECT_TRUE(ReferenceIsEmpty(references, 0));
  EXPECT_TRUE(ReferenceIsEmpty(references, 1));
  EXPECT_EQ(ReferenceLabelText(references, 0) + ReferenceLabelText(references, 1), "");
  EXPECT_EQ(LabelsShown(), (displaytest::Ints{0, 0}));

  // On again: both shown channels, their labels empty until the next capture.
  PressScreenShot();
  EXPECT_EQ(Flags(), "1 1 0");
  EXPECT_EQ(LabelsShown(), (displaytest::Ints{1, 1}));
  EXPECT_EQ(TextOf(MainPanel::Ref2LabelText), "");
}

TEST_F(ReferencesTest, ToggleWithNoChannelShownChangesNothing) {
  StoreField(ProgramSetup.ref1Displayed, 1);
  FillBothReferences();
  PressScreenShot();
  EXPECT_EQ(Flags(), "1 0 0");
  EXPECT_FALSE(ProgramReferences.IsEmpty(0));
  EXPECT_FALSE(ProgramReferences.IsEmpty(1));
  EXPECT_EQ(LabelsShown(), (displaytest::Ints{1, 0})) << "the labels still follow the flags";
}

// A stand-in XY panel whose two reference captions the toggle shows.
TEST_F(ReferencesTest, XYCaptionsShowOnlyWhileBothSourcesHoldAReference) {
  const int xy = NewPanel(0, "XY", 0, 0, 200, 300);
  XYPanelControls controls;
  controls.xReferenceCaption = NewCtrl(xy, CTRL_TEXT_MSG, "", 10, 10);
  controls.yReferenceCaption = NewCtrl(xy, CTRL_TEXT_MSG, "", 10, 100);
  SetXYPanelControls(controls);
  XYPanelOpen = xy;
  const auto captions = [&] {
    return OfEach({controls.xReferenceCaption, controls.yReferenceCaption}, ATTR_VISIBLE, xy);
  };
  ShowChannels(1, 0);
  ProgramSetup.xySourceX = 0;
  ProgramSetup.xySourceY = 1;
  ReferenceData onlyRef1;
  onlyRef1.ReferenceStore[0].fill(0x40);
  ProgramReferences.Replace(onlyRef1);

  PressScreenShot();  // on, REF2 still empty
  EXPECT_EQ(captions(), (displaytest::Ints{0, 0}));
  ProgramSetup.xySourceY = 0;
  PressScreenShot();  // off: everything emptied
  EXPECT_EQ(captions(), (displaytest::Ints{0, 0}));
  ProgramReferences.Replace(onlyRef1);
  PressScreenShot();
  EXPECT_EQ(captions(), (displaytest::Ints{1, 1})) << "both sources on REF1";
  ProgramSetup.xySourceY = 7;  // a damaged source counts as empty
  PressScreenShot();
  ProgramReferences.Replace(onlyRef1);
  PressScreenShot();
  EXPECT_EQ(captions(), (displaytest::Ints{0, 0}));
  XYPanelOpen = 0;
  DiscardPanel(xy);
}

TEST_F(ReferencesTest, ChoosingCh2SendsTheReferenceRecoloursAndRetitles) {
  ChooseOnReferenceList(1);
  EXPECT_EQ(Received(), ":DISP:CURS:REF INT2\r" + displaytest::kGate);
  EXPECT_EQ(LoadField(ProgramSetup.referenceChannel), 1);
  EXPECT_EQ(OfEach({MainPanel::MeasLabelsText, MainPanel::MeasValuesText}, ATTR_TEXT_COLOR),
            (displaytest::Ints{0x00C000, 0x00C000}));
  EXPECT_EQ(TextOf(MainPanel::MeasurementTitle), "Auto. meas. CH2");
  EXPECT_EQ(LinkBusy.load(), 0) << "the link is free again";

  ChooseOnReferenceList(0);
  EXPECT_EQ(Received(), ":DISP:CURS:REF INT1\r" + displaytest::kGate);
  EXPECT_EQ(TextOf(MainPanel::MeasurementTitle), "Auto. meas. CH1");
  EXPECT_EQ(Attribute(MainPanel::MeasValuesText, ATTR_TEXT_COLOR), 0xFF0000);

  // Only the commit acts.
  headless::Run([&] { RefCallback(toolbar_, kReferenceRingItem, EVENT_VAL_CHANGED, nullptr, 0, 0); });
  EXPECT_EQ(Received(), "");
}

// The acquisition thread keeps capturing while the user switches the
// references off: once the toggle returns, nothing is refilled.
TEST_F(ReferencesTest, SwitchedOffReferencesStayEmptyWhileTheThreadCaptures) {
  ShowChannels(1, 1);
  ShowTraces(0x33);
  std::atomic<bool> stop{false};
  std::thread acquisition([&] {
    while (!stop.load()) CaptureReferences();
  });
  for (int round = 0; round < 20; ++round) {
    PressScreenShot();  // on
    PressScreenShot();  // off
    EXPECT_TRUE(ProgramReferences.IsEmpty(0)) << "round " << round;
    EXPECT_TRUE(ProgramReferences.IsEmpty(1)) << "round " << round;
  }
  stop = true;
  acquisition.join();
  EXPECT_EQ(Flags(), "0 0 0");
}

}  // namespace
