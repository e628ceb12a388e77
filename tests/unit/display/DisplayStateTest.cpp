// Entering the display from the setup record when acquisition starts, the
// timebase text and the persistence icon.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "MainPanelFixture.h"
#include "acquisition/Acquisition.h"
#include "catalogue/MessageCatalogue.h"
#include "display/Colours.h"

namespace {

using displaytest::Ints;
using displaytest::kGate;
using displaytest::kOneMillisecond;

class DisplayStateTest : public displaytest::MainPanelTest {
 protected:
  void SetUp() override {
    MainPanelTest::SetUp();
    ConnectInstrument();
    AcquisitionRunning = 1;
  }
  void TearDown() override {
    AcquisitionRunning = 0;
    SetCurrentLanguage(kEnglish);
    MainPanelTest::TearDown();
  }
};

TEST_F(DisplayStateTest, StartSeedsTheMirrorAndThePanelFromTheSetupRecord) {
  ProgramSetup.ch2VerticalOffset = 40;  // what the start reads
  ProgramSetup.ch2TriggerLevel = -7;
  ProgramSetup.horizontalOffset = -12500;
  ProgramSetup.effectiveTimebaseIndex = kOneMillisecond;
  ProgramSetup.triggerSource = 1;
  ProgramSetup.ref2Displayed = 1;
  ReferenceData references;
  std::snprintf(references.ReferenceLabel[1].data(), kReferenceLabelSize, "%s", "REF2: 1ms");
  ProgramReferences.Replace(references);
  Mirror.ChannelMaskSeen = 3;  // what it resets
  Mirror.RunStopSeen = 0;
  CursorT1 = 2;
  PersistenceOn = 1;
  SetCurrentLanguage(kFrench);
  EXPECT_EQ(InitDisplayState(), panel_);
  EXPECT_EQ(Mirror.VerticalPositionSeen[1].load(), 40);
  EXPECT_EQ(Mirror.TriggerLevelSeen[1].load(), -7.0);
  EXPECT_EQ(Mirror.TriggerPositionSeen.load(), -2.5);
  EXPECT_EQ(Mirror.ChannelMaskSeen.load(), 0);
  EXPECT_EQ(Mirror.RunStopSeen.load(), -1);
  EXPECT_EQ(CursorT1.load(), 0);
  EXPECT_EQ(TextOf(MainPanel::TimebaseText), "1.00ms/div");
  std::string tooltip;
  GetCtrlAttribute(panel_, MainPanel::PersistenceIcon, ATTR_TOOLTIP_TEXT, &tooltip);
  EXPECT_EQ(tooltip, "R\xE9manence");
  EXPECT_EQ(OfEach({MainPanel::PersistenceIcon, MainPanel::Ref1LabelText, MainPanel::Ref2LabelText,
                    MainPanel::TimeReadouts},
                   ATTR_VISIBLE),
            (Ints{1, 0, 1, 0}));
  EXPECT_EQ(TextOf(MainPanel::Ref2LabelText), "REF2: 1ms");
  EXPECT_EQ(Attribute(MainPanel::Ref2LabelText, ATTR_TEXT_COLOR), static_cast<int>(ReferenceColour[1]));
  EXPECT_EQ(Attribute(MainPanel::TriggerIndicator, ATTR_TEXT_COLOR), static_cast<int>(ChannelColour[1]));
  EXPECT_EQ(Attribute(MainPanel::Ch2PositionMarker, ATTR_FRAME_COLOR), static_cast<int>(ChannelColour[1]));
  EXPECT_EQ(OfEach({MainPanel::TimeT1Text, MainPanel::Ch2Y2Text}, ATTR_TEXT_COLOR), (Ints{0x0000FF, 0x800080}))
      << "each cursor's readouts in its colour";
  EXPECT_EQ(Attribute(MainPanel::TraceGraph, ATTR_LEFT), 268) << "the cursors are off, the panel laid out";
  EXPECT_EQ(Received(), kGate);
}

TEST_F(DisplayStateTest, ASetupSavedZoomedComesBackZoomed) {
  ProgramSetup.viewState = 2;
  ProgramSetup.timebaseIndex = kOneMillisecond;
  ProgramSetup.effectiveTimebaseIndex = kOneMillisecond;
  InitDisplayState();
  EXPECT_EQ(Mirror.ZoomActive.load(), 1);
  EXPECT_EQ(Received().rfind(":DISP:TRAC:X:PDIV 1E-3\r", 0), 0u) << "the acquisition timebase goes first";
  EXPECT_EQ(Attribute(MainPanel::OverviewGraph, ATTR_VISIBLE), 1);
  EXPECT_EQ(Attribute(MainPanel::TraceGraph, ATTR_TOP), 126);
}

TEST_F(DisplayStateTest, TheTimebaseTextWaitsForTheAcquisition) {
  ProgramSetup.effectiveTimebaseIndex = 3;
  AcquisitionRunning = 0;
  ShowTimebase();
  EXPECT_EQ(TextOf(MainPanel::TimebaseText), "");
  EXPECT_EQ(Received(), "");
  AcquisitionRunning = 1;
  ShowTimebase();
  EXPECT_EQ(TextOf(MainPanel::TimebaseText), "10.0ns/div");
  EXPECT_EQ(Attribute(MainPanel::PersistenceIcon, ATTR_VISIBLE), 0);

  WriteTimebaseText(panel_, 35);  // beyond the table either way: the text stays
  WriteTimebaseText(panel_, -1);
  EXPECT_EQ(TextOf(MainPanel::TimebaseText), "10.0ns/div");
}

}  // namespace
