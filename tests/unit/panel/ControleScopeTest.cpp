// ControleScope's commits on the headless main panel against the simulated
// instrument: the exact bytes each control sends and what it leaves in the
// setup record.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "PanelTestSupport.h"
#include "link/CommandSet.h"
#include "sim/Acquisition.h"

namespace paneltest {
namespace {

// What every refresh sends with the instrument's factory record: the stored
// horizontal position (-25000 points) at 100 us/div.
constexpr const char* kFactoryPosition = ":SWE:OFFS:TIME -0.0005\r";

std::size_t Occurrences(const std::string& text, const std::string& part) {
  std::size_t count = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

using TimebaseTest = PanelTest;

TEST_F(TimebaseTest, TwentyNanosecondsAcquireAtHundredNanosecondsAndZoomIn) {
  headless::SelectIndex(panel_, MainPanel::TimebaseRing, 4);

  EXPECT_EQ(LoadField(ProgramSetup.timebaseIndex), 4);
  EXPECT_EQ(LoadField(ProgramSetup.effectiveTimebaseIndex), 6);
  const std::string sent = Received();
  // The zoom reset, the 20 ns word, then the position at 100 ns/div; the
  // zoom entry that supplies the magnification follows.
  const std::string timebase = ":DISP:TRAC:ZOOM:H 0,20\r:DISP:TRAC:X:PDIV 20E-9\r:SWE:OFFS:TIME -0.0000005\r";
  EXPECT_EQ(sent.substr(0, timebase.size()), timebase) << sent;
  EXPECT_EQ(Mirror.ZoomActive.load(), 1) << "faster than 100 ns/div is a zoom";
  EXPECT_EQ(Value(MainPanel::TimebaseRing2), 4.0);
}

TEST_F(TimebaseTest, TenSecondsRightAfterHundredNanosecondsIsRefused) {
  StoreField(ProgramSetup.timebaseIndex, 6);
  StoreField(ProgramSetup.effectiveTimebaseIndex, 6);
  SetCtrlVal(panel_, MainPanel::TimebaseRing, 6);
  headless::SelectIndex(panel_, MainPanel::TimebaseRing2, 30);

  EXPECT_EQ(Value(MainPanel::TimebaseRing), 6.0);
  EXPECT_EQ(Value(MainPanel::TimebaseRing2), 6.0);
  EXPECT_EQ(LoadField(ProgramSetup.timebaseIndex), 6);
  EXPECT_EQ(Received(), "");

  // From 200 ns/div the same choice goes through.
  StoreField(ProgramSetup.timebaseIndex, 7);
  headless::SelectIndex(panel_, MainPanel::TimebaseRing2, 30);
  EXPECT_EQ(LoadField(ProgramSetup.timebaseIndex), 30);
  EXPECT_EQ(LoadField(ProgramSetup.effectiveTimebaseIndex), 30);
  EXPECT_EQ(Received(), ":DISP:TRAC:ZOOM:H 0,20\r:DISP:TRAC:X:PDIV 10\r:SWE:OFFS:TIME -50\r");
  EXPECT_EQ(Value(MainPanel::TimebaseRing), 30.0);
}

TEST_F(TimebaseTest, HorizontalPositionIsSentAtTheAcquisitionTimebase) {
  struct Row {
    int effectiveIndex;
    const char* sent;
  };
  for (const Row& row : {Row{18, ":SWE:OFFS:TIME -0.0015\r"},      // 1 ms/div
                         Row{3, ":SWE:OFFS:TIME -0.00000015\r"},   // a zoom: 100 ns/div
                         Row{200, ""}}) {                          // beyond the table: nothing
    StoreField(ProgramSetup.effectiveTimebaseIndex, row.effectiveIndex);
    StoreField(ProgramSetup.horizontalOffset, 0);
    headless::SetValue(panel_, MainPanel::TriggerPositionInput2, 1.5);
    EXPECT_EQ(LoadField(ProgramSetup.horizontalOffset), -7500) << row.effectiveIndex;
    EXPECT_EQ(Received(), row.sent) << row.effectiveIndex;
    EXPECT_EQ(Value(MainPanel::TriggerPositionInput), 1.5);
    SetCtrlVal(panel_, MainPanel::TriggerPositionInput2, 0.0);
  }
}

using ChannelTest = PanelTest;

TEST_F(ChannelTest, SensitivityFromTheSecondCopy) {
  CurrentChannel = 0;
  headless::SelectIndex(panel_, MainPanel::Ch2SensitivityRing2, 6);  // the item of index 7

  EXPECT_EQ(LoadField(ProgramSetup.ch2VoltsPerDivIndex), 7);
  EXPECT_EQ(Received(), std::string(":ZC:VOLT2:RANG:PTP 7\r") + kFactoryPosition);
  EXPECT_EQ(Value(MainPanel::Ch2SensitivityRing), 7.0);
  EXPECT_EQ(GetActiveCtrl(panel_), MainPanel::Ch2SensitivityRing);
  EXPECT_EQ(CurrentChannel.load(), 1);
}

TEST_F(ChannelTest, OffsetFromTheSecondCopyActsAsTheFirst) {
  CurrentChannel = 1;
  headless::SetValue(panel_, MainPanel::Ch1OffsetInput2, 1.23);  // CH1 at 50 mV/div

  EXPECT_EQ(LoadField(ProgramSetup.ch1VerticalOffset), 27) << "trunc(22 x 1.23)";
  EXPECT_EQ(Received(), ":VOLT1:RANG:OFFS 0.0615\r");
  EXPECT_EQ(Value(MainPanel::Ch1OffsetInput), 1.23);
  EXPECT_EQ(CurrentChannel.load(), 0);

  headless::SetValue(panel_, MainPanel::Ch1OffsetInput, -0.5);
  EXPECT_EQ(LoadField(ProgramSetup.ch1VerticalOffset), -11);
  EXPECT_EQ(Received(), ":VOLT1:RANG:OFFS -0.025\r");
}

TEST_F(ChannelTest, Coupling) {
  headless::SelectIndex(panel_, MainPanel::Ch2CouplingRing, 2);
  EXPECT_EQ(LoadField(ProgramSetup.ch2Coupling), 2);
  EXPECT_EQ(Received(), std::string(":INP2:COUP GROUND\r") + kFactoryPosition);
  EXPECT_EQ(CurrentChannel.load(), 1);
}

TEST_F(ChannelTest, VerticalAutosetBeyondFourDivisionsEndsAtFour) {
  // 2 Vpp around -2.6 V: the instrument picks 0.5 V/div and centres the
  // trace 5.2 divisions up.
  sim_->SetSignal(0, kvxsim::SignalSpec{kvxsim::Waveform::Sine, 1000.0, 2.0, -2.6, 0.0});
  SetInputCoupling(TheInstrument.session, 0, 1);
  Received();

  headless::Commit(panel_, MainPanel::Ch1AutosetButton);

  EXPECT_EQ(Received(), ":DISP:TRAC:STAT1 1\r:DISP:TRAC:Y:PDIV1 2\r:AUTOS:VERT INT1\r*OPC?\r:DISP:TRAC:Y:PDIV1?\r"
                        "\r:SYST:SET?\r" +
                            std::string(kFactoryPosition) + ":VOLT1:RANG:OFFS 2\r");
  EXPECT_EQ(LoadField(ProgramSetup.ch1VoltsPerDivIndex), 7);
  EXPECT_EQ(LoadField(ProgramSetup.ch1VerticalOffset), 88) << "4.0 divisions";
  EXPECT_EQ(Value(MainPanel::Ch1OffsetInput), 4.0);
  EXPECT_EQ(Value(MainPanel::Ch1OffsetInput2), 4.0);
  EXPECT_EQ(LoadField(ProgramSetup.ch1Displayed), 1);
  EXPECT_EQ(GetWaitCursorState(), 0);
  EXPECT_TRUE(headless::Popups().empty());
}

TEST_F(ChannelTest, VerticalAutosetThatFindsNothingWarnsAndKeepsTheChannelOn) {
  RefuseAutoset();
  StoreField(ProgramSetup.ch2LoadedTrace, 1);
  headless::AnswerEnter();

  headless::Commit(panel_, MainPanel::Ch2AutosetButton);

  EXPECT_EQ(Received(), ":DISP:TRAC:STAT2 1\r:DISP:TRAC:Y:PDIV2 2\r:AUTOS:VERT INT2\r*OPC?\r:DISP:TRAC:Y:PDIV2?\r"
                        ":DISP:TRAC:Y:PDIV2 1\r" +
                            std::string(kFactoryPosition));
  const auto popups = headless::Popups();
  ASSERT_EQ(popups.size(), 1u);
  EXPECT_EQ(popups[0].title, "WARNING !");
  EXPECT_EQ(popups[0].text, "CH2 : Vertical autoset impossible");
  EXPECT_EQ(LoadField(ProgramSetup.ch2Displayed), 1);
  EXPECT_EQ(LoadField(ProgramSetup.ch2LoadedTrace), 0);
  EXPECT_EQ(CurrentChannel.load(), 1);
}

using TriggerTest = PanelTest;

TEST_F(TriggerTest, SourceSendsModeSourceAndDcCoupling) {
  StoreField(ProgramSetup.triggerMode, 2);
  StoreField(ProgramSetup.triggerType, 3);
  headless::SelectIndex(panel_, MainPanel::TriggerSourceRing, 1);

  EXPECT_EQ(LoadField(ProgramSetup.triggerSource), 1);
  EXPECT_EQ(LoadField(ProgramSetup.triggerMode), 0);
  EXPECT_EQ(LoadField(ProgramSetup.triggerType), 0);
  EXPECT_EQ(Received(), std::string(":INIT:CONT:NAME EDGE,ON\r:TRIG:ATRIG ON\r:TRIG:SOUR INT2\r:TRIG:COUP DC\r") +
                            kFactoryPosition);
  EXPECT_EQ(Attribute(MainPanel::TriggerIndicator, ATTR_TEXT_COLOR), 0x00C000);
}

TEST_F(TriggerTest, LevelAndSlopeOfTheSourceChannelWithoutProbeFactor) {
  StoreField(ProgramSetup.triggerSource, 1);
  StoreField(ProgramSetup.ch2ProbeFactor, 10.0f);
  StoreField(ProgramSetup.ch1TriggerLevel, 5);
  headless::SetValue(panel_, MainPanel::TriggerLevelInput2, -1.26);  // CH2 at 50 mV/div

  EXPECT_EQ(LoadField(ProgramSetup.ch2TriggerLevel), -27);
  EXPECT_EQ(LoadField(ProgramSetup.ch1TriggerLevel), 5);
  EXPECT_EQ(Received(), ":TRIG:LEV -0.063\r");
  EXPECT_EQ(Value(MainPanel::TriggerLevelInput), -1.26);

  headless::Commit(panel_, MainPanel::FallingSlopeButton);
  EXPECT_EQ(LoadField(ProgramSetup.ch2TriggerSlope), 1);
  EXPECT_EQ(Received(), ":TRIG:SLOP NEG\r");
  EXPECT_EQ(Value(MainPanel::FallingSlopeButton), 1.0);
  EXPECT_EQ(Value(MainPanel::RisingSlopeButton), 0.0);
}

TEST_F(TriggerTest, WithSourceNoneLevelAndSlopeChangeNothingInTheSetup) {
  StoreField(ProgramSetup.triggerSource, 2);
  const InstrumentSetup before = ProgramSetup;

  headless::SetValue(panel_, MainPanel::TriggerLevelInput, 1.0);
  headless::Commit(panel_, MainPanel::FallingSlopeButton);
  EXPECT_EQ(Value(MainPanel::FallingSlopeButton), 1.0) << "the buttons still change";
  EXPECT_EQ(Value(MainPanel::RisingSlopeButton), 0.0);
  headless::SetValue(panel_, MainPanel::TriggerLevelInput2, -2.0);
  headless::Commit(panel_, MainPanel::RisingSlopeButton);
  EXPECT_EQ(Value(MainPanel::RisingSlopeButton), 1.0);
  EXPECT_EQ(Value(MainPanel::FallingSlopeButton), 0.0);

  EXPECT_EQ(std::memcmp(&before, &ProgramSetup, sizeof before), 0);
  EXPECT_EQ(Received(), "");
}

using AutosetTest = PanelTest;

TEST_F(AutosetTest, ReferenceFollowsTheChannelThatWasShownAndIsSentOnce) {
  StoreField(ProgramSetup.ch1Displayed, 0);
  StoreField(ProgramSetup.ch2Displayed, 1);
  StoreField(ProgramSetup.referenceChannel, 0);
  StoreField(ProgramSetup.zoomFactor, 5.0f);

  headless::Commit(panel_, MainPanel::AutosetButton);
  EXPECT_EQ(LoadField(ProgramSetup.referenceChannel), 1);
  EXPECT_EQ(LoadField(ProgramSetup.zoomFactor), 20.0f);
  EXPECT_EQ(GetWaitCursorState(), 0);
  // Both channels are on now and CH2 stays the reference.
  headless::Commit(panel_, MainPanel::AutosetButton);
  EXPECT_EQ(LoadField(ProgramSetup.referenceChannel), 1);

  const std::string sent = Received();
  EXPECT_EQ(Occurrences(sent, ":AUTOS:EXE\r"), 2u);
  EXPECT_EQ(Occurrences(sent, ":DISP:CURS:REF INT"), 1u) << sent;
  EXPECT_EQ(Occurrences(sent, ":DISP:CURS:REF INT2\r"), 1u);
  EXPECT_TRUE(headless::Popups().empty());
}

TEST_F(AutosetTest, FailureGivesTheAdviceAndChangesNothing) {
  RefuseAutoset();
  StoreField(ProgramSetup.ch1Displayed, 0);
  StoreField(ProgramSetup.ch2Displayed, 1);
  StoreField(ProgramSetup.zoomFactor, 5.0f);
  headless::AnswerEnter();

  headless::Commit(panel_, MainPanel::AutosetButton);

  const auto popups = headless::Popups();
  ASSERT_EQ(popups.size(), 1u);
  EXPECT_EQ(popups[0].title, "ERROR !");
  EXPECT_EQ(popups[0].text, "Autoset impossible :\n - No signal,\n - Frequency too low (<20Hz).\n");
  EXPECT_EQ(LoadField(ProgramSetup.referenceChannel), 0);
  EXPECT_EQ(LoadField(ProgramSetup.zoomFactor), 5.0f);
  const std::string sent = Received();
  EXPECT_EQ(Occurrences(sent, "SYST:SET #3572"), 1u) << "the instrument is put back";
  EXPECT_EQ(Occurrences(sent, ":DISP:CURS:REF"), 0u);
  EXPECT_EQ(GetWaitCursorState(), 0);
}

using RunStopTest = PanelTest;

TEST_F(RunStopTest, AsksForTheOtherStateWithTheLedOff) {
  struct Row {
    int runState;
    const char* sent;
  };
  for (const Row& row : {Row{1, ":TRIG:RUN:STAT 1\r"}, Row{0, ":TRIG:RUN:STAT 0\r"}}) {
    StoreField(ProgramSetup.runState, row.runState);
    SetCtrlVal(panel_, MainPanel::AcquisitionLed, 1);
    headless::Commit(panel_, MainPanel::RunStopButton);
    EXPECT_EQ(Received(), row.sent);
    EXPECT_EQ(Value(MainPanel::AcquisitionLed), 0.0);
  }
}

// The acquisition thread holds the link: the commit waits for it and sends
// only once it is free.
TEST_F(RunStopTest, CommitWaitsForTheLink) {
  ScopedManualClock manual(ManualClock::Mode::Manual);
  TakeLink();
  headless::Post([this] { ControleScope(panel_, MainPanel::RunStopButton, EVENT_COMMIT, nullptr, 0, 0); });
  ASSERT_TRUE(manual->WaitForSleepers(1));
  EXPECT_EQ(Received(), "");

  ReleaseLink();
  manual->Advance(0.001);
  ASSERT_TRUE(manual->WaitForSleepers(1)) << "the half-second pause after the run command";
  manual->Advance(kRunStatePause);
  headless::Sync();
  EXPECT_EQ(Received(), ":TRIG:RUN:STAT 1\r");
  EXPECT_EQ(LinkBusy.load(), 0);
}

}  // namespace
}  // namespace paneltest
