// Run control, acquisition phases and the instrument's file memory.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "SimTestSupport.h"
#include "platform/os/Clock.h"

namespace kvxsim {
namespace {

using test::Frame;
using test::I16At;
using test::Session;

InstrumentOptions Noisy() {
  InstrumentOptions options;
  options.signals[0].noiseVrms = 0.05;  // every record differs from the last
  return options;
}

TEST(InstrumentRun, RunningAcquiresAndStoppedHoldsTheRecord) {
  Session s(Noisy());
  s.Send(":DISP:TRAC:STAT1 1\r:TRIG:RUN:STAT 1\r");
  const Frame first = s.QueryFrame();
  const Frame second = s.QueryFrame();
  EXPECT_EQ(first.Field(14), 0);
  EXPECT_EQ(first.Field(13), 7);    // triggered, running
  EXPECT_NE(first.data, second.data);

  s.Send(":TRIG:RUN:STAT 0\r");
  const Frame held = s.QueryFrame();
  EXPECT_EQ(held.Field(14), 1);
  EXPECT_EQ(held.Field(13), 0);
  EXPECT_EQ(held.data, second.data);
  EXPECT_EQ(s.QueryFrame().data, second.data);
}

TEST(InstrumentRun, BeforeAnyAcquisitionTheHeldRecordIsAFlatLine) {
  Session s;  // the factory record holds (HOLD)
  s.Send(":DISP:TRAC:STAT1 1\r:MEAS:AUTO 1\r:DISP:TRAC:ZOOM:H 100,2\r");
  const Frame frame = s.QueryFrame();
  EXPECT_EQ(frame.Field(14), 1);
  ASSERT_EQ(frame.data.size(), 2 * 2500u + 96u);
  EXPECT_TRUE(std::all_of(frame.data.begin(), frame.data.begin() + 5000, [](std::uint8_t c) { return c == 128; }));
  EXPECT_EQ(s.Query(":MMEM:STOR:TRAC INT1,\"A.TRC\"\r*WAI\rSYST:ERR?\r"), "0,No error\n");
  EXPECT_EQ(s.QueryBytes(":MMEM:DATA? \"A.TRC\"\r").size(), 100044u);
}

TEST(InstrumentRun, SingleStopsAfterOneTriggeredRecord) {
  Session s(Noisy());
  s.Send(":DISP:TRAC:STAT1 1\r:INIT:NAME EDGE\r");
  EXPECT_EQ(I16At(s.Record(), 8), 0);
  const Frame single = s.QueryFrame();
  EXPECT_EQ(single.Field(14), 1);
  EXPECT_EQ(single.Field(13), 0);
  EXPECT_EQ(I16At(s.Record(), 8), 1);
  EXPECT_EQ(s.QueryFrame().data, single.data);

  // Re-armed with a level the signal never reaches: it waits.
  s.Send(":TRIG:LEV 5\r:INIT:NAME EDGE\r");
  const Frame waiting = s.QueryFrame();
  EXPECT_EQ(waiting.Field(14), 0);
  EXPECT_EQ(waiting.Field(13), 4);
  EXPECT_EQ(waiting.data, single.data);
}

TEST(InstrumentRun, NormalModeWithoutTriggerKeepsTheLastRecord) {
  Session s(Noisy());
  s.Send(":DISP:TRAC:STAT1 1\r:TRIG:RUN:STAT 1\r");
  const Frame last = s.QueryFrame();
  s.Send(":INIT:CONT:NAME EDGE,ON\r:TRIG:ATRIG OFF\r:TRIG:LEV 5\r");
  Frame frame = s.QueryFrame();
  EXPECT_EQ(frame.Field(13), 4);
  EXPECT_EQ(frame.Field(14), 0);
  EXPECT_EQ(frame.data, last.data);
  // Auto mode runs free without a trigger.
  s.Send(":TRIG:ATRIG ON\r");
  frame = s.QueryFrame();
  EXPECT_EQ(frame.Field(13), 6);
  EXPECT_NE(frame.data, last.data);
}

TEST(InstrumentRun, SlowTimebasesShowTheAcquisitionPhases) {
  ScopedManualClock clock;  // nothing here sleeps: only the test moves time
  Session s;
  s.Send(":DISP:TRAC:STAT1 1\r:DISP:TRAC:X:PDIV 20E-3\r:TRIG:RUN:STAT 1\r");  // 0.2 s records
  std::vector<long> phases;
  for (int step = 0; step < 30; ++step) {
    phases.push_back(s.QueryFrame().Field(13));
    clock->Advance(0.01);
  }
  // Pre-trigger filling in three steps, the wait for the trigger after it,
  // post-trigger filling, then the shown record; and round again.
  std::vector<long> distinct;
  for (long phase : phases)
    if (distinct.empty() || distinct.back() != phase) distinct.push_back(phase);
  ASSERT_GE(distinct.size(), 5u);
  EXPECT_EQ(std::vector<long>(distinct.begin(), distinct.begin() + 5), (std::vector<long>{1, 2, 3, 5, 7}));
  for (long phase : phases) EXPECT_TRUE(phase == 1 || phase == 2 || phase == 3 || phase == 5 || phase == 7) << phase;
}

TEST(InstrumentFiles, StoreFetchAndDeleteATrace) {
  Session s;
  s.Send(":ZC:VOLT1:RANG:PTP 8\r:TRIG:RUN:STAT 1\r");
  s.QueryFrame();
  s.Send(":TRIG:RUN:STAT 0\r:ZC:VOLT1:RANG:PTP 9\r");  // the held record was taken at 1 V/div
  EXPECT_EQ(s.Query(":MMEM:STOR:TRAC INT1,\"TEMP_FILE.TRC\"\r*wai\rsyst:err?\r"), "0,No error\n");

  const test::Bytes reply = s.QueryBytes(":MMEM:DATA? \"temp_file.trc\"\r");
  ASSERT_EQ(reply.size(), 8u + 100034u + 2u);
  EXPECT_EQ(test::ToText(test::Bytes(reply.begin(), reply.begin() + 8)), "#6100034");
  test::Bytes file;
  ASSERT_TRUE(test::BlockData(reply, file));
  EXPECT_EQ(file[3], 15);   // 100 us/div
  EXPECT_EQ(file[23], 8);   // the sensitivity the record was taken at
  EXPECT_EQ(file[30], 'V');

  s.Send(":MMEM:DEL \"TEMP_FILE.TRC\"\r");
  EXPECT_EQ(s.Query("SYST:ERR?\r"), "0,No error\n");
  EXPECT_EQ(test::ToText(s.QueryBytes(":MMEM:DATA? \"TEMP_FILE.TRC\"\r")), "#10\r\n");
  EXPECT_EQ(s.Query("SYST:ERR?\r"), "-256,\"File name not found\"\n");
  s.Send(":MMEM:DEL \"TEMP_FILE.TRC\"\r");
  EXPECT_EQ(s.Query("SYST:ERR?\r"), "-256,\"File name not found\"\n");

  EXPECT_EQ(s.Query(":MMEM:STOR:TRAC INT3,\"X.TRC\"\r*wai\rsyst:err?\r"), "-224,\"Illegal parameter value\"\n");
}

TEST(InstrumentFiles, TheFileMemoryIsBounded) {
  Session s;
  for (int i = 0; i < 40; ++i) s.Send(":MMEM:STOR:TRAC INT2,\"F" + std::to_string(i) + ".TRC\"\r");
  for (int i = 0; i < 32; ++i) EXPECT_EQ(s.QueryBytes(":MMEM:DATA? \"F" + std::to_string(i) + ".TRC\"\r").size(), 100044u);
  EXPECT_EQ(s.Query("SYST:ERR?\r"), "-255,\"Directory full\"\n");
  // Overwriting an existing name needs no room.
  s.Send("*CLS\r:MMEM:STOR:TRAC INT1,\"F0.TRC\"\r");
  EXPECT_EQ(s.Query("SYST:ERR?\r"), "0,No error\n");
}

}  // namespace
}  // namespace kvxsim
