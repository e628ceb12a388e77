#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <future>
#include <string>
#include <thread>

#include "platform/visa/Backend.h"
#include "platform/visa/CableFraming.h"
#include "platform/visa/Visa.h"
#include "unit/platform/visa/FakeInstrument.h"

namespace {

using namespace std::chrono_literals;
using visa::CableRead;

std::vector<std::uint8_t> Bytes(const std::string& s) { return {s.begin(), s.end()}; }

bool SendRaw(int fd, const std::vector<std::uint8_t>& bytes) {
  return ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(bytes.size());
}

std::vector<std::uint8_t> RecvRaw(int fd, std::size_t count) {
  std::vector<std::uint8_t> out(count);
  std::size_t have = 0;
  while (have < count) {
    ssize_t n = ::recv(fd, out.data() + have, count - have, 0);
    if (n <= 0) break;
    have += static_cast<std::size_t>(n);
  }
  out.resize(have);
  return out;
}

// A one-connection server on 127.0.0.1 with an ephemeral port.
class TinyServer {
 public:
  TinyServer() {
    fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    if (::bind(fd_, reinterpret_cast<sockaddr*>(&addr), len) != 0 || ::listen(fd_, 4) != 0 ||
        ::getsockname(fd_, reinterpret_cast<sockaddr*>(&addr), &len) != 0)
      ADD_FAILURE() << "cannot listen";
    port_ = ntohs(addr.sin_port);
  }
  ~TinyServer() { Stop(); }
  void Stop() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
  }
  // Connections accepted from now on take only this much before the
  // sender has to wait.
  void SetReceiveBuffer(int bytes) { ::setsockopt(fd_, SOL_SOCKET, SO_RCVBUF, &bytes, sizeof bytes); }
  std::uint16_t Port() const { return port_; }
  bool HasPendingClient(int waitMs) const {
    pollfd p{fd_, POLLIN, 0};
    return ::poll(&p, 1, waitMs) == 1;
  }
  // Accepts one client and greets it (no greeting when `greeting` is empty).
  std::future<int> AcceptAndGreet(std::string greeting) {
    return std::async(std::launch::async, [this, greeting] {
      if (!HasPendingClient(5000)) return -1;
      int c = ::accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC);
      if (c >= 0 && !greeting.empty()) visa::WriteCableFrame(c, Bytes(greeting).data(), greeting.size(), 5000ms);
      return c;
    });
  }

 private:
  int fd_ = -1;
  std::uint16_t port_ = 0;
};

std::string TunnelName(std::uint16_t port) { return "USB0::0x2177::0x1004::TUNNEL" + std::to_string(port) + "::RAW"; }

class TunnelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    visa::ClearInstruments();
    visa::EnableUsbSearch(false);
    visa::AddTunnelInstrument("127.0.0.1", server_.Port());
    ASSERT_EQ(viOpenDefaultRM(&rm_), VI_SUCCESS);
  }
  void TearDown() override {
    viClose(rm_);
    if (client_ >= 0) ::close(client_);
    visa::ClearInstruments();
  }
  // Opens the tunnel instrument with the server answering `greeting`.
  ViStatus OpenWith(const std::string& greeting) {
    auto accepted = server_.AcceptAndGreet(greeting);
    ViStatus s = viOpen(rm_, TunnelName(server_.Port()).c_str(), VI_EXCLUSIVE_LOCK, 0, &vi_);
    client_ = accepted.get();
    return s;
  }
  visatest::ReadResult Read(ViUInt32 count) { return visatest::ReadText(vi_, count); }

  TinyServer server_;
  ViSession rm_ = 0, vi_ = 0;
  int client_ = -1;
};

using Result = visatest::ReadResult;

TEST_F(TunnelTest, SearchListsWithoutConnecting) {
  ViChar desc[VI_FIND_BUFLEN];
  ASSERT_EQ(viFindRsrc(rm_,
                       "USB?*RAW{VI_ATTR_MANF_ID == 0x2177 && (VI_ATTR_MODEL_CODE == 0x1004 || "
                       "VI_ATTR_MODEL_CODE == 0x1002)}",
                       nullptr, nullptr, desc),
            VI_SUCCESS);
  EXPECT_EQ(std::string(desc), TunnelName(server_.Port()));
  EXPECT_FALSE(server_.HasPendingClient(100));
}

TEST_F(TunnelTest, OpenExchangesFramesAsMessages) {
  ASSERT_EQ(OpenWith("OPEN"), VI_SUCCESS);
  ASSERT_GE(client_, 0);
  ViUInt32 n = 0;
  ASSERT_EQ(viWrite(vi_, reinterpret_cast<ViConstBuf>("*IDN?\r"), 6, &n), VI_SUCCESS);
  EXPECT_EQ(RecvRaw(client_, 10), (std::vector<std::uint8_t>{0, 0, 0, 6, '*', 'I', 'D', 'N', '?', '\r'}));
  // Empty frames carry nothing; every other frame is one whole message.
  ASSERT_TRUE(SendRaw(client_, {0, 0, 0, 0, 0, 0, 0, 3, 'K', 'V', 'X', 0, 0, 0, 2, '1', '2'}));
  EXPECT_EQ(Read(100), Result(VI_SUCCESS, "KVX"));
  EXPECT_EQ(Read(1), Result(VI_SUCCESS_MAX_CNT, "1"));
  EXPECT_EQ(Read(100), Result(VI_SUCCESS, "2"));
  // The exclusive lock holds within this process without asking the server.
  ViSession second = 0;
  EXPECT_EQ(viOpen(rm_, TunnelName(server_.Port()).c_str(), VI_EXCLUSIVE_LOCK, 0, &second), VI_ERROR_RSRC_BUSY);
  EXPECT_FALSE(server_.HasPendingClient(50));
  // Closing the session closes the connection.
  ASSERT_EQ(viClose(vi_), VI_SUCCESS);
  std::uint8_t byte;
  EXPECT_EQ(::recv(client_, &byte, 1, 0), 0);
}

TEST_F(TunnelTest, BusyOrSilentServerRefusesTheOpen) {
  EXPECT_EQ(OpenWith("BUSY"), VI_ERROR_RSRC_BUSY);
  ::close(client_);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(OpenWith(""), VI_ERROR_RSRC_BUSY);
  EXPECT_LT(std::chrono::steady_clock::now() - start, 8s);
  ::close(client_);
  // The failed opens left no claim behind.
  ASSERT_EQ(OpenWith("OPEN"), VI_SUCCESS);
}

TEST_F(TunnelTest, OversizeFrameOrHangUpLosesTheLink) {
  ASSERT_EQ(OpenWith("OPEN"), VI_SUCCESS);
  ASSERT_TRUE(SendRaw(client_, {0x00, 0x10, 0x00, 0x01}));  // 1 MiB + 1
  EXPECT_EQ(Read(10).first, VI_ERROR_CONN_LOST);
  ViUInt32 n = 0;
  EXPECT_EQ(viWrite(vi_, reinterpret_cast<ViConstBuf>("X\r"), 2, &n), VI_ERROR_CONN_LOST);
  ASSERT_EQ(viClose(vi_), VI_SUCCESS);
  ::close(client_);

  ASSERT_EQ(OpenWith("OPEN"), VI_SUCCESS);
  ASSERT_TRUE(SendRaw(client_, {0, 0, 0, 4, 'P', 'A'}));
  ::close(client_);
  client_ = -1;
  EXPECT_EQ(Read(10).first, VI_ERROR_CONN_LOST);
}

TEST_F(TunnelTest, NobodyListeningFailsTheOpen) {
  server_.Stop();
  ViStatus s = viOpen(rm_, TunnelName(server_.Port()).c_str(), VI_EXCLUSIVE_LOCK, 0, &vi_);
  EXPECT_LT(s, VI_SUCCESS);
  EXPECT_EQ(vi_, VI_NULL);
}

TEST_F(TunnelTest, WriteToAPeerThatStopsReadingGivesUpAndLosesTheLink) {
  server_.SetReceiveBuffer(4096);
  ASSERT_EQ(OpenWith("OPEN"), VI_SUCCESS);
  ASSERT_GE(client_, 0);
  ASSERT_EQ(viSetAttribute(vi_, VI_ATTR_TMO_VALUE, 200), VI_SUCCESS);
  // The peer reads nothing, so after a few frames the socket buffers are full.
  const std::vector<ViByte> frame(visa::kCableMaxFrame, 'x');
  auto writing = std::async(std::launch::async, [&] {
    std::pair<ViStatus, std::chrono::steady_clock::duration> last{VI_SUCCESS, {}};
    for (int i = 0; i < 64 && last.first == VI_SUCCESS; ++i) {
      ViUInt32 n = 0;
      const auto start = std::chrono::steady_clock::now();
      last.first = viWrite(vi_, frame.data(), static_cast<ViUInt32>(frame.size()), &n);
      last.second = std::chrono::steady_clock::now() - start;
    }
    return last;
  });
  const bool finished = writing.wait_for(20s) == std::future_status::ready;
  if (!finished) {  // closing with unread bytes resets the connection, which ends a stuck write
    ::close(client_);
    client_ = -1;
  }
  ASSERT_TRUE(finished) << "the write waited for the peer without end";
  const auto [status, took] = writing.get();
  EXPECT_EQ(status, VI_ERROR_CONN_LOST);
  EXPECT_GE(took, 190ms) << "gave up before the session's timeout";
  EXPECT_LT(took, 5s);
  // Part of a frame may have gone out: the connection is not used again.
  ViUInt32 n = 0;
  EXPECT_EQ(viWrite(vi_, reinterpret_cast<ViConstBuf>("*OPC?\r"), 6, &n), VI_ERROR_CONN_LOST);
  EXPECT_EQ(Read(10).first, VI_ERROR_CONN_LOST);
}

class CableFraming : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(::socketpair(AF_UNIX, SOCK_STREAM, 0, fds_), 0); }
  void TearDown() override {
    for (int fd : fds_)
      if (fd >= 0) ::close(fd);
  }
  int fds_[2] = {-1, -1};
};

TEST_F(CableFraming, WritesBigEndianHeaderAndPayload) {
  std::vector<std::uint8_t> payload(300, 0xAB);
  ASSERT_EQ(visa::WriteCableFrame(fds_[0], payload.data(), payload.size(), 1000ms), visa::CableWrite::Ok);
  auto raw = RecvRaw(fds_[1], 304);
  ASSERT_EQ(raw.size(), 304u);
  EXPECT_EQ(std::vector<std::uint8_t>(raw.begin(), raw.begin() + 4), (std::vector<std::uint8_t>{0, 0, 1, 44}));
  EXPECT_EQ(std::vector<std::uint8_t>(raw.begin() + 4, raw.end()), payload);
  std::vector<std::uint8_t> huge(visa::kCableMaxFrame + 1);
  EXPECT_EQ(visa::WriteCableFrame(fds_[0], huge.data(), huge.size(), 1000ms), visa::CableWrite::Failed);
}

TEST_F(CableFraming, ReaderResumesAFrameCutByATimeout) {
  visa::CableFrameReader reader;
  std::vector<std::uint8_t> out{'x'};
  EXPECT_EQ(reader.Read(fds_[1], out, 20ms), CableRead::Timeout);
  ASSERT_TRUE(SendRaw(fds_[0], {0, 0, 0, 0, 0, 0, 0, 5, 'H', 'E'}));
  EXPECT_EQ(reader.Read(fds_[1], out, 20ms), CableRead::Timeout);
  EXPECT_EQ(out, Bytes("x"));
  ASSERT_TRUE(SendRaw(fds_[0], {'L', 'L', 'O'}));
  EXPECT_EQ(reader.Read(fds_[1], out, 1000ms), CableRead::Ok);
  EXPECT_EQ(out, Bytes("HELLO"));
  // The one-shot form cannot resume, so a cut frame is a protocol error.
  ASSERT_TRUE(SendRaw(fds_[0], {0, 0, 0, 5, 'H'}));
  EXPECT_EQ(visa::ReadCableFrame(fds_[1], out, 20ms), CableRead::ProtocolError);
}

TEST_F(CableFraming, OversizeAndClosedStreams) {
  std::vector<std::uint8_t> out;
  ASSERT_TRUE(SendRaw(fds_[0], {0x00, 0x10, 0x00, 0x00}));  // exactly 1 MiB is allowed
  std::vector<std::uint8_t> body(visa::kCableMaxFrame, 7);
  auto writer = std::async(std::launch::async, [&] { return SendRaw(fds_[0], body); });
  EXPECT_EQ(visa::ReadCableFrame(fds_[1], out, 5000ms), CableRead::Ok);
  EXPECT_TRUE(writer.get());
  EXPECT_EQ(out.size(), visa::kCableMaxFrame);
  ASSERT_TRUE(SendRaw(fds_[0], {0xFF, 0xFF, 0xFF, 0xFF}));
  EXPECT_EQ(visa::ReadCableFrame(fds_[1], out, 1000ms), CableRead::ProtocolError);
  ::close(fds_[0]);
  fds_[0] = -1;
  EXPECT_EQ(visa::ReadCableFrame(fds_[1], out, 1000ms), CableRead::Closed);
}

// The reader's buffer grows as a long frame arrives: pieces that end inside
// and across its steps keep every byte in place, and the next frame starts
// afresh.
TEST_F(CableFraming, LongFrameInPiecesComesBackByteForByte) {
  constexpr std::size_t kLength = 100000;
  std::vector<std::uint8_t> stream = {0, kLength >> 16, (kLength >> 8) & 0xFF, kLength & 0xFF};
  for (std::size_t i = 0; i < kLength; ++i) stream.push_back(static_cast<std::uint8_t>(i * 131 % 251));
  visa::CableFrameReader reader;
  std::vector<std::uint8_t> out;
  constexpr std::size_t kPiece = 7001;
  for (std::size_t at = 0; at < stream.size(); at += kPiece) {
    const auto end = stream.begin() + static_cast<std::ptrdiff_t>(std::min(stream.size(), at + kPiece));
    ASSERT_TRUE(SendRaw(fds_[0], std::vector<std::uint8_t>(stream.begin() + static_cast<std::ptrdiff_t>(at), end)));
    const CableRead expected = end == stream.end() ? CableRead::Ok : CableRead::Timeout;
    ASSERT_EQ(reader.Read(fds_[1], out, 0ms), expected) << "after " << at + kPiece << " bytes";
  }
  EXPECT_EQ(out, std::vector<std::uint8_t>(stream.begin() + 4, stream.end()));
  ASSERT_TRUE(SendRaw(fds_[0], {0, 0, 0, 3, 'a', 'b', 'c'}));
  EXPECT_EQ(reader.Read(fds_[1], out, 0ms), CableRead::Ok);
  EXPECT_EQ(out, Bytes("abc"));
}

// Keeps sending `unit` until told to stop, never blocking on a full buffer.
class Flood {
 public:
  Flood(int fd, std::vector<std::uint8_t> unit)
      : thread_([this, fd, unit = std::move(unit)] {
          while (!stop_) {
            if (::send(fd, unit.data(), unit.size(), MSG_NOSIGNAL | MSG_DONTWAIT) < 0 && errno != EAGAIN) return;
            pollfd p{fd, POLLOUT, 0};
            ::poll(&p, 1, 10);
          }
        }) {}
  ~Flood() {
    stop_ = true;
    thread_.join();
  }

 private:
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

// A peer that floods empty frames must not keep a read past its deadline.
TEST_F(CableFraming, EmptyFramesDoNotHoldAReadPastItsDeadline) {
  // Many frames per send, so the reader always finds the next one waiting.
  Flood flood(fds_[0], std::vector<std::uint8_t>(4 * 1024, 0));
  visa::CableFrameReader reader;
  std::vector<std::uint8_t> out{'o', 'l', 'd'};
  auto reading = std::async(std::launch::async, [&] { return reader.Read(fds_[1], out, 100ms); });
  const bool finished = reading.wait_for(3s) == std::future_status::ready;
  if (!finished) ::shutdown(fds_[1], SHUT_RDWR);  // ends the read so the test can report
  const CableRead result = reading.get();
  EXPECT_TRUE(finished) << "the read went on while empty frames came";
  EXPECT_EQ(result, CableRead::Timeout);
  EXPECT_EQ(out, Bytes("old"));
}

}  // namespace
