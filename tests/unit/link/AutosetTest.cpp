// The full and vertical autosets on a scripted instrument: what they send,
// how they judge the probe-factor answer and what they do to the program's copy.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "SetupRecords.h"
#include "link/Autoset.h"
#include "link/InstrumentSetup.h"
#include "link/LinkMessages.h"

namespace {

using namespace setuptest;

class AutosetTest : public ScriptedSessionTest {
 protected:
  void SetUp() override {
    ScriptedSessionTest::SetUp();
    saved_ = ProgramSetup;
    ProgramSetup = UsablePatternSetup(21);
    ProgramSetup.ch1ProbeFactor = 1.0f;
    ProgramSetup.ch2ProbeFactor = 0.1f;
    SetAutosetHooks({[](int reference) { return reference == 0; },
                     [this](int channel) { cleared_.push_back(channel); }});
  }
  void TearDown() override {
    SetAutosetHooks({});
    ProgramSetup = saved_;
    ScriptedSessionTest::TearDown();
  }
  // The autoset acts: completion, the probe factor back to 1, then the record.
  void InstrumentActs(const InstrumentSetup& remote, const std::string& factor) {
    instrument_->QueueReply("1\n");
    instrument_->QueueReply(factor);
    instrument_->QueueReply(BlockReply(WireRecord(remote)));
  }
  std::string Wire(const InstrumentSetup& setup) {
    const Bytes bytes = WireRecord(setup);
    return std::string(bytes.begin(), bytes.end());
  }

  InstrumentSetup saved_;
  std::vector<int> cleared_;
};

TEST_F(AutosetTest, AutosetThatDidNotActPutsTheInstrumentBack) {
  for (const std::string factor : {"2.0\n", "2.000000E+00\n", "garbage\n"}) {
    instrument_->ClearWritten();
    const InstrumentSetup before = ProgramSetup;
    instrument_->QueueReply("1\n");
    instrument_->QueueReply(factor);
    instrument_->QueueReply("1\n");
    const double start = Timer();
    EXPECT_EQ(RunAutoset(session_), 0) << factor;
    EXPECT_EQ(instrument_->Written(), ":DISP:TRAC:Y:PDIV1 2\r:AUTOS:EXE\r*OPC?\r:DISP:TRAC:Y:PDIV1?\r"
                                      "SYST:SET #3572" + Wire(before) + "\r*OPC?\r")
        << factor;
    EXPECT_NEAR(Timer() - start, 0.001 + 0.5, 1e-9) << "1 ms before the completion answer, 0.5 s for the record";
    EXPECT_EQ(TimeoutMs(), 3000u);
  }
  EXPECT_TRUE(cleared_.empty());
}

TEST_F(AutosetTest, AutosetThatActedTakesTheInstrumentsSetupAndShowsBothChannels) {
  InstrumentSetup remote = UsablePatternSetup(33);
  remote.ch1Displayed = 1;
  remote.ch2Displayed = 0;
  remote.ref1Displayed = 0;
  remote.ref2Displayed = 7;
  remote.timebaseIndex = 18;
  InstrumentActs(remote, "1.0\n");

  EXPECT_EQ(RunAutoset(session_), 1);
  EXPECT_EQ(instrument_->Written(), ":DISP:TRAC:Y:PDIV1 2\r:AUTOS:EXE\r*OPC?\r:DISP:TRAC:Y:PDIV1?\r"
                                    "\r:SYST:SET?\r:DISP:TRAC:STAT2 1\r:TRIG:COUP DC\r");
  EXPECT_EQ(ProgramSetup.timebaseIndex, 18) << "the instrument's setup was read";
  EXPECT_EQ(ProgramSetup.ch1Displayed, 1);
  EXPECT_EQ(ProgramSetup.ref1Displayed, 1) << "REF1 holds data";
  EXPECT_EQ(ProgramSetup.ch2Displayed, 1);
  EXPECT_EQ(ProgramSetup.ref2Displayed, 7) << "left as read: CH2 was off";
  EXPECT_EQ(cleared_, std::vector<int>{1});
  EXPECT_EQ(ProgramSetup.ch1TriggerCoupling, 1);
  EXPECT_EQ(ProgramSetup.ch2TriggerCoupling, 1);
  EXPECT_EQ(TimeoutMs(), 3000u);
}

TEST_F(AutosetTest, AutosetRecordWithAnIndexOutsideItsTableIsRefused) {
  std::vector<LinkMessage> messages;
  SetLinkMessageSink([&messages](LinkMessage message) { messages.push_back(message); });
  InstrumentSetup remote = UsablePatternSetup(33);
  remote.timebaseIndex = 35;  // one past the last timebase
  remote.ch2VoltsPerDivIndex = 2;
  const std::uint16_t timebaseBefore = ProgramSetup.timebaseIndex;
  const std::uint16_t sensitivityBefore = ProgramSetup.ch2VoltsPerDivIndex;
  InstrumentActs(remote, "1.0\n");

  EXPECT_EQ(RunAutoset(session_), 1);
  SetLinkMessageSink({});
  EXPECT_EQ(messages, std::vector<LinkMessage>{LinkMessage::WrongConfiguration});
  EXPECT_EQ(ProgramSetup.timebaseIndex, timebaseBefore);
  EXPECT_EQ(ProgramSetup.ch2VoltsPerDivIndex, sensitivityBefore) << "nothing of the refused record was taken";
}

TEST_F(AutosetTest, VerticalAutosetThatDidNotActRestoresTheProbeFactor) {
  for (const std::string factor : {"2\n", "not a number\n"}) {
    instrument_->ClearWritten();
    instrument_->QueueReply("1\n");
    instrument_->QueueReply(factor);
    EXPECT_EQ(RunVerticalAutoset(session_, 1), 0) << factor;
    EXPECT_EQ(instrument_->Written(),
              ":DISP:TRAC:Y:PDIV2 2\r:AUTOS:VERT INT2\r*OPC?\r:DISP:TRAC:Y:PDIV2?\r:DISP:TRAC:Y:PDIV2 0.1\r");
    EXPECT_EQ(TimeoutMs(), 3000u);
  }
  instrument_->ClearWritten();
  EXPECT_EQ(RunVerticalAutoset(session_, 2), 0);
  EXPECT_EQ(instrument_->Written(), "") << "no third channel";
}

TEST_F(AutosetTest, VerticalAutosetThatActedReadsTheSetupAndReferenceFlags) {
  InstrumentSetup remote = UsablePatternSetup(44);
  remote.ref1Displayed = 0;
  remote.ref2Displayed = 1;
  remote.ch1VoltsPerDivIndex = 9;
  InstrumentActs(remote, "1.000000E+00\n");

  EXPECT_EQ(RunVerticalAutoset(session_, 0), 1);
  EXPECT_EQ(instrument_->Written(), ":DISP:TRAC:Y:PDIV1 2\r:AUTOS:VERT INT1\r*OPC?\r:DISP:TRAC:Y:PDIV1?\r\r:SYST:SET?\r");
  EXPECT_EQ(ProgramSetup.ch1VoltsPerDivIndex, 9);
  EXPECT_EQ(ProgramSetup.ref1Displayed, 1);
  EXPECT_EQ(ProgramSetup.ref2Displayed, 0);
  EXPECT_TRUE(cleared_.empty());
}

}  // namespace
