// libusb side of the USB backend: enumeration, claiming and bulk transfers.
#include "platform/visa/UsbBackend.h"

#ifdef ORNI_HAVE_LIBUSB

#include <libusb.h>

#include <algorithm>
#include <cstdio>

namespace visa {
namespace {

constexpr int kInterface = 0;

// One context for the process; libusb is thread-safe on it.
libusb_context* Context() {
  static libusb_context* const context = [] {
    libusb_context* c = nullptr;
    return libusb_init(&c) == 0 ? c : nullptr;
  }();
  return context;
}

UsbBulkTransfer::Result ResultOf(int rc) {
  if (rc == 0) return UsbBulkTransfer::Result::Ok;
  if (rc == LIBUSB_ERROR_TIMEOUT) return UsbBulkTransfer::Result::Timeout;
  return UsbBulkTransfer::Result::Lost;
}

unsigned int TimeoutMs(std::chrono::milliseconds t) {
  // libusb treats 0 as "no timeout"; the smallest real wait is 1 ms.
  if (t.count() < 0) return 0;
  return static_cast<unsigned int>(std::clamp<long long>(t.count(), 1, 0x7FFFFFFF));
}

class LibusbTransfer : public UsbBulkTransfer {
 public:
  LibusbTransfer(libusb_device_handle* handle, unsigned char in, unsigned char out, std::size_t maxPacket)
      : handle_(handle), in_(in), out_(out), maxPacket_(maxPacket) {}
  ~LibusbTransfer() override {
    libusb_release_interface(handle_, kInterface);
    libusb_close(handle_);
  }

  std::size_t MaxPacketSize() const override { return maxPacket_; }

  Result BulkOut(const std::uint8_t* data, std::size_t count, std::size_t& sent,
                 std::chrono::milliseconds timeout) override {
    int done = 0;
    const int rc = libusb_bulk_transfer(handle_, out_, const_cast<std::uint8_t*>(data), static_cast<int>(count),
                                        &done, TimeoutMs(timeout));
    sent = static_cast<std::size_t>(done);
    return ResultOf(rc);
  }

  Result BulkIn(std::uint8_t* buf, std::size_t capacity, std::size_t& got,
                std::chrono::milliseconds timeout) override {
    int done = 0;
    const int rc = libusb_bulk_transfer(handle_, in_, buf, static_cast<int>(capacity), &done, TimeoutMs(timeout));
    got = static_cast<std::size_t>(done);
    return ResultOf(rc);
  }

 private:
  libusb_device_handle* handle_;
  unsigned char in_, out_;
  std::size_t maxPacket_;
};

struct BulkEndpoints {
  unsigned char in = 0, out = 0;
  std::size_t maxPacket = 0;
};

bool FindBulkEndpoints(libusb_device* device, BulkEndpoints& eps) {
  libusb_config_descriptor* config = nullptr;
  if (libusb_get_active_config_descriptor(device, &config) != 0) return false;
  if (config->bNumInterfaces > kInterface && config->interface[kInterface].num_altsetting > 0) {
    const libusb_interface_descriptor& alt = config->interface[kInterface].altsetting[0];
    for (int i = 0; i < alt.bNumEndpoints; ++i) {
      const libusb_endpoint_descriptor& ep = alt.endpoint[i];
      if ((ep.bmAttributes & 0x03) != LIBUSB_TRANSFER_TYPE_BULK) continue;
      if (ep.bEndpointAddress & LIBUSB_ENDPOINT_IN) {
        eps.in = ep.bEndpointAddress;
        eps.maxPacket = ep.wMaxPacketSize & 0x7FF;
      } else {
        eps.out = ep.bEndpointAddress;
      }
    }
  }
  libusb_free_config_descriptor(config);
  return eps.in != 0 && eps.out != 0 && eps.maxPacket != 0;
}

ViStatus StatusOfOpen(int rc) {
  if (rc == LIBUSB_ERROR_BUSY) return VI_ERROR_RSRC_BUSY;
  if (rc == LIBUSB_ERROR_NO_DEVICE || rc == LIBUSB_ERROR_NOT_FOUND) return VI_ERROR_RSRC_NFOUND;
  return VI_ERROR_IO;
}

class UsbInstrument : public Instrument {
 public:
  UsbInstrument(libusb_device* device, ResourceFacts facts) : device_(libusb_ref_device(device)), facts_(std::move(facts)) {}
  ~UsbInstrument() override { libusb_unref_device(device_); }

  std::string Descriptor() const override { return facts_.descriptor; }
  std::uint16_t ManufacturerId() const override { return facts_.manufacturerId; }
  std::uint16_t ModelCode() const override { return facts_.modelCode; }

  ViStatus Open(std::unique_ptr<DeviceLink>& link) override {
    BulkEndpoints eps;
    if (!FindBulkEndpoints(device_, eps)) return VI_ERROR_IO;
    libusb_device_handle* handle = nullptr;
    int rc = libusb_open(device_, &handle);
    if (rc != 0) return StatusOfOpen(rc);
    libusb_set_auto_detach_kernel_driver(handle, 1);
    rc = libusb_claim_interface(handle, kInterface);
    if (rc != 0) {
      libusb_close(handle);
      return StatusOfOpen(rc);
    }
    link = std::make_unique<UsbDeviceLink>(std::make_unique<LibusbTransfer>(handle, eps.in, eps.out, eps.maxPacket));
    return VI_SUCCESS;
  }

 private:
  libusb_device* device_;
  ResourceFacts facts_;
};

// The serial string needs the device opened; without access to it the
// device is still listed, under its bus position, so a later open can tell
// the user why it failed.
std::string SerialOf(libusb_device* device, const libusb_device_descriptor& desc) {
  libusb_device_handle* handle = nullptr;
  if (desc.iSerialNumber != 0 && libusb_open(device, &handle) == 0) {
    unsigned char text[256] = {};
    const int n = libusb_get_string_descriptor_ascii(handle, desc.iSerialNumber, text, sizeof text - 1);
    libusb_close(handle);
    if (n > 0) return std::string(reinterpret_cast<const char*>(text), static_cast<std::size_t>(n));
  }
  char fallback[32];
  std::snprintf(fallback, sizeof fallback, "BUS%03uDEV%03u", libusb_get_bus_number(device),
                libusb_get_device_address(device));
  return fallback;
}

}  // namespace

std::vector<std::shared_ptr<Instrument>> EnumerateUsbInstruments() {
  std::vector<std::shared_ptr<Instrument>> found;
  libusb_context* context = Context();
  if (context == nullptr) return found;
  libusb_device** devices = nullptr;
  const ssize_t count = libusb_get_device_list(context, &devices);
  for (ssize_t i = 0; i < count; ++i) {
    libusb_device_descriptor desc{};
    if (libusb_get_device_descriptor(devices[i], &desc) != 0 || desc.idVendor != kKelvarinVendorId) continue;
    found.push_back(std::make_shared<UsbInstrument>(
        devices[i], DescribeUsbDevice(desc.idVendor, desc.idProduct, SerialOf(devices[i], desc))));
  }
  if (count >= 0) libusb_free_device_list(devices, 1);
  return found;
}

}  // namespace visa

#else

namespace visa {

std::vector<std::shared_ptr<Instrument>> EnumerateUsbInstruments() { return {}; }

}  // namespace visa

#endif
