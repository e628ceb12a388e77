#include "app/DefaultSetup.h"

#include <cstring>
#include <string_view>

namespace {

using namespace std::string_view_literals;

struct DefaultBytes {
  std::size_t offset;
  std::string_view bytes;  // little-endian values and texts, as stored
};

// Every byte not listed is zero.
constexpr DefaultBytes kDefaultSetup[] = {
    {0, "\xad\xde"sv},                   // checksum placeholder 0xDEAD
    {4, "\x01"sv},
    {6, "\x01"sv},
    {8, "\x01"sv},                       // runState: stopped
    {10, "\x0f"sv},                      // effectiveTimebaseIndex: 100 us/div
    {12, "\x58\x9e\xff\xff\x01"sv},      // horizontalOffset -25000, then 1 at 16
    {64, "\x4f\xc3"sv},                  // 49999
    {78, "\x01"sv},
    {80, "\x04"sv},
    {96, "\xad\xde"sv},
    {100, "\x00\x00\xa0\x41"sv},         // zoomFactor 20.0
    {110, "V"sv},                        // ch1Unit
    {114, "V"sv},                        // ch2Unit
    {120, "\x00\x00\x80\x3f"sv},         // 1.0
    {124, "\x00\x00\x80\x3f"sv},         // 1.0
    {128, "\x00\x00\x80\x3f"sv},         // ch1ProbeFactor 1.0
    {132, "\x00\x00\x80\x3f"sv},         // ch2ProbeFactor 1.0
    {136, "s"sv},                        // time unit
    {140, "\x04"sv},                     // ch1VoltsPerDivIndex: 50 mV/div
    {142, "\x04"sv},                     // ch2VoltsPerDivIndex
    {144, "\x04"sv},
    {146, "\x04"sv},
    {152, "\xad\xde"sv},
    {156, "\x00\x00\xa0\x41"sv},         // 20.0
    {172, "\xff\xff"sv},
    {192, "\xad\xde"sv},
    {213, "\xff\x07"sv},
    {217, "\xff\x07"sv},
    {220, "\xad\xde\xad\xde\xa8\x61"sv}, // two 0xDEAD words, then 25000
    {229, "\xff\x07"sv},
    {238, "\x80\x3f"sv},                 // 1.0 at 236
    {244, "\x01"sv},
    {250, "\x80\x3f"sv},                 // 1.0 at 248
    {256, "\xad\xde\xad\xde"sv},
    {290, "\x0f"sv},                     // timebaseIndex: 100 us/div
    {300, "\xad\xde\xad\xde\xad\xde"sv},
    {308, "\xad\xde"sv},
    {454, "192.168.000.100"sv},          // ipAddress
    {472, "\x01"sv},
    {480, "\xad\xde"sv},
    {484, "\x01"sv},                     // ch1TriggerCoupling: DC
    {486, "\x01"sv},                     // ch2TriggerCoupling: DC
    {500, "\x01"sv},
    {506, "255.255.255.000"sv},          // netMask
    {522, "000.000.000.000"sv},          // gateway
};

constexpr std::array<std::uint8_t, kSetupSize> BuildDefaultSetup() {
  std::array<std::uint8_t, kSetupSize> record{};
  for (const DefaultBytes& entry : kDefaultSetup)
    for (std::size_t i = 0; i < entry.bytes.size(); ++i)
      record[entry.offset + i] = static_cast<std::uint8_t>(entry.bytes[i]);
  return record;
}

constexpr std::array<std::uint8_t, kSetupSize> kDefaultSetupBytes = BuildDefaultSetup();

}  // namespace

const std::array<std::uint8_t, kSetupSize>& DefaultSetupBytes() { return kDefaultSetupBytes; }

InstrumentSetup DefaultSetupRecord() {
  InstrumentSetup setup;
  std::memcpy(&setup, kDefaultSetupBytes.data(), kSetupSize);
  return setup;
}

void LoadDefaultSetup(InstrumentSetup& setup) {
  char ipAddress[sizeof setup.ipAddress];
  std::memcpy(ipAddress, setup.ipAddress, sizeof ipAddress);
  setup = DefaultSetupRecord();
  std::memcpy(setup.ipAddress, ipAddress, sizeof ipAddress);
  setup.runState = 1;
}

InstrumentSetup FreshStartSetup() {
  InstrumentSetup setup{};
  LoadDefaultSetup(setup);
  setup.ch1Displayed = 1;
  setup.ch2Displayed = 1;
  setup.runState = 0;
  return setup;
}
