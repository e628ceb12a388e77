// The session layer against the simulator, through the in-process backend and
// through the virtual USB cable: the exact bytes of open and close, and
// acquisition frames read as definite-length blocks.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "link/InstrumentSession.h"
#include "link/Transport.h"
#include "platform/visa/Backend.h"
#include "sim/Instrument.h"
#include "sim/Server.h"

namespace {

constexpr std::size_t kFrameBuffer = 45008;

struct FrameHeader {
  std::vector<long> fields;  // fifteen values
  std::size_t length = 0;    // bytes up to and including the fifteenth comma
};

FrameHeader ParseHeader(const std::vector<std::uint8_t>& frame, std::size_t count) {
  FrameHeader header;
  std::string field;
  for (std::size_t i = 0; i < count && header.fields.size() < 15; ++i) {
    if (frame[i] != ',') {
      field.push_back(static_cast<char>(frame[i]));
      continue;
    }
    const int base = header.fields.size() == 0 || header.fields.size() == 5 ? 16 : 10;
    header.fields.push_back(std::stol(field, nullptr, base));
    field.clear();
    header.length = i + 1;
  }
  return header;
}

std::string Text(const std::vector<std::uint8_t>& bytes) { return std::string(bytes.begin(), bytes.end()); }

class SessionOverSimulator : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    visa::ClearInstruments();
    visa::EnableUsbSearch(false);
    sim_ = std::make_shared<kvxsim::SimHandle>(kvxsim::InstrumentOptions{});
    if (GetParam()) {
      server_ = std::make_unique<kvxsim::Server>(sim_, "127.0.0.1", 0);
      ASSERT_TRUE(server_->Start());
      visa::AddTunnelInstrument("127.0.0.1", server_->Port());
    } else {
      visa::AddInstrument(sim_);
    }
    ASSERT_EQ(viOpenDefaultRM(&instrument_.searchResourceManager), VI_SUCCESS);
    ASSERT_EQ(FindInstrument(instrument_), VI_SUCCESS);
    ASSERT_EQ(OpenInstrument(instrument_, instrument_.resourceDescriptors[kDescriptorSlot], &instrument_.session), 0);
  }
  void TearDown() override {
    if (instrument_.session) CloseInstrument(instrument_, &instrument_.session, 1);
    viClose(instrument_.searchResourceManager);
    if (server_) server_->Stop();
    visa::ClearInstruments();
  }

  // Sends the settings, asks for one frame and reads it as the acquisition does.
  std::vector<std::uint8_t> Frame(const std::string& settings, BlockRead& block) {
    WriteBytes(instrument_.session, settings);
    std::string reply;
    Query(instrument_.session, "*OPC?\r", 0.0, 10, reply);
    std::vector<std::uint8_t> frame(kFrameBuffer);
    viSetAttribute(instrument_.session, VI_ATTR_TMO_VALUE, 500);
    WriteBytes(instrument_.session, "ZC:HTTP?\r");
    viSetAttribute(instrument_.session, VI_ATTR_SUPPRESS_END_EN, VI_TRUE);
    block = ReadDefiniteBlock(instrument_.session, frame, true);
    viSetAttribute(instrument_.session, VI_ATTR_TMO_VALUE, kStandingTimeoutMs);
    return frame;
  }

  std::shared_ptr<kvxsim::SimHandle> sim_;
  std::unique_ptr<kvxsim::Server> server_;
  InstrumentSession instrument_;
};

// Writes without a reply may still be on their way through the cable.
template <typename Condition>
bool WaitFor(Condition condition) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return true;
}

TEST_P(SessionOverSimulator, OpenAndCloseWriteExactlyTheirBytes) {
  std::string received;
  const std::string openBytes = "\r*IDN?\rZC:USED 1\rFORM:DATA INT;DINT OFF\r";
  EXPECT_TRUE(WaitFor([&] { return (received += Text(sim_->TakeReceived())).size() >= openBytes.size(); }));
  EXPECT_EQ(received, openBytes);
  EXPECT_TRUE(sim_->Claimed());
  EXPECT_STREQ(instrument_.modelName, "KVX162");
  CloseInstrument(instrument_, &instrument_.session, 1);
  EXPECT_TRUE(WaitFor([&] { return !sim_->Claimed(); }));
  EXPECT_EQ(Text(sim_->TakeReceived()), "ZC:USED 0\r");
}

TEST_P(SessionOverSimulator, FramesFollowTheChannelsZoomAndMeasurements) {
  struct Case {
    const char* settings;
    long mask;
    long flags;
    long points;
  };
  const Case cases[] = {
      {":DISP:TRAC:STAT1 1\r:DISP:TRAC:STAT2 0\r:MEAS:AUTO 0\r", 1, 1, 2500},
      {":DISP:TRAC:STAT1 0\r:DISP:TRAC:STAT2 1\r:MEAS:AUTO 1\r", 2, 3, 2500},
      {":DISP:TRAC:STAT1 1\r:DISP:TRAC:STAT2 1\r:MEAS:AUTO 1\r", 3, 3, 2500},
      {":DISP:TRAC:ZOOM:H 10000,4\r", 3, 3, 5000},
      {":MEAS:AUTO 0\r", 3, 1, 5000},
      {":DISP:TRAC:STAT1 0\r", 2, 1, 5000},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.settings);
    BlockRead block;
    const std::vector<std::uint8_t> frame = Frame(c.settings, block);
    ASSERT_TRUE(block.ok);
    const FrameHeader header = ParseHeader(frame, block.count);
    ASSERT_EQ(header.fields.size(), 15u);
    EXPECT_EQ(header.fields[5], c.mask);
    EXPECT_EQ(header.fields[0], c.flags);
    EXPECT_EQ(header.fields[6], c.points);
    const std::size_t channels = (c.mask & 1) + ((c.mask >> 1) & 1);
    const std::size_t blocksPerChannel = c.points == 5000 ? 2 : 1;
    const std::size_t measurement = (c.flags & 2) ? 96 : 0;
    EXPECT_EQ(block.announced, header.length + channels * blocksPerChannel * 2500 + measurement);
  }
}

INSTANTIATE_TEST_SUITE_P(Backends, SessionOverSimulator, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Tunnel" : "InProcess"; });

}  // namespace
