// What a backend provides to the VISA layer: instruments that the search can
// list, and an exclusive link to one of them once opened.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/visa/Visa.h"

namespace visa {

enum class LinkResult { Ok, Timeout, Lost };

// A write timeout that never runs out (the session's VI_TMO_INFINITE).
inline constexpr std::chrono::milliseconds kNoTimeLimit{-1};

// An open, exclusively held connection to one instrument.
class DeviceLink {
 public:
  virtual ~DeviceLink() = default;
  // Host to device: the bytes of one viWrite, unchanged. Gives up after
  // `timeout` (kNoTimeLimit: never) when the device does not take them.
  virtual LinkResult Send(const std::uint8_t* data, std::size_t count, std::chrono::milliseconds timeout) = 0;
  // Device to host: waits up to `timeout` for the next piece of the reply
  // stream and appends it to `out`. `endOfMessage` is set when the piece ends
  // an instrument message (END). Timeout leaves `out` untouched.
  virtual LinkResult Receive(std::vector<std::uint8_t>& out, bool& endOfMessage,
                             std::chrono::milliseconds timeout) = 0;
};

// A resource the search lists, e.g. USB0::0x2177::0x1004::SERIAL::RAW.
class Instrument {
 public:
  virtual ~Instrument() = default;
  virtual std::string Descriptor() const = 0;
  virtual std::uint16_t ManufacturerId() const = 0;
  virtual std::uint16_t ModelCode() const = 0;
  // Claims the instrument. VI_ERROR_RSRC_BUSY when another session (of this
  // or another process) holds it; the link is set only on VI_SUCCESS.
  virtual ViStatus Open(std::unique_ptr<DeviceLink>& link) = 0;
};

// Instruments given on the command line, listed before USB devices in the
// order they were added.
void AddInstrument(std::shared_ptr<Instrument> instrument);
void AddTunnelInstrument(const std::string& host, std::uint16_t port);
void ClearInstruments();
// USB enumeration (libusb) takes part in the search when enabled and built.
void EnableUsbSearch(bool enabled);

inline constexpr std::uint16_t kKelvarinVendorId = 0x2177;
inline constexpr std::uint16_t kModelCode162 = 0x1004;
inline constexpr std::uint16_t kModelCodeOther = 0x1002;

// "USB0::0x2177::0x1004::<serial>::RAW"
std::string UsbRawDescriptor(std::uint16_t vendor, std::uint16_t modelCode, const std::string& serial);

}  // namespace visa
