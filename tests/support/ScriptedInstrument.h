// A test instrument whose replies are scripted byte for byte: every write is
// recorded, and each write takes the next queued reply (if any) as one
// instrument message. Pieces of a reply may be split to imitate a slow link.
// Its reads wait on the program's clock, so a test's ManualClock makes a
// missing reply time out at once.
#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/os/Clock.h"
#include "platform/visa/Backend.h"

namespace testsupport {

class ScriptedInstrument : public visa::Instrument, public std::enable_shared_from_this<ScriptedInstrument> {
 public:
  explicit ScriptedInstrument(std::string serial, std::uint16_t modelCode = visa::kModelCode162,
                              std::uint16_t vendor = visa::kKelvarinVendorId)
      : serial_(std::move(serial)), modelCode_(modelCode), vendor_(vendor) {}

  std::string Descriptor() const override { return visa::UsbRawDescriptor(vendor_, modelCode_, serial_); }
  std::uint16_t ManufacturerId() const override { return vendor_; }
  std::uint16_t ModelCode() const override { return modelCode_; }

  ViStatus Open(std::unique_ptr<visa::DeviceLink>& link) override {
    std::lock_guard lock(mutex_);
    if (open_) return VI_ERROR_RSRC_BUSY;
    open_ = true;
    ++opens_;
    link = std::make_unique<Link>(shared_from_this());
    return VI_SUCCESS;
  }

  // The reply to the next write that asks for one (a write whose bytes hold '?').
  void QueueReply(std::string bytes) {
    std::lock_guard lock(mutex_);
    replies_.push_back(std::move(bytes));
  }
  // Makes a message available now, without a write.
  void PushMessage(std::string bytes) {
    std::lock_guard lock(mutex_);
    ready_.push_back(std::move(bytes));
    cv_.notify_all();
  }
  std::string Written() {
    std::lock_guard lock(mutex_);
    return written_;
  }
  void ClearWritten() {
    std::lock_guard lock(mutex_);
    written_.clear();
  }
  bool IsOpen() {
    std::lock_guard lock(mutex_);
    return open_;
  }
  int Opens() {
    std::lock_guard lock(mutex_);
    return opens_;
  }

 private:
  class Link : public visa::DeviceLink {
   public:
    explicit Link(std::shared_ptr<ScriptedInstrument> owner) : owner_(std::move(owner)) {}
    ~Link() override {
      std::lock_guard lock(owner_->mutex_);
      owner_->open_ = false;
    }
    visa::LinkResult Send(const std::uint8_t* data, std::size_t count, std::chrono::milliseconds) override {
      std::lock_guard lock(owner_->mutex_);
      const std::string bytes(reinterpret_cast<const char*>(data), count);
      owner_->written_ += bytes;
      if (bytes.find('?') != std::string::npos && !owner_->replies_.empty()) {
        owner_->ready_.push_back(std::move(owner_->replies_.front()));
        owner_->replies_.pop_front();
        owner_->cv_.notify_all();
      }
      return visa::LinkResult::Ok;
    }
    visa::LinkResult Receive(std::vector<std::uint8_t>& out, bool& endOfMessage,
                             std::chrono::milliseconds timeout) override {
      Clock& clock = CurrentClock();
      std::unique_lock lock(owner_->mutex_);
      const double deadline = clock.Now() + std::chrono::duration<double>(timeout).count();
      while (owner_->ready_.empty()) {
        if (clock.Now() >= deadline) return visa::LinkResult::Timeout;
        clock.WaitUntil(lock, owner_->cv_, deadline);
      }
      const std::string message = std::move(owner_->ready_.front());
      owner_->ready_.pop_front();
      out.insert(out.end(), message.begin(), message.end());
      endOfMessage = true;
      return visa::LinkResult::Ok;
    }

   private:
    std::shared_ptr<ScriptedInstrument> owner_;
  };

  std::string serial_;
  std::uint16_t modelCode_;
  std::uint16_t vendor_;
  std::mutex mutex_;
  std::condition_variable_any cv_;
  std::deque<std::string> replies_;
  std::deque<std::string> ready_;
  std::string written_;
  bool open_ = false;
  int opens_ = 0;
};

}  // namespace testsupport
