// One open instrument session: its attributes, its link and the bytes of a
// message received but not yet read. Safe to call from several threads; I/O
// calls are serialised, attribute calls do not wait for I/O in progress.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/visa/Backend.h"
#include "platform/visa/Visa.h"

namespace visa {

class Session {
 public:
  Session(std::uint16_t manufacturerId, std::uint16_t modelCode, std::unique_ptr<DeviceLink> link);

  ViStatus SetAttribute(ViAttr attr, ViAttrState value);
  ViStatus GetAttribute(ViAttr attr, void* value) const;
  ViStatus SetBuf(ViUInt16 mask, ViUInt32 size);
  ViStatus Flush(ViUInt16 mask);
  ViStatus Read(ViBuf buf, ViUInt32 count, ViUInt32& got);
  ViStatus Write(ViConstBuf buf, ViUInt32 count, ViUInt32& written);
  // Releases the link (and with it the instrument). Later I/O fails.
  void Close();

 private:
  class Deadline;
  struct Settings {
    ViUInt32 timeoutMs = kVisaDefaultTimeoutMs;
    bool suppressEnd = false;
    ViUInt16 writeMode = VI_FLUSH_WHEN_FULL;
    ViUInt16 readMode = VI_FLUSH_ON_ACCESS;
    ViUInt32 readBufSize = 4096;
    ViUInt32 writeBufSize = 4096;
  };

  Settings Snapshot() const;
  bool TakePending(ViBuf buf, ViUInt32 count, ViUInt32& got);
  LinkResult ReceivePiece(const Deadline& deadline);
  ViStatus DiscardRestOfMessage(const Deadline& deadline);
  static ViStatus StatusOf(LinkResult r);

  const std::uint16_t manufacturerId_;
  const std::uint16_t modelCode_;

  mutable std::mutex settingsMutex_;
  Settings settings_;

  std::mutex ioMutex_;
  std::unique_ptr<DeviceLink> link_;
  bool lost_ = false;
  // Unread tail of the last piece received; END follows it when
  // endAfterPending_ (a zero-length END piece leaves pending_ empty).
  std::vector<std::uint8_t> pending_;
  std::size_t pendingPos_ = 0;
  bool endAfterPending_ = false;
  // A message has begun arriving and its END has not.
  bool midMessage_ = false;
};

}  // namespace visa
