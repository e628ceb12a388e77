// Helpers shared by the signal-side tests: big-endian readers and a one-shot
// acquisition.
#pragma once

#include <bit>
#include <cstdint>
#include <random>

#include "sim/Acquisition.h"

namespace kvxsim::test {

inline std::uint64_t ReadBigEndian(const std::uint8_t* p, int width) {
  std::uint64_t value = 0;
  for (int i = 0; i < width; ++i) value = (value << 8) | p[i];
  return value;
}
inline std::uint16_t ReadU16(const std::uint8_t* p) { return static_cast<std::uint16_t>(ReadBigEndian(p, 2)); }
inline std::uint32_t ReadU32(const std::uint8_t* p) { return static_cast<std::uint32_t>(ReadBigEndian(p, 4)); }
inline float ReadF32(const std::uint8_t* p) { return std::bit_cast<float>(ReadU32(p)); }
inline double ReadF64(const std::uint8_t* p) { return std::bit_cast<double>(ReadBigEndian(p, 8)); }

inline SignalSpec Sine(double hz, double vpp, double offset = 0.0, double noise = 0.0) {
  return {Waveform::Sine, hz, vpp, offset, noise};
}

// One acquisition that must succeed.
inline Record AcquireOnce(const AcquisitionSettings& settings, const std::array<SignalSpec, 2>& signals,
                          double now = 0.0, std::uint64_t seed = 1) {
  std::mt19937_64 rng(seed);
  Record record;
  if (!Acquire(settings, signals, now, rng, record)) record = Record{};
  return record;
}

}  // namespace kvxsim::test
