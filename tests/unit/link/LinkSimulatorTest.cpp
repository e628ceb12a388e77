// The command set, the setup record and the autosets against the simulated
// instrument, which was written on its own from the same description: both
// sides must agree on every byte.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "SetupRecords.h"
#include "link/Autoset.h"
#include "link/CommandSet.h"
#include "link/InstrumentSetup.h"
#include "link/LinkMessages.h"
#include "link/SetupTransfer.h"
#include "link/Transport.h"
#include "platform/os/Clock.h"
#include "platform/os/Timing.h"
#include "sim/Instrument.h"

namespace {

using namespace setuptest;

class LinkSimulatorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    visa::ClearInstruments();
    visa::EnableUsbSearch(false);
    sim_ = std::make_shared<kvxsim::SimHandle>(kvxsim::InstrumentOptions{});
    visa::AddInstrument(sim_);
    ASSERT_EQ(viOpenDefaultRM(&rm_), VI_SUCCESS);
    ASSERT_EQ(viOpen(rm_, sim_->Descriptor().c_str(), VI_EXCLUSIVE_LOCK, 0, &session_), VI_SUCCESS);
    viSetAttribute(session_, VI_ATTR_TMO_VALUE, kStandingTimeoutMs);
    saved_ = ProgramSetup;
    SetLinkMessageSink([this](LinkMessage message) { messages_.push_back(message); });
  }
  void TearDown() override {
    SetLinkMessageSink({});
    SetAutosetHooks({});
    ProgramSetup = saved_;
    viClose(rm_);
    visa::ClearInstruments();
  }
  Bytes SimRecord() {
    const auto record = sim_->SetupRecord();
    return Bytes(record.begin(), record.end());
  }
  void SetFaults(const kvxsim::Faults& faults) { sim_->SetFaults(faults); }

  ScopedManualClock clock_;  // the program's pauses and the instrument's waits cost no real time
  std::shared_ptr<kvxsim::SimHandle> sim_;
  ViSession rm_ = 0;
  ViSession session_ = 0;
  InstrumentSetup saved_;
  std::vector<LinkMessage> messages_;
};

TEST_F(LinkSimulatorTest, SetupRecordGoesBothWays) {
  InstrumentSetup copy = PatternSetup(1);
  const InstrumentSetup before = copy;
  ReadSetup(session_, copy);
  ASSERT_TRUE(messages_.empty());
  EXPECT_EQ(RecordBytes(copy), RecordBytes(AcceptedRecord(SimRecord(), before)));

  copy.timebaseIndex = 21;
  copy.ch2Coupling = 2;
  copy.ch1ProbeFactor = 10.0f;
  WriteSetup(session_, copy);
  EXPECT_EQ(SimRecord(), WireRecord(copy));

  InstrumentSetup again{};
  ReadSetup(session_, again);
  EXPECT_EQ(again.timebaseIndex, 21);
  EXPECT_EQ(again.ch2Coupling, 2);
  EXPECT_EQ(again.ch1ProbeFactor, 10.0f);
  EXPECT_TRUE(messages_.empty());
}

TEST_F(LinkSimulatorTest, InstrumentUnderstandsEveryCommandAndKeepsItsSettings) {
  SetInputCoupling(session_, 1, 2);
  SetSensitivity(session_, 0, 7);
  SetProbeFactor(session_, 1, 10.0);
  SetTraceDisplay(session_, 1, 0);
  SetTimebase(session_, 21);
  SetHorizontalZoom(session_, 0, 20.0);
  SetTriggerSource(session_, 1);
  SetTriggerSlope(session_, 1);
  SetTriggerCoupling(session_, 1);
  SetTriggerMode(session_, 0, 0);
  SetTriggerMode(session_, 2, 4);
  SetCursorReference(session_, 1);
  SetTimeCursors(session_, 0, 49999);
  SetAutoMeasurements(session_, 1);
  SetVerticalOffset(session_, 0, 0.5);
  SetHorizontalOffset(session_, -0.0005);
  SetTriggerLevel(session_, -0.063);
  SetRunState(session_, 0);  // RUN pressed while stopped: acquiring again
  EXPECT_TRUE(CheckErrorQueue(session_, "")) << "the instrument refused a command";

  InstrumentSetup copy{};
  ReadSetup(session_, copy);
  EXPECT_EQ(copy.ch2Coupling, 2);
  EXPECT_EQ(copy.ch1VoltsPerDivIndex, 7);
  EXPECT_EQ(copy.ch2ProbeFactor, 10.0f);
  EXPECT_EQ(copy.ch2Displayed, 0);
  EXPECT_EQ(copy.timebaseIndex, 21);
  EXPECT_EQ(copy.triggerSource, 1);
  EXPECT_EQ(copy.triggerMode, 2);
  EXPECT_EQ(copy.triggerType, 4);
  EXPECT_EQ(copy.referenceChannel, 1);
  EXPECT_EQ(copy.runState, 0) << "the instrument starts (factory state is stopped)";
}

TEST_F(LinkSimulatorTest, AutosetWithASignalTakesTheInstrumentsSetup) {
  ReadSetup(session_, ProgramSetup);
  std::vector<int> cleared;
  SetAutosetHooks({[](int) { return false; }, [&](int channel) { cleared.push_back(channel); }});
  ProgramSetup.ch2Displayed = 0;
  WriteSetup(session_, ProgramSetup);

  EXPECT_EQ(RunAutoset(session_), 1);
  EXPECT_EQ(ProgramSetup.ch1ProbeFactor, 1.0f);
  EXPECT_EQ(ProgramSetup.ch1Displayed, 1);
  EXPECT_EQ(ProgramSetup.ch2Displayed, 1);
  EXPECT_EQ(ProgramSetup.ch1TriggerCoupling, 1);
  EXPECT_TRUE(messages_.empty());
  EXPECT_TRUE(CheckErrorQueue(session_, ""));

  EXPECT_EQ(RunVerticalAutoset(session_, 1), 1);
  EXPECT_EQ(ProgramSetup.ch2ProbeFactor, 1.0f);
  EXPECT_TRUE(messages_.empty());
}

TEST_F(LinkSimulatorTest, RefusedAutosetLeavesTheInstrumentAsTheProgramHasIt) {
  ReadSetup(session_, ProgramSetup);
  ProgramSetup.ch1ProbeFactor = 10.0f;
  ProgramSetup.ch2ProbeFactor = 0.1f;
  WriteSetup(session_, ProgramSetup);
  kvxsim::Faults faults;
  faults.refuseAutoset = true;
  SetFaults(faults);

  EXPECT_EQ(RunAutoset(session_), 0);
  EXPECT_EQ(SimRecord(), WireRecord(ProgramSetup)) << "the whole setup was sent back";
  EXPECT_EQ(RunVerticalAutoset(session_, 1), 0);
  InstrumentSetup copy{};
  ReadSetup(session_, copy);
  EXPECT_EQ(copy.ch2ProbeFactor, 0.1f) << "the probe factor was put back";
}

TEST_F(LinkSimulatorTest, SelfTestAnswers) {
  int result = -1;
  ReadSelfTest(session_, &result);
  EXPECT_EQ(result, 0);

  kvxsim::Faults faults;
  faults.selfTestFailBits = 0x0008;
  SetFaults(faults);
  ReadSelfTest(session_, &result);
  EXPECT_EQ(result, 0x0008);

  faults.selfTestFailBits = 0;
  faults.dropReplies = 1;
  SetFaults(faults);
  viSetAttribute(session_, VI_ATTR_TMO_VALUE, 300);
  result = -1;
  const double start = Timer();
  ReadSelfTest(session_, &result);
  EXPECT_EQ(result, 0) << "no answer counts as all passed";
  EXPECT_GE(Timer() - start, 0.3 - 1e-9) << "the answer was waited for until the timeout";
}

}  // namespace
