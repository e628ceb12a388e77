// The program's session against kvx-sim running as its own process, over the
// virtual USB cable: open, exclusive claim, a pulled cable and recovery.
#include <gtest/gtest.h>

#include <string>

#include "link/InstrumentSession.h"
#include "link/Transport.h"
#include "platform/visa/Backend.h"
#include "support/KvxSimProcess.h"

namespace {

class KvxSimProcessTest : public ::testing::Test {
 protected:
  void SetUp() override {
    visa::ClearInstruments();
    visa::EnableUsbSearch(false);
    ASSERT_TRUE(server_.Start());
    visa::AddTunnelInstrument("127.0.0.1", server_.Port());
    ASSERT_EQ(viOpenDefaultRM(&instrument_.searchResourceManager), VI_SUCCESS);
  }
  void TearDown() override {
    if (instrument_.session) CloseInstrument(instrument_, &instrument_.session, 1);
    viClose(instrument_.searchResourceManager);
    visa::ClearInstruments();
  }

  testsupport::KvxSimProcess server_;
  InstrumentSession instrument_;
};

TEST_F(KvxSimProcessTest, OpensOverTheTunnelAndHoldsTheClaim) {
  ASSERT_EQ(FindInstrument(instrument_), VI_SUCCESS);
  EXPECT_EQ(std::string(instrument_.resourceDescriptors[kDescriptorSlot]),
            "USB0::0x2177::0x1004::TUNNEL" + std::to_string(server_.Port()) + "::RAW");
  ASSERT_EQ(OpenInstrument(instrument_, instrument_.resourceDescriptors[kDescriptorSlot], &instrument_.session), 0);
  EXPECT_STREQ(instrument_.modelName, "KVX162");
  EXPECT_EQ(instrument_.modelNumber, 162);

  InstrumentSession second;
  EXPECT_EQ(OpenInstrument(second, instrument_.resourceDescriptors[kDescriptorSlot], &second.session), -1);

  std::string reply;
  EXPECT_EQ(Query(instrument_.session, "*WAI\r:SYST:AUTOTEST?\r", 0.0, 50, reply), VI_SUCCESS);
  EXPECT_EQ(reply, "333F\n");
}

TEST_F(KvxSimProcessTest, KilledServerFailsTheNextExchangeAndReopenRecovers) {
  ASSERT_EQ(FindInstrument(instrument_), VI_SUCCESS);
  ASSERT_EQ(OpenInstrument(instrument_, instrument_.resourceDescriptors[kDescriptorSlot], &instrument_.session), 0);
  const std::uint16_t port = server_.Port();
  server_.Kill();

  std::string reply;
  EXPECT_LT(Query(instrument_.session, "*OPC?\r", 0.0, 10, reply), 0);
  EXPECT_TRUE(reply.empty());

  // Still gone: reopening fails, and so does the exchange after it.
  viSetAttribute(instrument_.session, VI_ATTR_TMO_VALUE, 500);
  ReopenSession(instrument_);
  EXPECT_LT(Query(instrument_.session, "*OPC?\r", 0.0, 10, reply), 0);

  testsupport::KvxSimProcess restarted;
  ASSERT_TRUE(restarted.Start(port));
  ReopenSession(instrument_);
  ASSERT_NE(instrument_.session, 0u);
  EXPECT_EQ(Query(instrument_.session, "*OPC?\r", 0.0, 10, reply), VI_SUCCESS);
  EXPECT_EQ(reply, "1\n");
}

}  // namespace
