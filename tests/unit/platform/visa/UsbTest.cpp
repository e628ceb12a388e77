#include <gtest/gtest.h>

#include <deque>

#include "platform/visa/UsbBackend.h"
#include "platform/visa/Visa.h"
#include "unit/platform/visa/FakeInstrument.h"

namespace {

using namespace std::chrono_literals;
using visa::LinkResult;
using visa::UsbBulkTransfer;
using Step = std::pair<UsbBulkTransfer::Result, std::size_t>;  // result, bytes delivered

// Replays scripted bulk IN completions; data bytes count up from 0.
class FakeTransfer : public UsbBulkTransfer {
 public:
  FakeTransfer(std::size_t maxPacket, std::deque<Step> steps) : maxPacket_(maxPacket), steps_(std::move(steps)) {}
  std::size_t MaxPacketSize() const override { return maxPacket_; }
  Result BulkOut(const std::uint8_t* data, std::size_t count, std::size_t& sent,
                 std::chrono::milliseconds timeout) override {
    written.emplace_back(data, data + count);
    writeTimeouts.push_back(timeout);
    sent = count;
    return Result::Ok;
  }
  Result BulkIn(std::uint8_t* buf, std::size_t capacity, std::size_t& got, std::chrono::milliseconds) override {
    capacities.push_back(capacity);
    if (steps_.empty()) return Result::Timeout;
    auto [result, bytes] = steps_.front();
    steps_.pop_front();
    got = std::min(bytes, capacity);
    for (std::size_t i = 0; i < got; ++i) buf[i] = static_cast<std::uint8_t>(next_++);
    return result;
  }

  std::vector<std::vector<std::uint8_t>> written;
  std::vector<std::chrono::milliseconds> writeTimeouts;
  std::vector<std::size_t> capacities;

 private:
  std::size_t maxPacket_;
  std::deque<Step> steps_;
  unsigned next_ = 0;
};

constexpr auto kOk = UsbBulkTransfer::Result::Ok;
constexpr auto kTimeout = UsbBulkTransfer::Result::Timeout;
constexpr auto kLost = UsbBulkTransfer::Result::Lost;

// Each Receive outcome: result, bytes appended, END flag.
struct Piece {
  LinkResult result;
  std::size_t bytes;
  bool end;
  bool operator==(const Piece&) const = default;
};

std::vector<Piece> ReceiveAll(std::size_t maxPacket, std::deque<Step> steps, std::size_t* capacity = nullptr) {
  auto transfer = std::make_unique<FakeTransfer>(maxPacket, steps);
  FakeTransfer* raw = transfer.get();
  visa::UsbDeviceLink link(std::move(transfer));
  std::vector<Piece> pieces;
  for (std::size_t i = 0; i < steps.size(); ++i) {
    std::vector<std::uint8_t> out;
    bool end = false;
    LinkResult r = link.Receive(out, end, 100ms);
    pieces.push_back({r, out.size(), end});
  }
  if (capacity) *capacity = raw->capacities.front();
  return pieces;
}

TEST(UsbLink, ShortPacketEndsAMessage) {
  std::size_t cap = 0;
  auto pieces = ReceiveAll(512, {{kOk, 10}, {kOk, 65536}, {kOk, 0}, {kOk, 1024}}, &cap);
  EXPECT_EQ(cap, 65536u);
  EXPECT_EQ(pieces, (std::vector<Piece>{{LinkResult::Ok, 10, true},
                                        {LinkResult::Ok, 65536, false},  // buffer full: more follows
                                        {LinkResult::Ok, 0, true},       // zero-length packet
                                        {LinkResult::Ok, 1024, true}}));
}

TEST(UsbLink, TimeoutsAndLoss) {
  auto pieces = ReceiveAll(64, {{kTimeout, 0}, {kTimeout, 100}, {kLost, 0}});
  EXPECT_EQ(pieces, (std::vector<Piece>{{LinkResult::Timeout, 0, false},
                                        {LinkResult::Ok, 100, false},  // arrived before the timeout
                                        {LinkResult::Lost, 0, false}}));
  // Transfers ask only for whole packets, whatever the packet size.
  std::size_t cap = 0;
  ReceiveAll(1000, {{kOk, 1}}, &cap);
  EXPECT_EQ(cap % 1000, 0u);
  EXPECT_GT(cap, 0u);
}

TEST(UsbLink, SessionGathersPacketsUntilShortOne) {
  // A reply longer than one transfer comes back whole in a single read.
  auto transfer = std::make_unique<FakeTransfer>(512, std::deque<Step>{{kOk, 65536}, {kOk, 100}, {kOk, 7}});
  FakeTransfer* raw = transfer.get();
  struct UsbFake : visatest::FakeInstrument {
    using FakeInstrument::FakeInstrument;
    std::unique_ptr<UsbBulkTransfer> transfer;
    ViStatus Open(std::unique_ptr<visa::DeviceLink>& link) override {
      link = std::make_unique<visa::UsbDeviceLink>(std::move(transfer));
      return VI_SUCCESS;
    }
  };
  visa::ClearInstruments();
  auto fake = std::make_shared<UsbFake>("USB0::0x2177::0x1002::U1::RAW", 0x2177, 0x1002);
  fake->transfer = std::move(transfer);
  visa::AddInstrument(fake);
  ViSession rm = 0, vi = 0;
  ASSERT_EQ(viOpenDefaultRM(&rm), VI_SUCCESS);
  ASSERT_EQ(viOpen(rm, "USB0::0x2177::0x1002::U1::RAW", VI_EXCLUSIVE_LOCK, 0, &vi), VI_SUCCESS);
  std::vector<ViByte> buf(100000);
  ViUInt32 n = 0;
  EXPECT_EQ(viRead(vi, buf.data(), static_cast<ViUInt32>(buf.size()), &n), VI_SUCCESS);
  EXPECT_EQ(n, 65636u);
  EXPECT_EQ(buf[65600], static_cast<ViByte>(65600 & 0xFF));
  EXPECT_EQ(viRead(vi, buf.data(), static_cast<ViUInt32>(buf.size()), &n), VI_SUCCESS);
  EXPECT_EQ(n, 7u);
  ASSERT_EQ(viSetAttribute(vi, VI_ATTR_TMO_VALUE, 750), VI_SUCCESS);
  ASSERT_EQ(viWrite(vi, reinterpret_cast<ViConstBuf>("ZC:USED 1\r"), 10, &n), VI_SUCCESS);
  EXPECT_EQ(raw->written, (std::vector<std::vector<std::uint8_t>>{{'Z', 'C', ':', 'U', 'S', 'E', 'D', ' ', '1', '\r'}}));
  ASSERT_EQ(viSetAttribute(vi, VI_ATTR_TMO_VALUE, VI_TMO_INFINITE), VI_SUCCESS);
  ASSERT_EQ(viWrite(vi, reinterpret_cast<ViConstBuf>("*RST\r"), 5, &n), VI_SUCCESS);
  EXPECT_EQ(raw->writeTimeouts, (std::vector<std::chrono::milliseconds>{750ms, visa::kNoTimeLimit}))
      << "a write waits the session's timeout";
  viClose(rm);
  visa::ClearInstruments();
}

TEST(UsbDescriptor, FormatAndSearchFacts) {
  EXPECT_EQ(visa::UsbRawDescriptor(0x2177, 0x1004, "KVX0001"), "USB0::0x2177::0x1004::KVX0001::RAW");
  EXPECT_EQ(visa::UsbRawDescriptor(0xab, 0x2, "s"), "USB0::0x00AB::0x0002::s::RAW");
  auto expr = visa::ResourceExpression::Parse(
      "USB?*RAW{VI_ATTR_MANF_ID == 0x2177 && (VI_ATTR_MODEL_CODE == 0x1004 || VI_ATTR_MODEL_CODE == 0x1002)}");
  ASSERT_TRUE(expr);
  const auto kvx162 = visa::DescribeUsbDevice(0x2177, 0x1004, "A1");
  EXPECT_EQ(kvx162.descriptor, "USB0::0x2177::0x1004::A1::RAW");
  EXPECT_EQ(kvx162.modelCode, 0x1004);
  EXPECT_TRUE(expr->Matches(kvx162));
  EXPECT_TRUE(expr->Matches(visa::DescribeUsbDevice(0x2177, 0x1002, "B2")));
  EXPECT_FALSE(expr->Matches(visa::DescribeUsbDevice(0x2177, 0x1003, "C3")));
  EXPECT_FALSE(expr->Matches(visa::DescribeUsbDevice(0x2178, 0x1004, "D4")));
}

}  // namespace
