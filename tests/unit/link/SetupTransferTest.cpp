// Reading the setup record from the instrument and sending it back.
#include <gtest/gtest.h>

#include <cmath>

#include <atomic>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "SetupRecords.h"
#include "link/InstrumentSession.h"
#include "link/LinkMessages.h"
#include "link/SetupTransfer.h"
#include "link/Transport.h"

namespace {

using namespace setuptest;

class SetupTransferTest : public ScriptedSessionTest {
 protected:
  void SetUp() override {
    ScriptedSessionTest::SetUp();
    SetLinkMessageSink([this](LinkMessage message) {
      std::lock_guard lock(messagesMutex_);
      messages_.push_back(message);
    });
  }
  void TearDown() override {
    SetLinkMessageSink({});
    ScriptedSessionTest::TearDown();
  }
  std::vector<LinkMessage> Messages() {
    std::lock_guard lock(messagesMutex_);
    return messages_;
  }
  ViBoolean SuppressEnd() {
    ViBoolean value = VI_TRUE;
    viGetAttribute(session_, VI_ATTR_SUPPRESS_END_EN, &value);
    return value;
  }
  // The program's copy before a read: differs from the instrument's everywhere.
  static InstrumentSetup ProgramCopy() {
    InstrumentSetup copy = PatternSetup(101);
    copy.zoomWindowScale = 100.0f;
    copy.zoomWindowStart = 1234;
    copy.xyState = 2;
    copy.autoMeasurementsOn = 1;
    copy.keptWord208 = 208;
    copy.measurementFlags = 0x11;
    copy.keptWord286 = 286;
    copy.keptWord288 = 288;
    return copy;
  }
  // Reads into a fresh program copy and tells whether it changed.
  bool ReadChangesCopy() {
    InstrumentSetup copy = ProgramCopy();
    ReadSetup(session_, copy);
    return RecordBytes(copy) != RecordBytes(ProgramCopy());
  }

  std::mutex messagesMutex_;
  std::vector<LinkMessage> messages_;
};

TEST_F(SetupTransferTest, AcceptedRecordReplacesTheCopyButKeepsTheProgramsOwnFields) {
  InstrumentSetup remote = UsablePatternSetup(5);
  remote.viewState = 2;
  const Bytes wire = WireRecord(remote);
  instrument_->QueueReply(BlockReply(wire));

  InstrumentSetup copy = ProgramCopy();
  ReadSetup(session_, copy);

  EXPECT_TRUE(Messages().empty());
  EXPECT_EQ(instrument_->Written(), "\r:SYST:SET?\r");
  EXPECT_EQ(SuppressEnd(), VI_FALSE);

  const InstrumentSetup expected = AcceptedRecord(wire, ProgramCopy());
  EXPECT_EQ(RecordBytes(copy), RecordBytes(expected));
}

TEST_F(SetupTransferTest, ChangedByteIsAChecksumErrorAndChangesNothing) {
  for (const std::size_t changed : {std::size_t{0}, std::size_t{3}, std::size_t{4}, std::size_t{300}, std::size_t{571}}) {
    Bytes wire = WireRecord(PatternSetup(5));
    wire[changed] ^= 0x01;
    instrument_->QueueReply(BlockReply(wire));
    EXPECT_FALSE(ReadChangesCopy()) << "byte " << changed;
  }
  EXPECT_EQ(Messages(), std::vector<LinkMessage>(5, LinkMessage::ConfigurationChecksum));
}

TEST_F(SetupTransferTest, WrongLengthOrNoBlockIsReportedAndChangesNothing) {
  const Bytes wire = WireRecord(PatternSetup(5));
  const std::string whole = BlockReply(wire);
  const std::vector<std::string> replies = {
      BlockReply(Bytes(wire.begin(), wire.begin() + 570)),  // a short record
      BlockReply(Bytes(600, 0x20)),                         // a long one
      "$" + whole.substr(1),                                // no "#"
      "#0",                                                 // no length
      "",                                                   // no reply at all (times out)
  };
  for (const std::string& reply : replies) {
    if (!reply.empty()) instrument_->QueueReply(reply);
    EXPECT_FALSE(ReadChangesCopy()) << reply.substr(0, 6);
    viFlush(session_, VI_READ_BUF);
  }
  EXPECT_EQ(Messages(), std::vector<LinkMessage>(replies.size(), LinkMessage::WrongConfiguration));

  // A long reply is read whole, so the next exchange gets its own answer.
  instrument_->QueueReply(BlockReply(Bytes(600, 0x20)));
  instrument_->QueueReply("1\n");
  ReadChangesCopy();
  std::string answer;
  Query(session_, "*OPC?\r", 0.0, 10, answer);
  EXPECT_EQ(answer, "1\n");
}

TEST_F(SetupTransferTest, RecordTheProgramCannotUseIsRefusedLikeAWrongLength) {
  const std::vector<std::pair<const char*, void (*)(InstrumentSetup&)>> damages = {
      {"timebase 35", [](InstrumentSetup& s) { s.timebaseIndex = 35; }},
      {"effective timebase -1", [](InstrumentSetup& s) { s.effectiveTimebaseIndex = -1; }},
      {"sensitivity 15", [](InstrumentSetup& s) { s.ch2VoltsPerDivIndex = 15; }},
      {"trigger source 3", [](InstrumentSetup& s) { s.triggerSource = 3; }},
      {"slope 2", [](InstrumentSetup& s) { s.ch1TriggerSlope = 2; }},
      {"XY source 2", [](InstrumentSetup& s) { s.xySourceY = 2; }},
      {"zoom factor 0", [](InstrumentSetup& s) { s.zoomFactor = 0.0f; }},
      {"probe NaN", [](InstrumentSetup& s) { s.ch1ProbeFactor = std::nanf(""); }},
      {"unit without end", [](InstrumentSetup& s) { std::memcpy(s.ch1Unit, "VOLT", 4); }},
  };
  for (const auto& [what, damage] : damages) {
    InstrumentSetup remote = UsablePatternSetup(5);
    damage(remote);
    instrument_->QueueReply(BlockReply(WireRecord(remote)));
    EXPECT_FALSE(ReadChangesCopy()) << what;
  }
  EXPECT_EQ(Messages(), std::vector<LinkMessage>(damages.size(), LinkMessage::WrongConfiguration));
}

TEST_F(SetupTransferTest, TruncatedRecordGivesUpAfterTheTimeout) {
  const std::string whole = BlockReply(WireRecord(PatternSetup(5)));
  instrument_->QueueReply(whole.substr(0, 300));
  const double start = Timer();
  EXPECT_FALSE(ReadChangesCopy());
  EXPECT_GE(Timer() - start, kShortTimeoutMs / 1000.0 - 1e-9);
  EXPECT_LT(Timer() - start, 3 * kShortTimeoutMs / 1000.0) << "the read gives up instead of waiting on";
  EXPECT_EQ(Messages(), std::vector<LinkMessage>{LinkMessage::WrongConfiguration});
  EXPECT_EQ(SuppressEnd(), VI_FALSE);
}

TEST_F(SetupTransferTest, WriteSendsHeaderRecordAndCarriageReturnThenWaitsForCompletion) {
  for (const std::uint8_t seed : {std::uint8_t{9}, std::uint8_t{13}}) {  // 13: holds CR and '#' bytes
    instrument_->ClearWritten();
    InstrumentSetup setup = PatternSetup(seed);
    setup.checksum = 0;
    instrument_->QueueReply("1\n");
    const double start = Timer();
    WriteSetup(session_, setup);
    EXPECT_NEAR(Timer() - start, 0.5, 1e-9) << "the instrument gets half a second for the record";

    const Bytes wire = WireRecord(setup);
    const std::string expected = "SYST:SET #3572" + std::string(wire.begin(), wire.end()) + "\r";
    ASSERT_EQ(expected.size(), 587u);
    EXPECT_EQ(instrument_->Written(), expected + "*OPC?\r");
    EXPECT_EQ(setup.checksum, RecordChecksum(setup)) << "the copy carries the checksum it was sent with";
    EXPECT_EQ(TimeoutMs(), 3000u);
  }
  EXPECT_TRUE(Messages().empty());
}

// The acquisition thread applies frame fields under the record lock while the
// user-interface thread reads whole records; run under ThreadSanitizer.
TEST_F(SetupTransferTest, WholeRecordReadsAndFrameUpdatesDoNotInterleave) {
  const ViSession savedSession = TheInstrument.session;
  TheInstrument.session = session_;
  std::atomic<bool> done{false};
  std::thread acquisition([&] {
    for (int frame = 0; !done.load(); ++frame) {
      std::lock_guard lock(SetupRecordMutex);
      StoreField(ProgramSetup.runState, frame & 1);
      StoreField(ProgramSetup.ch1VerticalOffset, -frame % 100);
      StoreField(ProgramSetup.ch1TriggerLevel, LoadField(ProgramSetup.ch1TriggerLevel) + 1);
    }
  });
  InstrumentSetup remote = UsablePatternSetup(5);
  remote.timebaseIndex = 21;
  for (int i = 0; i < 5; ++i) {
    instrument_->QueueReply(BlockReply(WireRecord(remote)));
    ReadSetup();
    EXPECT_EQ(LoadField(ProgramSetup.timebaseIndex), 21);
  }
  done = true;
  acquisition.join();
  TheInstrument.session = savedSession;
  EXPECT_TRUE(Messages().empty());
}

}  // namespace
