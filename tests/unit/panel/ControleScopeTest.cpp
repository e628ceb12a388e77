// ControleScope's commits against the simulated instrument: the exact bytes
// each control sends and what it leaves in the setup record.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "PanelTestSupport.h"
#include "link/CommandSet.h"
#include "sim/Acquisition.h"

namespace paneltest {
namespace {

// Every refresh sends the factory record's position: -25000 points at 100 us/div.
constexpr const char* kFactoryPosition = ":SWE:OFFS:TIME -0.0005\r";

std::size_t Occurrences(const std::string& text, const std::string& part) {
  std::size_t count = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

using ControleScopeTest = PanelTest;

TEST_F(ControleScopeTest, TwentyNanosecondsAcquireAtHundredNanosecondsAndZoomIn) {
  headless::SelectIndex(panel_, MainPanel::TimebaseRing, 4);
  EXPECT_EQ(LoadField(ProgramSetup.timebaseIndex), 4);
  EXPECT_EQ(LoadField(ProgramSetup.effectiveTimebaseIndex), 6);
  // The zoom reset, the 20 ns word, the position at 100 ns/div; the zoom entry follows.
  const std::string timebase = ":DISP:TRAC:ZOOM:H 0,20\r:DISP:TRAC:X:PDIV 20E-9\r:SWE:OFFS:TIME -0.0000005\r";
  EXPECT_EQ(Received().substr(0, timebase.size()), timebase);
  EXPECT_EQ(Mirror.ZoomActive.load(), 1);
}

TEST_F(ControleScopeTest, TenSecondsRightAfterHundredNanosecondsIsRefused) {
  StoreField(ProgramSetup.timebaseIndex, 6);
  SetCtrlVal(panel_, MainPanel::TimebaseRing, 6);
  headless::SelectIndex(panel_, MainPanel::TimebaseRing2, 30);
  EXPECT_EQ(Value(MainPanel::TimebaseRing), 6.0);
  EXPECT_EQ(Value(MainPanel::TimebaseRing2), 6.0);
  EXPECT_EQ(LoadField(ProgramSetup.timebaseIndex), 6);
  EXPECT_EQ(Received(), "");

  StoreField(ProgramSetup.timebaseIndex, 7);  // from 200 ns/div it goes through
  headless::SelectIndex(panel_, MainPanel::TimebaseRing2, 30);
  EXPECT_EQ(LoadField(ProgramSetup.timebaseIndex), 30);
  EXPECT_EQ(LoadField(ProgramSetup.effectiveTimebaseIndex), 30);
  EXPECT_EQ(Received(), ":DISP:TRAC:ZOOM:H 0,20\r:DISP:TRAC:X:PDIV 10\r:SWE:OFFS:TIME -50\r");
}

TEST_F(ControleScopeTest, HorizontalPositionIsSentAtTheAcquisitionTimebase) {
  for (const auto& [effectiveIndex, sent] : {std::pair{18, ":SWE:OFFS:TIME -0.0015\r"},     // 1 ms/div
                                             std::pair{3, ":SWE:OFFS:TIME -0.00000015\r"},  // zoom: 100 ns/div
                                             std::pair{200, ""}}) {                         // beyond the table
    SCOPED_TRACE(effectiveIndex);
    StoreField(ProgramSetup.effectiveTimebaseIndex, effectiveIndex);
    StoreField(ProgramSetup.horizontalOffset, 0);
    SetCtrlVal(panel_, MainPanel::TriggerPositionInput2, 0.0);
    headless::SetValue(panel_, MainPanel::TriggerPositionInput2, 1.5);
    EXPECT_EQ(LoadField(ProgramSetup.horizontalOffset), -7500);
    EXPECT_EQ(Received(), sent);
  }
}

TEST_F(ControleScopeTest, ChannelControlsStoreSendAndMakeTheirChannelCurrent) {
  headless::SelectIndex(panel_, MainPanel::Ch2SensitivityRing2, 6);  // the item of index 7
  EXPECT_EQ(LoadField(ProgramSetup.ch2VoltsPerDivIndex), 7);
  EXPECT_EQ(Received(), std::string(":ZC:VOLT2:RANG:PTP 7\r") + kFactoryPosition);
  EXPECT_EQ(GetActiveCtrl(panel_), MainPanel::Ch2SensitivityRing);
  EXPECT_EQ(CurrentChannel.load(), 1);

  headless::SetValue(panel_, MainPanel::Ch1OffsetInput2, 1.23);  // CH1 at 50 mV/div
  EXPECT_EQ(LoadField(ProgramSetup.ch1VerticalOffset), 27) << "trunc(22 x 1.23)";
  EXPECT_EQ(Received(), ":VOLT1:RANG:OFFS 0.0615\r");
  EXPECT_EQ(CurrentChannel.load(), 0);

  headless::SelectIndex(panel_, MainPanel::Ch2CouplingRing, 2);
  EXPECT_EQ(LoadField(ProgramSetup.ch2Coupling), 2);
  EXPECT_EQ(Received(), std::string(":INP2:COUP GROUND\r") + kFactoryPosition);
  EXPECT_EQ(CurrentChannel.load(), 1);
}

// CH1: 2 Vpp around -2.6 V, so 0.5 V/div centred 5.2 divisions up, which ends
// at 4.0; CH2 finds nothing, warns and stays on.
TEST_F(ControleScopeTest, VerticalAutosetEndsWithinFourDivisionsOrWarns) {
  sim_->SetSignal(0, kvxsim::SignalSpec{kvxsim::Waveform::Sine, 1000.0, 2.0, -2.6, 0.0});
  SetInputCoupling(TheInstrument.session, 0, 1);
  Received();
  headless::Commit(panel_, MainPanel::Ch1AutosetButton);
  EXPECT_EQ(Received(),
            ":DISP:TRAC:STAT1 1\r:DISP:TRAC:Y:PDIV1 2\r:AUTOS:VERT INT1\r*OPC?\r:DISP:TRAC:Y:PDIV1?\r"
            "\r:SYST:SET?\r" +
                std::string(kFactoryPosition) + ":VOLT1:RANG:OFFS 2\r");
  EXPECT_EQ(LoadField(ProgramSetup.ch1VoltsPerDivIndex), 7);
  EXPECT_EQ(LoadField(ProgramSetup.ch1VerticalOffset), 88) << "4.0 divisions";
  EXPECT_EQ(Value(MainPanel::Ch1OffsetInput), 4.0);
  EXPECT_EQ(GetWaitCursorState(), 0);

  RefuseAutoset();
  StoreField(ProgramSetup.ch2Displayed, 0);
  StoreField(ProgramSetup.ch2LoadedTrace, 1);
  headless::AnswerEnter();
  headless::Commit(panel_, MainPanel::Ch2AutosetButton);
  const auto popups = headless::Popups();
  ASSERT_EQ(popups.size(), 1u);
  EXPECT_EQ(popups[0].title, "WARNING !");
  EXPECT_EQ(popups[0].text, "CH2 : Vertical autoset impossible");
  EXPECT_EQ(LoadField(ProgramSetup.ch2Displayed), 1);
  EXPECT_EQ(LoadField(ProgramSetup.ch2LoadedTrace), 0);
}

TEST_F(ControleScopeTest, TriggerSourceThenLevelAndSlopeOfThatChannel) {
  StoreField(ProgramSetup.triggerMode, 2);
  StoreField(ProgramSetup.triggerType, 3);
  StoreField(ProgramSetup.ch2ProbeFactor, 10.0f);
  headless::SelectIndex(panel_, MainPanel::TriggerSourceRing, 1);
  EXPECT_EQ(LoadField(ProgramSetup.triggerSource), 1);
  EXPECT_EQ(LoadField(ProgramSetup.triggerMode), 0);
  EXPECT_EQ(LoadField(ProgramSetup.triggerType), 0);
  EXPECT_EQ(Received(), std::string(":INIT:CONT:NAME EDGE,ON\r:TRIG:ATRIG ON\r:TRIG:SOUR INT2\r:TRIG:COUP DC\r") +
                            kFactoryPosition);
  EXPECT_EQ(Attribute(MainPanel::TriggerIndicator, ATTR_TEXT_COLOR), 0x00C000);

  headless::SetValue(panel_, MainPanel::TriggerLevelInput2, -1.26);  // in volts of CH2 (50 mV/div), probe left out
  EXPECT_EQ(LoadField(ProgramSetup.ch2TriggerLevel), -27);
  EXPECT_EQ(Received(), ":TRIG:LEV -0.063\r");
  headless::Commit(panel_, MainPanel::FallingSlopeButton);
  EXPECT_EQ(LoadField(ProgramSetup.ch2TriggerSlope), 1);
  EXPECT_EQ(Received(), ":TRIG:SLOP NEG\r");
}

TEST_F(ControleScopeTest, WithTriggerSourceNoneLevelAndSlopeChangeNothingInTheSetup) {
  StoreField(ProgramSetup.triggerSource, 2);
  const InstrumentSetup before = ProgramSetup;
  headless::SetValue(panel_, MainPanel::TriggerLevelInput2, 1.0);
  headless::Commit(panel_, MainPanel::FallingSlopeButton);
  EXPECT_EQ(Value(MainPanel::FallingSlopeButton), 1.0) << "the buttons still change";
  EXPECT_EQ(Value(MainPanel::RisingSlopeButton), 0.0);
  EXPECT_EQ(std::memcmp(&before, &ProgramSetup, sizeof before), 0);
  EXPECT_EQ(Received(), "");
}

// CH1 off, CH2 on: a failed autoset gives the advice and changes nothing; one
// that works makes CH2 the reference and tells the instrument once.
TEST_F(ControleScopeTest, AutosetMovesTheReferenceToTheShownChannelOnlyWhenItWorks) {
  StoreField(ProgramSetup.ch1Displayed, 0);
  StoreField(ProgramSetup.ch2Displayed, 1);
  StoreField(ProgramSetup.referenceChannel, 0);
  StoreField(ProgramSetup.zoomFactor, 5.0f);
  RefuseAutoset();
  headless::AnswerEnter();
  headless::Commit(panel_, MainPanel::AutosetButton);

  const auto popups = headless::Popups();
  ASSERT_EQ(popups.size(), 1u);
  EXPECT_EQ(popups[0].title, "ERROR !");
  EXPECT_EQ(popups[0].text, "Autoset impossible :\n - No signal,\n - Frequency too low (<20Hz).\n");
  EXPECT_EQ(LoadField(ProgramSetup.referenceChannel), 0);
  EXPECT_EQ(LoadField(ProgramSetup.zoomFactor), 5.0f);
  std::string sent = Received();
  EXPECT_EQ(Occurrences(sent, "SYST:SET #3572"), 1u) << "the instrument is put back";
  EXPECT_EQ(Occurrences(sent, ":DISP:CURS:REF"), 0u);
  EXPECT_EQ(GetWaitCursorState(), 0);

  sim_->SetFaults({});
  headless::Commit(panel_, MainPanel::AutosetButton);
  EXPECT_EQ(LoadField(ProgramSetup.referenceChannel), 1);
  EXPECT_EQ(LoadField(ProgramSetup.zoomFactor), 20.0f);
  headless::Commit(panel_, MainPanel::AutosetButton);  // both on now: CH2 stays
  EXPECT_EQ(LoadField(ProgramSetup.referenceChannel), 1);
  sent = Received();
  EXPECT_EQ(Occurrences(sent, ":AUTOS:EXE\r"), 2u);
  EXPECT_EQ(Occurrences(sent, ":DISP:CURS:REF"), 1u) << sent;
  EXPECT_EQ(Occurrences(sent, ":DISP:CURS:REF INT2\r"), 1u);
}

// RUN/STOP asks for the state the instrument is not in, with the LED off; while
// the acquisition thread holds the link the commit waits for it.
TEST_F(ControleScopeTest, RunStopAsksForTheOtherStateOnceTheLinkIsFree) {
  StoreField(ProgramSetup.runState, 1);
  SetCtrlVal(panel_, MainPanel::AcquisitionLed, 1);
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
  EXPECT_EQ(Value(MainPanel::AcquisitionLed), 0.0);
  EXPECT_EQ(LinkBusy.load(), 0);
}

}  // namespace
}  // namespace paneltest
