#include "sim/SetupStore.h"

#include <algorithm>
#include <bit>

#include "sim/BigEndian.h"

namespace kvxsim {
namespace {

enum class Kind { I16, I32, F32, Byte, Text };

struct Default {
  std::size_t offset;
  Kind kind;
  double value;              // numeric kinds
  const char* text = nullptr;
};

constexpr std::uint16_t kFill16 = 0xDEAD;
constexpr std::uint32_t kFill32 = 0xDEADDEAD;

// The factory record: every field whose default is not zero.
constexpr Default kFactory[] = {
    {4, Kind::I16, 1},
    {6, Kind::I16, 1},
    {setup::kRunState, Kind::I16, 1},
    {setup::kEffectiveTimebaseIndex, Kind::I16, 15},
    {setup::kHorizontalOffset, Kind::I32, -25000},
    {16, Kind::I16, 1},
    {setup::kCursorTime2, Kind::I32, 49999},
    {78, Kind::I16, 1},
    {80, Kind::I32, 4},
    {96, Kind::I16, kFill16},
    {setup::kZoomFactor, Kind::F32, 20.0},
    {setup::kUnit[0], Kind::Text, 0, "V"},
    {setup::kUnit[1], Kind::Text, 0, "V"},
    {120, Kind::F32, 1.0},
    {124, Kind::F32, 1.0},
    {setup::kProbeFactor[0], Kind::F32, 1.0},
    {setup::kProbeFactor[1], Kind::F32, 1.0},
    {136, Kind::Text, 0, "s"},
    {setup::kVoltsPerDivIndex[0], Kind::I16, 4},
    {setup::kVoltsPerDivIndex[1], Kind::I16, 4},
    {144, Kind::I16, 4},
    {146, Kind::I16, 4},
    {152, Kind::I16, kFill16},
    {156, Kind::F32, 20.0},
    {172, Kind::I16, -1},
    {192, Kind::I16, kFill16},
    {212, Kind::I32, 0x7FF00},
    {216, Kind::I32, 0x7FF00},
    {220, Kind::I16, kFill16},
    {222, Kind::I16, kFill16},
    {224, Kind::I32, 25000},
    {228, Kind::I32, 0x7FF00},
    {236, Kind::F32, 1.0},
    {244, Kind::I16, 1},
    {248, Kind::F32, 1.0},
    {256, Kind::I32, kFill32},
    {setup::kTimebaseIndex, Kind::I16, 15},
    {300, Kind::I16, kFill16},
    {302, Kind::I16, kFill16},
    {304, Kind::I16, kFill16},
    {308, Kind::I16, kFill16},
    {setup::kIpAddress, Kind::Text, 0, "192.168.000.100"},
    {472, Kind::I32, 1},
    {480, Kind::I16, kFill16},
    {setup::kTriggerCoupling[0], Kind::I16, 1},
    {setup::kTriggerCoupling[1], Kind::I16, 1},
    {500, Kind::Byte, 1},
    {setup::kNetMask, Kind::Text, 0, "255.255.255.000"},
    {setup::kGateway, Kind::Text, 0, "000.000.000.000"},
};

std::uint64_t GetBigEndian(const std::uint8_t* in, int width) {
  std::uint64_t value = 0;
  for (int i = 0; i < width; ++i) value = (value << 8) | in[i];
  return value;
}

}  // namespace

std::uint32_t SetupChecksum(const std::uint8_t* data, std::size_t count) {
  std::uint32_t sum = 0;
  for (std::size_t i = 0; i < count; ++i) sum += data[i];
  return ~sum;
}

SetupStore::SetupStore() { ResetToFactory(); }

void SetupStore::ResetToFactory() {
  bytes_.fill(0);
  for (const Default& d : kFactory) {
    std::uint8_t* at = &bytes_[d.offset];
    switch (d.kind) {
      case Kind::I16: PutU16(at, static_cast<std::uint16_t>(static_cast<std::int64_t>(d.value))); break;
      case Kind::I32: PutU32(at, static_cast<std::uint32_t>(static_cast<std::int64_t>(d.value))); break;
      case Kind::F32: PutF32(at, static_cast<float>(d.value)); break;
      case Kind::Byte: *at = static_cast<std::uint8_t>(d.value); break;
      case Kind::Text: std::copy_n(d.text, std::char_traits<char>::length(d.text), at); break;
    }
  }
  Seal();
}

bool SetupStore::Load(const std::uint8_t* data, std::size_t count) {
  if (count != kSetupSize) return false;
  const auto stored = static_cast<std::uint32_t>(GetBigEndian(data + setup::kChecksum, 4));
  if (stored != SetupChecksum(data + 4, kSetupSize - 4)) return false;
  std::copy_n(data, kSetupSize, bytes_.begin());
  return true;
}

std::uint16_t SetupStore::U16(std::size_t offset) const {
  return static_cast<std::uint16_t>(GetBigEndian(&bytes_.at(offset + 1) - 1, 2));
}
std::int16_t SetupStore::I16(std::size_t offset) const { return static_cast<std::int16_t>(U16(offset)); }
std::uint32_t SetupStore::U32(std::size_t offset) const {
  return static_cast<std::uint32_t>(GetBigEndian(&bytes_.at(offset + 3) - 3, 4));
}
std::int32_t SetupStore::I32(std::size_t offset) const { return static_cast<std::int32_t>(U32(offset)); }
float SetupStore::F32(std::size_t offset) const { return std::bit_cast<float>(U32(offset)); }

std::string SetupStore::Text(std::size_t offset, std::size_t size) const {
  const auto begin = bytes_.begin() + static_cast<std::ptrdiff_t>(offset);
  const auto end = begin + static_cast<std::ptrdiff_t>(std::min(size, kSetupSize - offset));
  return std::string(begin, std::find(begin, end, 0));
}

void SetupStore::SetU16(std::size_t offset, std::uint16_t value) {
  PutU16(&bytes_.at(offset + 1) - 1, value);
  Seal();
}
void SetupStore::SetI16(std::size_t offset, std::int16_t value) { SetU16(offset, static_cast<std::uint16_t>(value)); }
void SetupStore::SetU32(std::size_t offset, std::uint32_t value) {
  PutU32(&bytes_.at(offset + 3) - 3, value);
  Seal();
}
void SetupStore::SetI32(std::size_t offset, std::int32_t value) { SetU32(offset, static_cast<std::uint32_t>(value)); }
void SetupStore::SetF32(std::size_t offset, float value) { SetU32(offset, std::bit_cast<std::uint32_t>(value)); }

void SetupStore::SetText(std::size_t offset, std::size_t size, const std::string& text) {
  std::uint8_t* at = &bytes_.at(offset + size - 1) - (size - 1);
  std::fill_n(at, size, 0);
  std::copy_n(text.begin(), std::min(text.size(), size - 1), at);
  Seal();
}

void SetupStore::Seal() { PutU32(bytes_.data(), SetupChecksum(bytes_.data() + 4, kSetupSize - 4)); }

}  // namespace kvxsim
