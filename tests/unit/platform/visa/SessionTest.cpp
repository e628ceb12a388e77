#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <thread>

#include "platform/os/Clock.h"
#include "platform/os/Timing.h"
#include "platform/visa/Visa.h"
#include "unit/platform/visa/FakeInstrument.h"

namespace {

using namespace std::chrono_literals;
constexpr const char* kDescriptor = "USB0::0x2177::0x1004::FAKE1::RAW";
// Seconds on the test clock are sums of doubles.
constexpr double kRounding = 1e-9;

class SessionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fake_ = visatest::InstallFake(kDescriptor);
    ASSERT_EQ(viOpenDefaultRM(&rm_), VI_SUCCESS);
    ASSERT_EQ(viOpen(rm_, kDescriptor, VI_EXCLUSIVE_LOCK, 0, &vi_), VI_SUCCESS);
  }
  void TearDown() override {
    viClose(rm_);
    visa::ClearInstruments();
  }
  visatest::ReadResult Read(ViUInt32 count) { return visatest::ReadText(vi_, count); }
  void Push(const std::string& bytes, bool end = true) { fake_->Wire().Push(bytes, end); }

  std::shared_ptr<visatest::FakeInstrument> fake_;
  ViSession rm_ = 0, vi_ = 0;
};

using Result = visatest::ReadResult;

TEST_F(SessionTest, ReadStopsAtEndOfMessage) {
  Push("HELLO");
  EXPECT_EQ(Read(100), Result(VI_SUCCESS, "HELLO"));
  // A message in several pieces is gathered until its END.
  Push("AB", false);
  Push("CD", false);
  Push("EF");
  Push("NEXT");
  EXPECT_EQ(Read(100), Result(VI_SUCCESS, "ABCDEF"));
  EXPECT_EQ(Read(100), Result(VI_SUCCESS, "NEXT"));
  // END as a zero-length piece.
  Push("GH", false);
  Push("", true);
  EXPECT_EQ(Read(100), Result(VI_SUCCESS, "GH"));
}

TEST_F(SessionTest, FullCountReturnsMaxCntAndKeepsTheRest) {
  Push("ABCDEFGH");
  EXPECT_EQ(Read(3), Result(VI_SUCCESS_MAX_CNT, "ABC"));
  EXPECT_EQ(Read(3), Result(VI_SUCCESS_MAX_CNT, "DEF"));
  EXPECT_EQ(Read(3), Result(VI_SUCCESS, "GH"));
  // The last byte is both the count and END: END wins.
  Push("ABCD");
  EXPECT_EQ(Read(4), Result(VI_SUCCESS, "ABCD"));
}

TEST_F(SessionTest, SuppressEndReadsAcrossMessages) {
  ASSERT_EQ(viSetAttribute(vi_, VI_ATTR_SUPPRESS_END_EN, VI_TRUE), VI_SUCCESS);
  Push("AB");
  Push("CD");
  Push("EF");
  EXPECT_EQ(Read(5), Result(VI_SUCCESS_MAX_CNT, "ABCDE"));
  ASSERT_EQ(viSetAttribute(vi_, VI_ATTR_SUPPRESS_END_EN, VI_FALSE), VI_SUCCESS);
  EXPECT_EQ(Read(5), Result(VI_SUCCESS, "F"));
}

TEST_F(SessionTest, TimeoutReturnsWhatArrived) {
  ScopedManualClock clock;
  ASSERT_EQ(viSetAttribute(vi_, VI_ATTR_TMO_VALUE, 100), VI_SUCCESS);
  Push("AB", false);
  double start = Timer();
  EXPECT_EQ(Read(10), Result(VI_ERROR_TMO, "AB"));
  EXPECT_GE(Timer() - start, 0.1 - kRounding) << "gave up before its timeout";
  start = Timer();
  EXPECT_EQ(Read(10), Result(VI_ERROR_TMO, ""));
  EXPECT_GE(Timer() - start, 0.1 - kRounding);
  ASSERT_EQ(viSetAttribute(vi_, VI_ATTR_SUPPRESS_END_EN, VI_TRUE), VI_SUCCESS);
  Push("CD");
  EXPECT_EQ(Read(10), Result(VI_ERROR_TMO, "CD"));
  ASSERT_EQ(viSetAttribute(vi_, VI_ATTR_TMO_VALUE, VI_TMO_IMMEDIATE), VI_SUCCESS);
  Push("EF");
  start = Timer();
  EXPECT_EQ(Read(2), Result(VI_SUCCESS_MAX_CNT, "EF"));
  EXPECT_EQ(Read(2), Result(VI_ERROR_TMO, ""));
  EXPECT_EQ(Timer(), start) << "an immediate timeout waits for nothing";
}

TEST_F(SessionTest, TimeoutCoversTheWholeCall) {
  // A device that trickles bytes without END must not keep a read alive
  // past its timeout: one byte per 20 ms of the test's clock.
  ScopedManualClock clock(ManualClock::Mode::Manual);
  ASSERT_EQ(viSetAttribute(vi_, VI_ATTR_TMO_VALUE, 300), VI_SUCCESS);
  const double start = Timer();
  auto reading = std::async(std::launch::async, [this] { return Read(100000); });
  // The reader waits for the next byte (or has given up).
  auto readerWaits = [&] {
    for (int i = 0; i < 5000; ++i) {
      if (clock->WaitForSleepers(1, 1ms)) return true;
      if (reading.wait_for(0s) == std::future_status::ready) return false;
    }
    return false;
  };
  int pushed = 0;
  for (; pushed < 1000 && readerWaits(); ++pushed) {
    clock->Advance(0.02);
    Push("x", false);
  }
  if (reading.wait_for(5s) != std::future_status::ready) fake_->Wire().Lose();
  auto [status, text] = reading.get();
  EXPECT_EQ(status, VI_ERROR_TMO);
  EXPECT_GE(text.size(), 14u);
  EXPECT_LE(text.size(), 16u) << "read on past the timeout";
  EXPECT_GE(Timer() - start, 0.3 - kRounding);
  EXPECT_LT(Timer() - start, 0.35);
}

// A backend that says Timeout has waited all it was given, whatever the
// session's clock says; only an infinite read asks again.
TEST_F(SessionTest, TimeoutFromTheLinkEndsAFiniteReadAtOnce) {
  ScopedManualClock clock(ManualClock::Mode::Manual);  // stands still: the session's deadline never comes
  fake_->Wire().SetInstantTimeouts(1 << 30);
  ASSERT_EQ(viSetAttribute(vi_, VI_ATTR_TMO_VALUE, 60000), VI_SUCCESS);
  auto reading = std::async(std::launch::async, [this] { return Read(10); });
  const bool finished = reading.wait_for(5s) == std::future_status::ready;
  if (!finished) fake_->Wire().Lose();  // ends the spin so the test can report it
  EXPECT_TRUE(finished);
  EXPECT_EQ(reading.get(), Result(VI_ERROR_TMO, ""));
  EXPECT_EQ(fake_->Wire().Receives(), 1);

  fake_->Wire().SetInstantTimeouts(3);
  Push("LATE");
  ASSERT_EQ(viSetAttribute(vi_, VI_ATTR_TMO_VALUE, VI_TMO_INFINITE), VI_SUCCESS);
  EXPECT_EQ(Read(10), Result(VI_SUCCESS, "LATE"));
  EXPECT_EQ(fake_->Wire().Receives(), 1 + 4);
}

TEST_F(SessionTest, LostLinkIsReported) {
  Push("AB", false);
  fake_->Wire().Lose();
  EXPECT_EQ(Read(10), Result(VI_ERROR_CONN_LOST, "AB"));
  ViUInt32 written = 77;
  EXPECT_EQ(viWrite(vi_, reinterpret_cast<ViConstBuf>("X\r"), 2, &written), VI_ERROR_CONN_LOST);
  EXPECT_EQ(written, 0u);
}

TEST_F(SessionTest, WriteSendsExactBytesOnce) {
  const char cmd[] = "\r*IDN?\r";
  ViUInt32 written = 0;
  ASSERT_EQ(viWrite(vi_, reinterpret_cast<ViConstBuf>(cmd), 7, &written), VI_SUCCESS);
  EXPECT_EQ(written, 7u);
  const std::string binary("#3\x00\r\x01", 5);
  ASSERT_EQ(viWrite(vi_, reinterpret_cast<ViConstBuf>(binary.data()), 5, &written), VI_SUCCESS);
  EXPECT_EQ(fake_->Wire().Sent(), (std::vector<std::string>{"\r*IDN?\r", binary}));
}

TEST_F(SessionTest, FlushDiscardsTheCurrentMessage) {
  ScopedManualClock clock;
  Push("ABCDEF");
  EXPECT_EQ(Read(2), Result(VI_SUCCESS_MAX_CNT, "AB"));
  EXPECT_EQ(viFlush(vi_, VI_READ_BUF), VI_SUCCESS);
  Push("XY");
  EXPECT_EQ(Read(10), Result(VI_SUCCESS, "XY"));
  // END not yet arrived: the flush reads on until it does.
  Push("AB", false);
  EXPECT_EQ(Read(1), Result(VI_SUCCESS_MAX_CNT, "A"));
  Push("CD");
  Push("NEXT");
  EXPECT_EQ(viFlush(vi_, VI_READ_BUF), VI_SUCCESS);
  EXPECT_EQ(Read(10), Result(VI_SUCCESS, "NEXT"));
  // ... and gives up at the timeout.
  ASSERT_EQ(viSetAttribute(vi_, VI_ATTR_TMO_VALUE, 100), VI_SUCCESS);
  Push("ZZ", false);
  EXPECT_EQ(Read(1), Result(VI_SUCCESS_MAX_CNT, "Z"));
  const double start = Timer();
  EXPECT_EQ(viFlush(vi_, VI_READ_BUF), VI_ERROR_TMO);
  EXPECT_GE(Timer() - start, 0.1 - kRounding);
  // The message is still unfinished, so the next flush takes its tail.
  Push("ZZ-tail");
  EXPECT_EQ(viFlush(vi_, VI_READ_BUF), VI_SUCCESS);
  Push("Q");
  EXPECT_EQ(Read(10), Result(VI_SUCCESS, "Q"));
  // Nothing pending: immediate success; the write side holds nothing.
  EXPECT_EQ(viFlush(vi_, VI_READ_BUF), VI_SUCCESS);
  EXPECT_EQ(viFlush(vi_, VI_WRITE_BUF), VI_SUCCESS);
  EXPECT_EQ(viFlush(vi_, 0x40), VI_ERROR_INV_MASK);
}

TEST_F(SessionTest, AttributesRoundTrip) {
  ViUInt32 tmo = 0;
  ASSERT_EQ(viGetAttribute(vi_, VI_ATTR_TMO_VALUE, &tmo), VI_SUCCESS);
  EXPECT_EQ(tmo, kVisaDefaultTimeoutMs);
  ASSERT_EQ(viSetAttribute(vi_, VI_ATTR_TMO_VALUE, 3000), VI_SUCCESS);
  ASSERT_EQ(viGetAttribute(vi_, VI_ATTR_TMO_VALUE, &tmo), VI_SUCCESS);
  EXPECT_EQ(tmo, 3000u);
  ASSERT_EQ(viSetAttribute(vi_, VI_ATTR_TMO_VALUE, VI_TMO_INFINITE), VI_SUCCESS);
  ViUInt16 v = 9;
  ASSERT_EQ(viGetAttribute(vi_, VI_ATTR_SUPPRESS_END_EN, &v), VI_SUCCESS);
  EXPECT_EQ(v, VI_FALSE);
  for (ViAttr mode : {VI_ATTR_WR_BUF_OPER_MODE, VI_ATTR_RD_BUF_OPER_MODE}) {
    EXPECT_EQ(viSetAttribute(vi_, mode, VI_FLUSH_ON_ACCESS), VI_SUCCESS);
    EXPECT_EQ(viGetAttribute(vi_, mode, &v), VI_SUCCESS);
    EXPECT_EQ(v, VI_FLUSH_ON_ACCESS);
    EXPECT_EQ(viSetAttribute(vi_, mode, 7), VI_ERROR_NSUP_ATTR_STATE);
  }
  EXPECT_EQ(viSetAttribute(vi_, VI_ATTR_SUPPRESS_END_EN, 2), VI_ERROR_NSUP_ATTR_STATE);
  EXPECT_EQ(viSetAttribute(vi_, 0x3FFF0001u, 1), VI_ERROR_NSUP_ATTR);
  EXPECT_EQ(viSetAttribute(vi_, VI_ATTR_MODEL_CODE, 1), VI_ERROR_NSUP_ATTR);
  ASSERT_EQ(viGetAttribute(vi_, VI_ATTR_MANF_ID, &v), VI_SUCCESS);
  EXPECT_EQ(v, 0x2177);
  ASSERT_EQ(viGetAttribute(vi_, VI_ATTR_MODEL_CODE, &v), VI_SUCCESS);
  EXPECT_EQ(v, 0x1004);
  EXPECT_EQ(viSetBuf(vi_, VI_READ_BUF | VI_WRITE_BUF, 50000), VI_SUCCESS);
  EXPECT_EQ(viSetBuf(vi_, 0x10, 50000), VI_ERROR_INV_MASK);
  // A reopened session starts from the defaults again.
  ASSERT_EQ(viClose(vi_), VI_SUCCESS);
  ASSERT_EQ(viOpen(rm_, kDescriptor, VI_EXCLUSIVE_LOCK, 0, &vi_), VI_SUCCESS);
  ASSERT_EQ(viGetAttribute(vi_, VI_ATTR_TMO_VALUE, &tmo), VI_SUCCESS);
  EXPECT_EQ(tmo, kVisaDefaultTimeoutMs);
}

TEST_F(SessionTest, ExclusiveLock) {
  ViSession other = 0, rm2 = 0;
  ASSERT_EQ(viOpenDefaultRM(&rm2), VI_SUCCESS);
  EXPECT_NE(rm2, rm_);
  EXPECT_EQ(viOpen(rm_, kDescriptor, VI_EXCLUSIVE_LOCK, 0, &other), VI_ERROR_RSRC_BUSY);
  EXPECT_EQ(viOpen(rm2, "usb0::0x2177::0x1004::fake1::raw", VI_EXCLUSIVE_LOCK, 0, &other), VI_ERROR_RSRC_BUSY);
  EXPECT_EQ(other, VI_NULL);
  ASSERT_EQ(viClose(vi_), VI_SUCCESS);
  ASSERT_EQ(viOpen(rm2, "usb0::0x2177::0x1004::fake1::raw", VI_EXCLUSIVE_LOCK, 0, &vi_), VI_SUCCESS);
  // Closing a resource manager releases its sessions.
  ASSERT_EQ(viClose(rm2), VI_SUCCESS);
  EXPECT_EQ(viRead(vi_, nullptr, 0, nullptr), VI_ERROR_INV_OBJECT);
  EXPECT_EQ(viOpen(rm_, kDescriptor, VI_EXCLUSIVE_LOCK, 0, &vi_), VI_SUCCESS);
  EXPECT_EQ(viOpen(rm_, "USB0::0x2177::0x1004::NOPE::RAW", VI_EXCLUSIVE_LOCK, 0, &other), VI_ERROR_RSRC_NFOUND);
  EXPECT_EQ(viOpen(rm_, kDescriptor, 0x40, 0, &other), VI_ERROR_INV_ACC_MODE);
}

TEST_F(SessionTest, BusyInAnotherProcessAndConcurrentOpens) {
  ASSERT_EQ(viClose(vi_), VI_SUCCESS);
  fake_->Wire().busyElsewhere = true;
  EXPECT_EQ(viOpen(rm_, kDescriptor, VI_EXCLUSIVE_LOCK, 0, &vi_), VI_ERROR_RSRC_BUSY);
  fake_->Wire().busyElsewhere = false;
  // Several threads race for the instrument: exactly one wins.
  std::atomic<int> wins{0}, busy{0};
  std::vector<std::thread> threads;
  std::vector<ViSession> managers(6, 0);
  for (std::size_t i = 0; i < managers.size(); ++i) {
    threads.emplace_back([&, i] {
      ViSession session = 0;
      viOpenDefaultRM(&managers[i]);
      ViStatus s = viOpen(managers[i], kDescriptor, VI_EXCLUSIVE_LOCK, 0, &session);
      (s == VI_SUCCESS ? wins : busy)++;
    });
  }
  for (auto& t : threads) t.join();
  EXPECT_EQ(wins, 1);
  EXPECT_EQ(busy, 5);
  for (ViSession rm : managers) EXPECT_EQ(viClose(rm), VI_SUCCESS);
  EXPECT_EQ(viOpen(rm_, kDescriptor, VI_EXCLUSIVE_LOCK, 0, &vi_), VI_SUCCESS);
}

TEST_F(SessionTest, StaleHandlesAreRejected) {
  const ViSession old = vi_;
  ASSERT_EQ(viClose(vi_), VI_SUCCESS);
  ViByte buf[4];
  ViUInt32 n = 5;
  EXPECT_EQ(viRead(old, buf, 4, &n), VI_ERROR_INV_OBJECT);
  EXPECT_EQ(n, 0u);
  EXPECT_EQ(viWrite(old, buf, 4, &n), VI_ERROR_INV_OBJECT);
  EXPECT_EQ(viSetAttribute(old, VI_ATTR_TMO_VALUE, 1), VI_ERROR_INV_OBJECT);
  EXPECT_EQ(viFlush(old, VI_READ_BUF), VI_ERROR_INV_OBJECT);
  EXPECT_EQ(viClose(old), VI_ERROR_INV_OBJECT);
  EXPECT_EQ(viOpen(old, kDescriptor, VI_EXCLUSIVE_LOCK, 0, &vi_), VI_ERROR_INV_OBJECT);
  // New objects never take an old number.
  for (int i = 0; i < 50; ++i) {
    ASSERT_EQ(viOpen(rm_, kDescriptor, VI_EXCLUSIVE_LOCK, 0, &vi_), VI_SUCCESS);
    EXPECT_NE(vi_, old);
    EXPECT_NE(vi_, rm_);
    ASSERT_EQ(viClose(vi_), VI_SUCCESS);
  }
  EXPECT_EQ(viSetAttribute(rm_, VI_ATTR_TMO_VALUE, 1), VI_ERROR_NSUP_ATTR);
}

TEST_F(SessionTest, TwoThreadsTakeTurnsOnOneSession) {
  // Stands in for the program's link-busy flag: one exchange at a time,
  // while attribute changes from the other side need no turn.
  std::atomic<bool> busy{false};
  std::atomic<int> mismatches{0};
  auto exchanges = [&](char tag) {
    for (int i = 0; i < 100; ++i) {
      while (busy.exchange(true)) std::this_thread::yield();
      const std::string query(1, tag);
      ViUInt32 n = 0;
      viWrite(vi_, reinterpret_cast<ViConstBuf>(query.data()), 1, &n);
      Push(query + "-reply");
      ViByte buf[32];
      if (viRead(vi_, buf, sizeof buf, &n) != VI_SUCCESS || std::string(reinterpret_cast<char*>(buf), n) != query + "-reply")
        ++mismatches;
      busy = false;
      viSetAttribute(vi_, VI_ATTR_TMO_VALUE, 500 + i);
    }
  };
  std::thread a(exchanges, 'a'), b(exchanges, 'b');
  a.join();
  b.join();
  EXPECT_EQ(mismatches, 0);
  EXPECT_EQ(fake_->Wire().Sent().size(), 200u);
}

}  // namespace
