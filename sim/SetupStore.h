// The instrument's own 572-byte setup record, kept as it travels: every
// 16- and 32-bit field big-endian, texts as they are. Fields are reached by
// offset; the record always carries a valid checksum at offset 0.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace kvxsim {

inline constexpr std::size_t kSetupSize = 572;
using SetupBytes = std::array<std::uint8_t, kSetupSize>;

// Offsets of the fields the instrument uses. Per-channel fields are indexed
// by channel 0 (CH1) and 1 (CH2).
namespace setup {
inline constexpr std::size_t kChecksum = 0;                  // u32
inline constexpr std::size_t kRunState = 8;                  // i16: 1 HOLD, 0 RUN
inline constexpr std::size_t kEffectiveTimebaseIndex = 10;   // u16
inline constexpr std::size_t kHorizontalOffset = 12;         // i32
inline constexpr std::size_t kTriggerMode = 18;              // u16: 0 auto, 1 normal, 2 single
inline constexpr std::size_t kLoadedTraceMask = 20;          // i16
inline constexpr std::array<std::size_t, 2> kVerticalOffset = {22, 24};     // i16, 1/22 div
inline constexpr std::size_t kZoomPosition = 28;             // i32
inline constexpr std::array<std::size_t, 2> kDisplayed = {36, 44};          // i32
inline constexpr std::array<std::size_t, 2> kCoupling = {40, 48};           // i16
inline constexpr std::size_t kReferenceChannel = 56;         // u16
inline constexpr std::size_t kCursorTime1 = 60;              // i32, record point
inline constexpr std::size_t kCursorTime2 = 64;              // i32, record point
inline constexpr std::size_t kZoomFactor = 100;              // f32
inline constexpr std::array<std::size_t, 2> kUnit = {110, 114};             // char[4]
inline constexpr std::size_t kUnitSize = 4;
inline constexpr std::array<std::size_t, 2> kProbeFactor = {128, 132};      // f32
inline constexpr std::array<std::size_t, 2> kVoltsPerDivIndex = {140, 142}; // u16
inline constexpr std::size_t kViewState = 150;               // i16
inline constexpr std::size_t kAutoMeasurementsOn = 168;      // i32
inline constexpr std::size_t kTriggerSource = 280;           // u16: 0 CH1, 1 CH2, 2 none
inline constexpr std::array<std::size_t, 2> kTriggerLevel = {282, 284};     // i16, 1/22 div
inline constexpr std::size_t kTimebaseIndex = 290;           // u16, 0..30
inline constexpr std::array<std::size_t, 2> kLoadedTrace = {352, 356};      // i32
inline constexpr std::size_t kIpAddress = 454;               // char[16]
inline constexpr std::size_t kTriggerType = 482;             // u16
inline constexpr std::array<std::size_t, 2> kTriggerCoupling = {484, 486};  // u16, 0..3
inline constexpr std::array<std::size_t, 2> kTriggerSlope = {488, 490};     // u16
inline constexpr std::size_t kNetMask = 506;                 // char[16]
inline constexpr std::size_t kGateway = 522;                 // char[16]
inline constexpr std::size_t kAddressSize = 16;
}  // namespace setup

// Bitwise NOT of the 32-bit sum of the bytes.
std::uint32_t SetupChecksum(const std::uint8_t* data, std::size_t count);

class SetupStore {
 public:
  SetupStore();  // the factory record

  const SetupBytes& Bytes() const { return bytes_; }
  // Takes a record from the wire when its checksum holds; false leaves the
  // store as it was.
  bool Load(const std::uint8_t* data, std::size_t count);
  void ResetToFactory();

  std::uint16_t U16(std::size_t offset) const;
  std::int16_t I16(std::size_t offset) const;
  std::uint32_t U32(std::size_t offset) const;
  std::int32_t I32(std::size_t offset) const;
  float F32(std::size_t offset) const;
  std::string Text(std::size_t offset, std::size_t size) const;  // up to the first NUL

  void SetU16(std::size_t offset, std::uint16_t value);
  void SetI16(std::size_t offset, std::int16_t value);
  void SetU32(std::size_t offset, std::uint32_t value);
  void SetI32(std::size_t offset, std::int32_t value);
  void SetF32(std::size_t offset, float value);
  // NUL-padded; cut so that one NUL always remains.
  void SetText(std::size_t offset, std::size_t size, const std::string& text);

 private:
  void Seal();

  SetupBytes bytes_{};
};

}  // namespace kvxsim
