// The program's session against kvx-sim running as its own process, over the
// virtual USB cable: open, exclusive claim, a pulled cable and recovery.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <vector>

#include "link/InstrumentSession.h"
#include "link/Transport.h"
#include "platform/os/Clock.h"
#include "platform/os/Timing.h"
#include "platform/visa/Backend.h"
#include "platform/visa/CableFraming.h"
#include "support/KvxSimProcess.h"

namespace {

// Another program's connection to the server, as a second process would hold it.
int ConnectAsAnotherProgram(std::uint16_t port, std::string& greeting) {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(port);
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    close(fd);
    return -1;
  }
  std::vector<std::uint8_t> frame;
  if (visa::ReadCableFrame(fd, frame, std::chrono::seconds(2)) == visa::CableRead::Ok)
    greeting.assign(frame.begin(), frame.end());
  return fd;
}

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

TEST_F(KvxSimProcessTest, AnInstrumentHeldByAnotherProgramCannotBeOpened) {
  std::string greeting;
  const int other = ConnectAsAnotherProgram(server_.Port(), greeting);
  ASSERT_GE(other, 0);
  EXPECT_EQ(greeting, "OPEN");
  ASSERT_EQ(FindInstrument(instrument_), VI_SUCCESS);
  EXPECT_EQ(OpenInstrument(instrument_, instrument_.resourceDescriptors[kDescriptorSlot], &instrument_.session), -1);
  EXPECT_EQ(instrument_.resourceManager, 0u);

  // Once the other program lets go, the instrument is ours.
  close(other);
  ViStatus status = -1;
  for (int attempt = 0; attempt < 50 && status != 0; ++attempt) {
    status = OpenInstrument(instrument_, instrument_.resourceDescriptors[kDescriptorSlot], &instrument_.session);
    if (status != 0) usleep(20000);
  }
  EXPECT_EQ(status, 0);
  EXPECT_STREQ(instrument_.modelName, "KVX162");
}

TEST_F(KvxSimProcessTest, KilledServerFailsTheNextExchangeAndReopenRecovers) {
  // The reopen's pauses on the test's clock; the cable stays real.
  ScopedManualClock clock;
  ASSERT_EQ(FindInstrument(instrument_), VI_SUCCESS);
  ASSERT_EQ(OpenInstrument(instrument_, instrument_.resourceDescriptors[kDescriptorSlot], &instrument_.session), 0);
  const std::uint16_t port = server_.Port();
  server_.Kill();

  std::string reply;
  EXPECT_LT(Query(instrument_.session, "*OPC?\r", 0.0, 10, reply), 0);
  EXPECT_TRUE(reply.empty());

  // Still gone: reopening fails, and so does the exchange after it.
  viSetAttribute(instrument_.session, VI_ATTR_TMO_VALUE, 500);
  double start = Timer();
  ReopenSession(instrument_);
  EXPECT_DOUBLE_EQ(Timer() - start, 2.0) << "a second before and after the close";
  EXPECT_LT(Query(instrument_.session, "*OPC?\r", 0.0, 10, reply), 0);

  testsupport::KvxSimProcess restarted;
  ASSERT_TRUE(restarted.Start(port));
  start = Timer();
  ReopenSession(instrument_);
  EXPECT_DOUBLE_EQ(Timer() - start, 2.0);
  ASSERT_NE(instrument_.session, 0u);
  EXPECT_EQ(Query(instrument_.session, "*OPC?\r", 0.0, 10, reply), VI_SUCCESS);
  EXPECT_EQ(reply, "1\n");
}

bool HasIpv6Loopback() {
  const int fd = socket(AF_INET6, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in6 address{};
  address.sin6_family = AF_INET6;
  address.sin6_addr = in6addr_loopback;
  const bool usable = fd >= 0 && bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
  if (fd >= 0) close(fd);
  return usable;
}

TEST(KvxSimOverIpv6, ServesTheTunnelOnTheIpv6Loopback) {
  if (!HasIpv6Loopback()) GTEST_SKIP() << "no IPv6 loopback here";
  testsupport::KvxSimProcess server;
  ASSERT_TRUE(server.Start(0, {}, "[::1]")) << server.Announcement();
  EXPECT_EQ(server.Announcement(), "listening on [::1]:" + std::to_string(server.Port()));

  visa::ClearInstruments();
  visa::EnableUsbSearch(false);
  visa::AddTunnelInstrument("::1", server.Port());
  InstrumentSession instrument;
  ASSERT_EQ(viOpenDefaultRM(&instrument.searchResourceManager), VI_SUCCESS);
  ASSERT_EQ(FindInstrument(instrument), VI_SUCCESS);
  EXPECT_EQ(OpenInstrument(instrument, instrument.resourceDescriptors[kDescriptorSlot], &instrument.session), 0);
  EXPECT_STREQ(instrument.modelName, "KVX162");
  if (instrument.session) CloseInstrument(instrument, &instrument.session, 1);
  viClose(instrument.searchResourceManager);
  visa::ClearInstruments();
}

}  // namespace
