// Sessions and the test faults of the simulated instrument.
#include <gtest/gtest.h>

#include <thread>

#include "SimTestSupport.h"
#include "platform/os/Clock.h"
#include "sim/SimulatedInstrument.h"

namespace kvxsim {
namespace {

using test::Session;
using visa::LinkResult;

const std::string kIdn = "KVX162, v1.23/A1/ZC, KVX0001\n";

TEST(InstrumentSessions, OneSessionAtATime) {
  ScopedManualClock clock;
  Session s;
  std::unique_ptr<visa::DeviceLink> second;
  EXPECT_EQ(s.Handle().Open(second), VI_ERROR_RSRC_BUSY);
  EXPECT_EQ(second, nullptr);
  s.Send("*IDN?\r");  // a reply left behind is not for the next session
  s.Close();
  ASSERT_EQ(s.Handle().Open(second), VI_SUCCESS);
  test::Bytes out;
  bool end = false;
  EXPECT_EQ(second->Receive(out, end, test::milliseconds(50)), LinkResult::Timeout);
  const test::Bytes query = test::ToBytes("*IDN?\r");
  EXPECT_EQ(second->Send(query.data(), query.size(), test::milliseconds(5000)), LinkResult::Ok);
  EXPECT_EQ(second->Receive(out, end, test::milliseconds(5000)), LinkResult::Ok);
  EXPECT_EQ(test::ToText(out), kIdn);
}

TEST(InstrumentFaults, DropCorruptTruncateAndOversize) {
  ScopedManualClock clock;
  Session s;
  Faults faults;
  faults.dropReplies = 1;
  s.Handle().SetFaults(faults);
  s.Send("*IDN?\r");
  EXPECT_TRUE(s.Receive(test::milliseconds(100)).empty());
  EXPECT_EQ(s.LastResult(), LinkResult::Timeout);
  EXPECT_EQ(s.Query("*IDN?\r"), kIdn);

  faults = Faults{};
  faults.corruptPrefix = 1;
  s.Handle().SetFaults(faults);
  EXPECT_EQ(s.Query("*IDN?\r"), kIdn);  // text replies are not blocks
  test::Bytes reply = s.QueryBytes(":SYST:SET?\r");
  ASSERT_EQ(reply.size(), 579u);
  EXPECT_EQ(reply[0], '$');
  EXPECT_EQ(s.QueryBytes(":SYST:SET?\r")[0], '#');

  faults = Faults{};
  faults.truncateBlocks = 1;
  s.Handle().SetFaults(faults);
  EXPECT_EQ(s.QueryBytes(":SYST:SET?\r").size(), 289u);

  faults = Faults{};
  faults.oversizeBlocks = -1;
  s.Handle().SetFaults(faults);
  for (int i = 0; i < 2; ++i) {
    reply = s.QueryBytes(":SYST:SET?\r");
    ASSERT_EQ(reply.size(), 11u + 572u + 2u);
    EXPECT_EQ(test::ToText(test::Bytes(reply.begin(), reply.begin() + 11)), "#9999999999");
  }
  EXPECT_EQ(s.Handle().Engine().CurrentFaults().oversizeBlocks, -1);
}

TEST(InstrumentFaults, StalledRepliesComeLateAndInOrder) {
  ScopedManualClock clock;
  Session s;
  Faults faults;
  faults.stallReplies = 1;
  faults.stallMs = 1500;
  s.Handle().SetFaults(faults);
  const double sent = CurrentClock().Now();
  s.Send("*IDN?\r*OPC?\r");
  EXPECT_TRUE(s.Receive(test::milliseconds(100)).empty());
  EXPECT_EQ(s.LastResult(), LinkResult::Timeout);
  EXPECT_NEAR(CurrentClock().Now() - sent, 0.1, 1e-9);
  EXPECT_EQ(test::ToText(s.Receive()), kIdn);
  EXPECT_NEAR(CurrentClock().Now() - sent, 1.5, 1e-9) << "the reply comes when its stall is over, not before";
  // The reply queued behind it was due long ago and waits for nothing.
  EXPECT_EQ(test::ToText(s.Receive()), "1\n");
  EXPECT_NEAR(CurrentClock().Now() - sent, 1.5, 1e-9);
}

TEST(InstrumentFaults, DisconnectLosesTheLinkUntilReopened) {
  Session s;
  Faults faults;
  faults.disconnectAfterReplies = 2;
  s.Handle().SetFaults(faults);
  EXPECT_EQ(s.Query("*IDN?\r"), kIdn);
  EXPECT_EQ(s.Query("*OPC?\r"), "1\n");
  EXPECT_EQ(s.Send("*IDN?\r"), LinkResult::Lost);
  s.Receive(test::milliseconds(100));
  EXPECT_EQ(s.LastResult(), LinkResult::Lost);
  // The dead link still holds the instrument until it is let go.
  std::unique_ptr<visa::DeviceLink> other;
  EXPECT_EQ(s.Handle().Open(other), VI_ERROR_RSRC_BUSY);
  s.Close();
  ASSERT_TRUE(s.Reopen());
  EXPECT_EQ(s.Query("*IDN?\r"), kIdn);
  EXPECT_EQ(s.Query("*IDN?\r"), kIdn);
}

TEST(InstrumentFaults, DisconnectWakesAWaitingReader) {
  ScopedManualClock clock(ManualClock::Mode::Manual);
  Session s;
  const double start = CurrentClock().Now();
  std::thread reader([&] { s.Receive(test::milliseconds(20000)); });
  ASSERT_TRUE(clock->WaitForSleepers(1));
  Faults faults;
  faults.disconnectAfterReplies = 0;
  s.Handle().SetFaults(faults);
  reader.join();
  EXPECT_EQ(s.LastResult(), LinkResult::Lost);
  EXPECT_EQ(CurrentClock().Now(), start) << "woken by the disconnect, not by its timeout";
}

TEST(InstrumentFaults, SignalsAndFaultsMayChangeWhileASessionTalks) {
  Session s;
  s.Send(":DISP:TRAC:STAT1 1\r:TRIG:RUN:STAT 1\r");
  std::thread steering([&] {
    for (int i = 0; i < 50; ++i) {
      s.Handle().SetSignal(0, SignalSpec{Waveform::Sine, 1000.0 + i, 2.0, 0.0, 0.01});
      s.Handle().SetFaults(Faults{});
      s.Handle().SetupRecord();
    }
  });
  for (int i = 0; i < 20; ++i) EXPECT_EQ(s.QueryFrame().Field(14), 0);
  steering.join();
}

}  // namespace
}  // namespace kvxsim
