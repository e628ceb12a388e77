// A scripted instrument for the VISA tests: the test queues reply pieces
// (with or without END) and reads back what the session wrote. Its reads wait
// on the program's clock.
#pragma once

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/os/Clock.h"
#include "platform/visa/Backend.h"
#include "platform/visa/Visa.h"

namespace visatest {

struct FakeWire {
  std::mutex mutex;
  std::condition_variable_any changed;
  std::deque<std::pair<std::string, bool>> pieces;  // bytes, END after them
  std::vector<std::string> sent;
  bool lost = false;
  bool busyElsewhere = false;  // another process holds the instrument
  // The next this many reads report Timeout without waiting, as a backend
  // whose own clock says the time is up.
  int instantTimeouts = 0;
  int receives = 0;

  void Push(const std::string& bytes, bool end = true) {
    std::lock_guard lock(mutex);
    pieces.emplace_back(bytes, end);
    changed.notify_all();
  }
  void Lose() {
    std::lock_guard lock(mutex);
    lost = true;
    changed.notify_all();
  }
  std::vector<std::string> Sent() {
    std::lock_guard lock(mutex);
    return sent;
  }
  int Receives() {
    std::lock_guard lock(mutex);
    return receives;
  }
  void SetInstantTimeouts(int count) {
    std::lock_guard lock(mutex);
    instantTimeouts = count;
  }
};

class FakeLink : public visa::DeviceLink {
 public:
  explicit FakeLink(std::shared_ptr<FakeWire> wire) : wire_(std::move(wire)) {}

  visa::LinkResult Send(const std::uint8_t* data, std::size_t count, std::chrono::milliseconds) override {
    std::lock_guard lock(wire_->mutex);
    if (wire_->lost) return visa::LinkResult::Lost;
    wire_->sent.emplace_back(reinterpret_cast<const char*>(data), count);
    return visa::LinkResult::Ok;
  }

  visa::LinkResult Receive(std::vector<std::uint8_t>& out, bool& end, std::chrono::milliseconds timeout) override {
    Clock& clock = CurrentClock();
    std::unique_lock lock(wire_->mutex);
    ++wire_->receives;
    if (wire_->instantTimeouts > 0 && !wire_->lost) {
      --wire_->instantTimeouts;
      return visa::LinkResult::Timeout;
    }
    const double deadline = clock.Now() + std::chrono::duration<double>(timeout).count();
    while (!wire_->lost && wire_->pieces.empty() && clock.Now() < deadline)
      clock.WaitUntil(lock, wire_->changed, deadline);
    if (!wire_->pieces.empty()) {
      auto [bytes, isEnd] = wire_->pieces.front();
      wire_->pieces.pop_front();
      out.insert(out.end(), bytes.begin(), bytes.end());
      end = isEnd;
      return visa::LinkResult::Ok;
    }
    return wire_->lost ? visa::LinkResult::Lost : visa::LinkResult::Timeout;
  }

 private:
  std::shared_ptr<FakeWire> wire_;
};

class FakeInstrument : public visa::Instrument {
 public:
  FakeInstrument(std::string descriptor, std::uint16_t manf, std::uint16_t model,
                 std::shared_ptr<FakeWire> wire = std::make_shared<FakeWire>())
      : descriptor_(std::move(descriptor)), manf_(manf), model_(model), wire_(std::move(wire)) {}

  std::string Descriptor() const override { return descriptor_; }
  std::uint16_t ManufacturerId() const override { return manf_; }
  std::uint16_t ModelCode() const override { return model_; }
  ViStatus Open(std::unique_ptr<visa::DeviceLink>& link) override {
    {
      std::lock_guard lock(wire_->mutex);
      if (wire_->busyElsewhere) return VI_ERROR_RSRC_BUSY;
    }
    link = std::make_unique<FakeLink>(wire_);
    return VI_SUCCESS;
  }
  FakeWire& Wire() { return *wire_; }

 private:
  std::string descriptor_;
  std::uint16_t manf_, model_;
  std::shared_ptr<FakeWire> wire_;
};

// Registers one fake instrument and returns it (the registry is cleared first).
inline std::shared_ptr<FakeInstrument> InstallFake(const std::string& descriptor = "USB0::0x2177::0x1004::FAKE1::RAW",
                                                   std::uint16_t model = 0x1004) {
  visa::ClearInstruments();
  visa::EnableUsbSearch(false);
  auto fake = std::make_shared<FakeInstrument>(descriptor, 0x2177, model);
  visa::AddInstrument(fake);
  return fake;
}

using ReadResult = std::pair<ViStatus, std::string>;

// One viRead of up to `count` bytes: its status and the bytes it returned.
inline ReadResult ReadText(ViSession vi, ViUInt32 count) {
  std::string buf(count, '\0');
  ViUInt32 got = 12345;
  const ViStatus status = viRead(vi, reinterpret_cast<ViBuf>(buf.data()), count, &got);
  buf.resize(std::min<ViUInt32>(got, count));
  return {status, buf};
}

}  // namespace visatest
