#include "platform/visa/Session.h"

#include <algorithm>
#include <cstring>

#include "platform/os/Clock.h"

namespace visa {

// The timeout covers a whole call, not each piece of it. It runs on the
// program's clock, which tests move themselves; backends that wait in real
// time (sockets, USB) just get the span that is left.
class Session::Deadline {
 public:
  explicit Deadline(ViUInt32 timeoutMs)
      : infinite_(timeoutMs == VI_TMO_INFINITE), clock_(CurrentClock()), at_(clock_.Now() + timeoutMs / 1000.0) {}

  bool Infinite() const { return infinite_; }

  // How long the next wait may last. An infinite wait is cut into slices so
  // backends only ever see finite timeouts.
  std::chrono::milliseconds Slice() const {
    if (infinite_) return kInfiniteSlice;
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(std::chrono::duration<double>(at_ - clock_.Now()));
    return std::max(left, std::chrono::milliseconds(0));
  }

 private:
  static constexpr std::chrono::milliseconds kInfiniteSlice{60000};
  bool infinite_;
  Clock& clock_;
  double at_;
};

Session::Session(std::uint16_t manufacturerId, std::uint16_t modelCode, std::unique_ptr<DeviceLink> link)
    : manufacturerId_(manufacturerId), modelCode_(modelCode), link_(std::move(link)) {}

ViStatus Session::SetAttribute(ViAttr attr, ViAttrState value) {
  std::lock_guard lock(settingsMutex_);
  switch (attr) {
    case VI_ATTR_TMO_VALUE:
      if (value > VI_TMO_INFINITE) return VI_ERROR_NSUP_ATTR_STATE;
      settings_.timeoutMs = static_cast<ViUInt32>(value);
      return VI_SUCCESS;
    case VI_ATTR_SUPPRESS_END_EN:
      if (value != VI_TRUE && value != VI_FALSE) return VI_ERROR_NSUP_ATTR_STATE;
      settings_.suppressEnd = value == VI_TRUE;
      return VI_SUCCESS;
    case VI_ATTR_WR_BUF_OPER_MODE:
    case VI_ATTR_RD_BUF_OPER_MODE: {
      if (value != VI_FLUSH_ON_ACCESS && value != VI_FLUSH_WHEN_FULL) return VI_ERROR_NSUP_ATTR_STATE;
      ViUInt16& mode = attr == VI_ATTR_WR_BUF_OPER_MODE ? settings_.writeMode : settings_.readMode;
      mode = static_cast<ViUInt16>(value);
      return VI_SUCCESS;
    }
    default:
      return VI_ERROR_NSUP_ATTR;
  }
}

ViStatus Session::GetAttribute(ViAttr attr, void* value) const {
  if (value == nullptr) return VI_ERROR_SYSTEM_ERROR;
  const Settings s = Snapshot();
  auto put16 = [value](ViUInt16 v) { std::memcpy(value, &v, sizeof v); };
  switch (attr) {
    case VI_ATTR_TMO_VALUE: std::memcpy(value, &s.timeoutMs, sizeof s.timeoutMs); return VI_SUCCESS;
    case VI_ATTR_SUPPRESS_END_EN: put16(s.suppressEnd ? VI_TRUE : VI_FALSE); return VI_SUCCESS;
    case VI_ATTR_WR_BUF_OPER_MODE: put16(s.writeMode); return VI_SUCCESS;
    case VI_ATTR_RD_BUF_OPER_MODE: put16(s.readMode); return VI_SUCCESS;
    case VI_ATTR_MANF_ID: put16(manufacturerId_); return VI_SUCCESS;
    case VI_ATTR_MODEL_CODE: put16(modelCode_); return VI_SUCCESS;
    default: return VI_ERROR_NSUP_ATTR;
  }
}

ViStatus Session::SetBuf(ViUInt16 mask, ViUInt32 size) {
  if ((mask & ~(VI_READ_BUF | VI_WRITE_BUF)) != 0) return VI_ERROR_INV_MASK;
  std::lock_guard lock(settingsMutex_);
  // Sizes are recorded only: reads and writes go straight to the link, so a
  // formatted-I/O buffer never holds data back.
  if (mask & VI_READ_BUF) settings_.readBufSize = size;
  if (mask & VI_WRITE_BUF) settings_.writeBufSize = size;
  return VI_SUCCESS;
}

Session::Settings Session::Snapshot() const {
  std::lock_guard lock(settingsMutex_);
  return settings_;
}

ViStatus Session::StatusOf(LinkResult r) {
  switch (r) {
    case LinkResult::Ok: return VI_SUCCESS;
    case LinkResult::Timeout: return VI_ERROR_TMO;
    case LinkResult::Lost: return VI_ERROR_CONN_LOST;
  }
  return VI_ERROR_IO;
}

ViStatus Session::Write(ViConstBuf buf, ViUInt32 count, ViUInt32& written) {
  written = 0;
  if (buf == nullptr && count > 0) return VI_ERROR_SYSTEM_ERROR;
  // A write is one piece, so the backend gets the whole timeout at once.
  const ViUInt32 timeoutMs = Snapshot().timeoutMs;
  const auto timeout = timeoutMs == VI_TMO_INFINITE ? kNoTimeLimit : std::chrono::milliseconds(timeoutMs);
  std::lock_guard lock(ioMutex_);
  if (!link_ || lost_) return VI_ERROR_CONN_LOST;
  if (count == 0) return VI_SUCCESS;
  const LinkResult r = link_->Send(buf, count, timeout);
  if (r == LinkResult::Lost) lost_ = true;
  if (r == LinkResult::Ok) written = count;
  return StatusOf(r);
}

// Copies unread bytes into the caller's buffer; true when that consumed the
// END of a message.
bool Session::TakePending(ViBuf buf, ViUInt32 count, ViUInt32& got) {
  const std::size_t n = std::min<std::size_t>(count - got, pending_.size() - pendingPos_);
  if (n > 0) std::memcpy(buf + got, pending_.data() + pendingPos_, n);
  pendingPos_ += n;
  got += static_cast<ViUInt32>(n);
  if (pendingPos_ < pending_.size() || !endAfterPending_) return false;
  endAfterPending_ = false;
  return true;
}

// Waits for the next piece of the reply stream; called only once the
// pending bytes are used up.
LinkResult Session::ReceivePiece(const Deadline& deadline) {
  if (!link_ || lost_) return LinkResult::Lost;
  pending_.clear();
  pendingPos_ = 0;
  for (;;) {
    bool end = false;
    const LinkResult r = link_->Receive(pending_, end, deadline.Slice());
    if (r == LinkResult::Ok) {
      endAfterPending_ = end;
      midMessage_ = !end;
      return r;
    }
    if (r == LinkResult::Lost) {
      lost_ = true;
      return r;
    }
    // The backend waited the whole slice it was given. A finite read ends
    // here even if the program's clock and the backend's disagree on the
    // time; only an infinite one goes on, slice after slice.
    if (!deadline.Infinite()) return r;
  }
}

ViStatus Session::Read(ViBuf buf, ViUInt32 count, ViUInt32& got) {
  got = 0;
  if (buf == nullptr && count > 0) return VI_ERROR_SYSTEM_ERROR;
  const Settings s = Snapshot();
  const Deadline deadline(s.timeoutMs);
  std::lock_guard lock(ioMutex_);
  for (;;) {
    const bool end = TakePending(buf, count, got);
    // VISA reports END in preference to a full buffer when both coincide.
    if (end && !s.suppressEnd) return VI_SUCCESS;
    if (got == count) return VI_SUCCESS_MAX_CNT;
    const LinkResult r = ReceivePiece(deadline);
    if (r != LinkResult::Ok) return StatusOf(r);
  }
}

ViStatus Session::DiscardRestOfMessage(const Deadline& deadline) {
  pending_.clear();
  pendingPos_ = 0;
  endAfterPending_ = false;
  while (midMessage_) {
    const LinkResult r = ReceivePiece(deadline);
    if (r != LinkResult::Ok) return StatusOf(r);
  }
  pending_.clear();
  endAfterPending_ = false;
  return VI_SUCCESS;
}

ViStatus Session::Flush(ViUInt16 mask) {
  if ((mask & ~(VI_READ_BUF | VI_WRITE_BUF)) != 0) return VI_ERROR_INV_MASK;
  // Writes are never held back, so flushing the write side has nothing to do.
  if (!(mask & VI_READ_BUF)) return VI_SUCCESS;
  const Deadline deadline(Snapshot().timeoutMs);
  std::lock_guard lock(ioMutex_);
  return DiscardRestOfMessage(deadline);
}

void Session::Close() {
  std::unique_ptr<DeviceLink> link;
  {
    std::lock_guard lock(ioMutex_);
    link = std::move(link_);
  }
}

}  // namespace visa
