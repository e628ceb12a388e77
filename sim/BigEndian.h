// Big-endian field writers for the instrument's binary blocks (most
// significant byte first, IEEE 754 reals).
#pragma once

#include <bit>
#include <cstdint>

namespace kvxsim {

inline void PutBigEndian(std::uint8_t* out, std::uint64_t value, int width) {
  for (int i = width - 1; i >= 0; --i) {
    out[i] = static_cast<std::uint8_t>(value & 0xFF);
    value >>= 8;
  }
}

inline void PutU16(std::uint8_t* out, std::uint16_t value) { PutBigEndian(out, value, 2); }
inline void PutU32(std::uint8_t* out, std::uint32_t value) { PutBigEndian(out, value, 4); }
inline void PutI32(std::uint8_t* out, std::int32_t value) { PutU32(out, static_cast<std::uint32_t>(value)); }
inline void PutF32(std::uint8_t* out, float value) { PutU32(out, std::bit_cast<std::uint32_t>(value)); }
inline void PutF64(std::uint8_t* out, double value) { PutBigEndian(out, std::bit_cast<std::uint64_t>(value), 8); }

}  // namespace kvxsim
