// Helpers for talking to the simulated instrument the way a host does:
// through SimHandle::Open and the DeviceLink, with no program code.
#pragma once

#include <gtest/gtest.h>

#include <bit>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <numeric>
#include <string>
#include <string_view>
#include <vector>

#include "sim/Instrument.h"

namespace kvxsim::test {

using Bytes = std::vector<std::uint8_t>;
using std::chrono::milliseconds;

inline Bytes ToBytes(std::string_view text) { return Bytes(text.begin(), text.end()); }
inline std::string ToText(const Bytes& bytes) { return std::string(bytes.begin(), bytes.end()); }

// Big-endian fields of the instrument's setup record.
inline std::uint32_t U32At(const std::array<std::uint8_t, 572>& r, std::size_t o) {
  return (std::uint32_t{r[o]} << 24) | (std::uint32_t{r[o + 1]} << 16) | (std::uint32_t{r[o + 2]} << 8) | r[o + 3];
}
inline std::int32_t I32At(const std::array<std::uint8_t, 572>& r, std::size_t o) {
  return static_cast<std::int32_t>(U32At(r, o));
}
inline std::int16_t I16At(const std::array<std::uint8_t, 572>& r, std::size_t o) {
  return static_cast<std::int16_t>((r[o] << 8) | r[o + 1]);
}
inline float F32At(const std::array<std::uint8_t, 572>& r, std::size_t o) { return std::bit_cast<float>(U32At(r, o)); }

// The rule as the host applies it: NOT of the byte sum over 4..571, big-endian at 0.
inline void Reseal(std::array<std::uint8_t, 572>& r) {
  const std::uint32_t sum = std::accumulate(r.begin() + 4, r.end(), std::uint32_t{0});
  const std::uint32_t check = ~sum;
  for (int i = 0; i < 4; ++i) r[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(check >> (24 - 8 * i));
}

// The data of a definite-length block reply ("#" n L data CR LF); false when
// the reply is not one.
inline bool BlockData(const Bytes& reply, Bytes& data) {
  if (reply.size() < 2 || reply[0] != '#' || reply[1] < '1' || reply[1] > '9') return false;
  const std::size_t digits = static_cast<std::size_t>(reply[1] - '0');
  if (reply.size() < 2 + digits) return false;
  const std::size_t length = std::stoul(std::string(reply.begin() + 2, reply.begin() + 2 + static_cast<long>(digits)));
  if (reply.size() != 2 + digits + length + 2) return false;
  if (reply[reply.size() - 2] != '\r' || reply.back() != '\n') return false;
  data.assign(reply.begin() + 2 + static_cast<long>(digits), reply.end() - 2);
  return true;
}

// An acquisition frame: the fifteen header fields and the binary data after them.
struct Frame {
  std::vector<long> fields;
  Bytes data;
  long Field(int number) const { return fields.at(static_cast<std::size_t>(number - 1)); }
};

inline bool ParseFrame(const Bytes& reply, Frame& frame) {
  Bytes data;
  if (!BlockData(reply, data)) return false;
  frame = Frame{};
  std::size_t at = 0;
  for (int field = 1; field <= 15; ++field) {
    const std::size_t comma = std::string_view(reinterpret_cast<const char*>(data.data()), data.size()).find(',', at);
    if (comma == std::string_view::npos) return false;
    const std::string text(data.begin() + static_cast<long>(at), data.begin() + static_cast<long>(comma));
    frame.fields.push_back(std::strtol(text.c_str(), nullptr, field == 1 || field == 6 ? 16 : 10));
    at = comma + 1;
  }
  frame.data.assign(data.begin() + static_cast<long>(at), data.end());
  return true;
}

// One open session on a fresh instrument.
class Session {
 public:
  explicit Session(const InstrumentOptions& options = {}) : handle_(std::make_shared<SimHandle>(options)) {
    EXPECT_EQ(handle_->Open(link_), VI_SUCCESS);
  }

  SimHandle& Handle() { return *handle_; }
  std::shared_ptr<SimHandle> Shared() { return handle_; }
  visa::DeviceLink& Link() { return *link_; }
  void Close() { link_.reset(); }
  bool Reopen() { return handle_->Open(link_) == VI_SUCCESS; }

  visa::LinkResult Send(std::string_view text) { return SendBytes(ToBytes(text)); }
  visa::LinkResult SendBytes(const Bytes& bytes) { return link_->Send(bytes.data(), bytes.size(), milliseconds(5000)); }

  // The next reply, or an empty vector when none came in time.
  Bytes Receive(milliseconds timeout = milliseconds(5000)) {
    Bytes out;
    bool end = false;
    last_ = link_->Receive(out, end, timeout);
    if (last_ == visa::LinkResult::Ok) {
      EXPECT_TRUE(end);
    }
    return out;
  }
  visa::LinkResult LastResult() const { return last_; }

  std::string Query(std::string_view text) {
    Send(text);
    return ToText(Receive());
  }
  Bytes QueryBytes(std::string_view text) {
    Send(text);
    return Receive();
  }
  Frame QueryFrame() {
    Frame frame;
    EXPECT_TRUE(ParseFrame(QueryBytes("ZC:HTTP?\r"), frame));
    return frame;
  }
  std::array<std::uint8_t, 572> Record() { return handle_->SetupRecord(); }

 private:
  std::shared_ptr<SimHandle> handle_;
  std::unique_ptr<visa::DeviceLink> link_;
  visa::LinkResult last_ = visa::LinkResult::Ok;
};

}  // namespace kvxsim::test
