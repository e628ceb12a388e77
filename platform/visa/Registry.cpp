#include "platform/visa/Registry.h"

#include <atomic>
#include <cstdio>
#include <mutex>

#include "platform/visa/TunnelBackend.h"
#include "platform/visa/UsbBackend.h"

namespace visa {
namespace {

std::mutex gMutex;
std::vector<std::shared_ptr<Instrument>> gInstruments;
std::atomic<bool> gUsbSearch{false};

}  // namespace

void AddInstrument(std::shared_ptr<Instrument> instrument) {
  if (!instrument) return;
  std::lock_guard lock(gMutex);
  gInstruments.push_back(std::move(instrument));
}

void AddTunnelInstrument(const std::string& host, std::uint16_t port) {
  AddInstrument(MakeTunnelInstrument(host, port));
}

void ClearInstruments() {
  std::lock_guard lock(gMutex);
  gInstruments.clear();
}

void EnableUsbSearch(bool enabled) { gUsbSearch.store(enabled); }

std::vector<std::shared_ptr<Instrument>> ListInstruments() {
  std::vector<std::shared_ptr<Instrument>> list;
  {
    std::lock_guard lock(gMutex);
    list = gInstruments;
  }
  if (gUsbSearch.load()) {
    auto usb = EnumerateUsbInstruments();
    list.insert(list.end(), usb.begin(), usb.end());
  }
  return list;
}

std::string UsbRawDescriptor(std::uint16_t vendor, std::uint16_t modelCode, const std::string& serial) {
  char ids[32];
  std::snprintf(ids, sizeof ids, "USB0::0x%04X::0x%04X::", vendor, modelCode);
  return ids + serial + "::RAW";
}

}  // namespace visa
