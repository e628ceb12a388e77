// Real instruments on USB: vendor 0x2177, bulk OUT carries writes, bulk IN
// carries replies, and a short packet (shorter than wMaxPacketSize, including
// a zero-length one) ends a message. The END logic sits on a small transfer
// interface so it does not depend on libusb.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/visa/Backend.h"
#include "platform/visa/ResourceExpr.h"

namespace visa {

class UsbBulkTransfer {
 public:
  enum class Result { Ok, Timeout, Lost };
  virtual ~UsbBulkTransfer() = default;
  // wMaxPacketSize of the bulk IN endpoint.
  virtual std::size_t MaxPacketSize() const = 0;
  // Sends all bytes; `sent` says how many went before a failure. A negative
  // timeout waits as long as the device needs.
  virtual Result BulkOut(const std::uint8_t* data, std::size_t count, std::size_t& sent,
                         std::chrono::milliseconds timeout) = 0;
  // One bulk IN transfer of up to `capacity` bytes (a multiple of the packet
  // size). It completes when the buffer is full or a short packet arrives.
  // On Timeout, `got` still reports bytes that came before it.
  virtual Result BulkIn(std::uint8_t* buf, std::size_t capacity, std::size_t& got,
                        std::chrono::milliseconds timeout) = 0;
};

class UsbDeviceLink : public DeviceLink {
 public:
  // Bytes asked for per bulk IN transfer (rounded down to whole packets).
  static constexpr std::size_t kReadChunk = 64 * 1024;

  explicit UsbDeviceLink(std::unique_ptr<UsbBulkTransfer> transfer);

  LinkResult Send(const std::uint8_t* data, std::size_t count, std::chrono::milliseconds timeout) override;
  LinkResult Receive(std::vector<std::uint8_t>& out, bool& endOfMessage, std::chrono::milliseconds timeout) override;

 private:
  std::unique_ptr<UsbBulkTransfer> transfer_;
  std::vector<std::uint8_t> buffer_;
};

// How a USB device appears to the search: the descriptor built from its
// serial string, vendor id as manufacturer id, product id as model code.
ResourceFacts DescribeUsbDevice(std::uint16_t vendor, std::uint16_t product, const std::string& serial);

// Vendor 0x2177 devices present now; empty when built without libusb.
std::vector<std::shared_ptr<Instrument>> EnumerateUsbInstruments();

}  // namespace visa
