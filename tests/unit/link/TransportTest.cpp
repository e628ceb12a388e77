// Definite-length block reads and the command/query primitives, on an
// instrument whose replies are scripted byte for byte.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "link/Transport.h"
#include "platform/os/Clock.h"
#include "platform/os/Timing.h"
#include "platform/visa/Backend.h"
#include "support/ScriptedInstrument.h"

namespace {

using testsupport::ScriptedInstrument;

// A block reply: "#" n L, L data bytes (a counting pattern), two trailing bytes.
std::string BlockReply(std::size_t length, std::size_t sentBytes) {
  const std::string digits = std::to_string(length);
  std::string reply = "#" + std::to_string(digits.size()) + digits;
  for (std::size_t i = 0; i < sentBytes; ++i) reply.push_back(static_cast<char>(i % 251));
  return reply;
}

class TransportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    visa::ClearInstruments();
    visa::EnableUsbSearch(false);
    instrument_ = std::make_shared<ScriptedInstrument>("TRANSPORT");
    visa::AddInstrument(instrument_);
    ASSERT_EQ(viOpenDefaultRM(&rm_), VI_SUCCESS);
    ASSERT_EQ(viOpen(rm_, instrument_->Descriptor().c_str(), VI_EXCLUSIVE_LOCK, 0, &session_), VI_SUCCESS);
    viSetAttribute(session_, VI_ATTR_TMO_VALUE, 300);
  }
  void TearDown() override {
    viClose(rm_);
    visa::ClearInstruments();
  }

  // Sends the request and reads the block into a buffer of `capacity` bytes
  // that is followed by guard bytes, which must stay untouched.
  BlockRead ReadInto(std::size_t capacity, std::vector<std::uint8_t>& storage) {
    storage.assign(capacity + kGuard, kGuardByte);
    WriteBytes(session_, "ZC:HTTP?\r");
    return ReadDefiniteBlock(session_, std::span<std::uint8_t>(storage.data(), capacity));
  }
  bool GuardIntact(const std::vector<std::uint8_t>& storage, std::size_t capacity) {
    for (std::size_t i = capacity; i < storage.size(); ++i)
      if (storage[i] != kGuardByte) return false;
    return true;
  }
  ViBoolean SuppressEnd() {
    ViBoolean value = VI_TRUE;
    viGetAttribute(session_, VI_ATTR_SUPPRESS_END_EN, &value);
    return value;
  }

  static constexpr std::size_t kGuard = 64;
  static constexpr std::uint8_t kGuardByte = 0xA5;
  ScopedManualClock clock_;  // missing bytes time out at once, on the test's clock
  std::shared_ptr<ScriptedInstrument> instrument_;
  ViSession rm_ = 0;
  ViSession session_ = 0;
};

TEST_F(TransportTest, FullBlocksArriveWhole) {
  std::vector<std::uint8_t> storage;
  // An acquisition frame of 45,008 data bytes plus the two trailing bytes.
  instrument_->QueueReply(BlockReply(45008, 45010));
  BlockRead frame = ReadInto(45010, storage);
  EXPECT_TRUE(frame.ok);
  EXPECT_EQ(frame.announced, 45008u);
  EXPECT_EQ(frame.count, 45010u);
  EXPECT_EQ(storage[0], 0);
  EXPECT_EQ(storage[45009], static_cast<std::uint8_t>(45009 % 251));
  EXPECT_TRUE(GuardIntact(storage, 45010));
  EXPECT_EQ(SuppressEnd(), VI_FALSE);

  // A trace file block: 100,034 bytes and two more, read into its 100,100-byte buffer.
  instrument_->QueueReply(BlockReply(100034, 100036));
  frame = ReadInto(100100, storage);
  EXPECT_TRUE(frame.ok);
  EXPECT_EQ(frame.count, 100036u);
  EXPECT_EQ(storage[100035], static_cast<std::uint8_t>(100035 % 251));
  EXPECT_EQ(storage[100036], kGuardByte) << "nothing is written past the block";
}

TEST_F(TransportTest, BlockArrivingInSeveralMessagesIsJoined) {
  std::vector<std::uint8_t> storage;
  const std::string reply = BlockReply(5000, 5002);
  instrument_->PushMessage(reply.substr(0, 1000));
  instrument_->PushMessage(reply.substr(1000, 2000));
  instrument_->PushMessage(reply.substr(3000));
  const BlockRead block = ReadInto(6000, storage);
  EXPECT_TRUE(block.ok);
  EXPECT_EQ(block.count, 5002u);
  EXPECT_EQ(std::string(storage.begin(), storage.begin() + 5002), reply.substr(6));
}

TEST_F(TransportTest, TruncatedBlockFailsWithinTheTimeout) {
  std::vector<std::uint8_t> storage;
  instrument_->QueueReply(BlockReply(45008, 20000));
  const double start = Timer();
  const BlockRead block = ReadInto(45010, storage);
  const double elapsed = Timer() - start;
  EXPECT_FALSE(block.ok);
  EXPECT_EQ(block.count, 20000u);
  EXPECT_EQ(block.status, VI_ERROR_TMO);
  EXPECT_GE(elapsed, 0.3 - 1e-9) << "gave up before the timeout";
  EXPECT_LT(elapsed, 0.9) << "the read gives up instead of waiting on";
  EXPECT_EQ(SuppressEnd(), VI_FALSE);
}

TEST_F(TransportTest, OversizeBlockIsNeverReadIntoTheBuffer) {
  std::vector<std::uint8_t> storage;
  instrument_->QueueReply(BlockReply(45008, 45010));
  BlockRead block = ReadInto(45008, storage);  // the acquisition buffer: L + 2 does not fit
  EXPECT_FALSE(block.ok);
  EXPECT_EQ(block.announced, 45008u);
  EXPECT_EQ(block.count, 0u);
  EXPECT_EQ(storage[0], kGuardByte);
  EXPECT_TRUE(GuardIntact(storage, 45008));

  instrument_->QueueReply("#9999999999" + std::string(100, 'x'));
  block = ReadInto(1000, storage);
  EXPECT_FALSE(block.ok);
  EXPECT_EQ(block.count, 0u);
  EXPECT_EQ(storage[0], kGuardByte);
}

TEST_F(TransportTest, MalformedPrefixesFail) {
  std::vector<std::uint8_t> storage;
  for (const std::string& reply : {std::string("$3572abc"), std::string("3572"), std::string("#0"),
                                  std::string("#3x72abc"), std::string("#")}) {
    instrument_->QueueReply(reply);
    const BlockRead block = ReadInto(1000, storage);
    EXPECT_FALSE(block.ok) << reply;
    EXPECT_EQ(block.count, 0u) << reply;
    viFlush(session_, VI_READ_BUF);
  }
  // No reply at all: the prefix read times out.
  const BlockRead silent = ReadInto(1000, storage);
  EXPECT_FALSE(silent.ok);
  EXPECT_EQ(silent.status, VI_ERROR_TMO);
}

TEST_F(TransportTest, CommandsAreFormattedFromTheirPieces) {
  instrument_->ClearWritten();
  SendCommand(session_, ":INP", 2, ":COUP ", "GROUND", "\r");
  SendCommand(session_, ":TRIG:LEV ", -1.26 * 0.05, "\r");
  SendCommand(session_, ":DISP:TRAC:ZOOM:H ", 1200, ",", 20.0, "\r");
  EXPECT_EQ(instrument_->Written(), ":INP2:COUP GROUND\r:TRIG:LEV -0.063\r:DISP:TRAC:ZOOM:H 1200,20\r");
  EXPECT_LT(SendCommand(session_, std::string(600, 'A')), 0) << "longer than the command buffer";
  EXPECT_EQ(instrument_->Written().size(), 61u);
}

TEST_F(TransportTest, QueryReadsOnceAndErrorQueueLooksForSuccess) {
  instrument_->QueueReply("1\n");
  std::string reply;
  EXPECT_EQ(Query(session_, "*OPC?\r", 0.001, 10, reply), VI_SUCCESS);
  EXPECT_EQ(reply, "1\n");

  instrument_->QueueReply("0,No error\n");
  instrument_->ClearWritten();
  EXPECT_TRUE(CheckErrorQueue(session_, ":MMEM:DEL \"TEMP_FILE.TRC\"\r"));
  EXPECT_EQ(instrument_->Written(), ":MMEM:DEL \"TEMP_FILE.TRC\"\r*wai\rsyst:err?\r");
  instrument_->QueueReply("-256,\"File name not found\"\n");
  EXPECT_FALSE(CheckErrorQueue(session_, ":MMEM:DEL \"X.TRC\"\r"));
  EXPECT_FALSE(CheckErrorQueue(session_, ":MMEM:DEL \"X.TRC\"\r")) << "no reply is a failure";
}

}  // namespace
