#include "platform/visa/UsbBackend.h"

#include <algorithm>

namespace visa {

UsbDeviceLink::UsbDeviceLink(std::unique_ptr<UsbBulkTransfer> transfer) : transfer_(std::move(transfer)) {}

// A timed-out write leaves the link usable: the instrument splits what it
// got at carriage returns, and USB keeps no byte stream to fall out of step.
LinkResult UsbDeviceLink::Send(const std::uint8_t* data, std::size_t count, std::chrono::milliseconds timeout) {
  std::size_t sent = 0;
  switch (transfer_->BulkOut(data, count, sent, timeout)) {
    case UsbBulkTransfer::Result::Ok: return LinkResult::Ok;
    case UsbBulkTransfer::Result::Timeout: return LinkResult::Timeout;
    case UsbBulkTransfer::Result::Lost: break;
  }
  return LinkResult::Lost;
}

LinkResult UsbDeviceLink::Receive(std::vector<std::uint8_t>& out, bool& endOfMessage,
                                  std::chrono::milliseconds timeout) {
  const std::size_t packet = std::max<std::size_t>(transfer_->MaxPacketSize(), 1);
  // Whole packets only: a packet that does not fit would overflow the transfer.
  const std::size_t capacity = std::max(packet, kReadChunk / packet * packet);
  buffer_.resize(capacity);
  std::size_t got = 0;
  const UsbBulkTransfer::Result r = transfer_->BulkIn(buffer_.data(), capacity, got, timeout);
  if (r == UsbBulkTransfer::Result::Lost) return LinkResult::Lost;
  got = std::min(got, capacity);
  if (r == UsbBulkTransfer::Result::Timeout && got == 0) return LinkResult::Timeout;
  out.insert(out.end(), buffer_.begin(), buffer_.begin() + static_cast<std::ptrdiff_t>(got));
  // A transfer that stopped before filling the buffer ended on a short packet.
  // Bytes delivered by a timeout are only part of a message.
  endOfMessage = r == UsbBulkTransfer::Result::Ok && got < capacity;
  return LinkResult::Ok;
}

ResourceFacts DescribeUsbDevice(std::uint16_t vendor, std::uint16_t product, const std::string& serial) {
  return ResourceFacts{UsbRawDescriptor(vendor, product, serial), vendor, product};
}

}  // namespace visa
