// One fuzz input carries both state files and the monitor size:
//   byte 0      bit 0: a preferences file exists, bit 1: a setup file exists,
//               bits 2-3: which of four monitor sizes
//   bytes 1-2   length of the setup file (little-endian), cut to what follows
//   then        the setup file, then the preferences file (all that is left)
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "app/PreferencesBlock.h"

namespace fuzzinput {

using Bytes = std::span<const std::uint8_t>;

inline constexpr std::array<MonitorSize, 4> kMonitors = {
    MonitorSize{1080, 1920}, MonitorSize{0, 0}, MonitorSize{10, 10}, MonitorSize{2160, 3840}};
inline constexpr std::uint8_t kHasPreferences = 1;
inline constexpr std::uint8_t kHasSetup = 2;
inline constexpr std::size_t kPrefixSize = 3;

struct StateFiles {
  std::optional<Bytes> preferences;
  std::optional<Bytes> setup;
  MonitorSize monitor;
};

inline StateFiles SplitStateFiles(Bytes input) {
  StateFiles files{std::nullopt, std::nullopt, kMonitors[0]};
  if (input.size() < kPrefixSize) return files;
  const std::uint8_t flags = input[0];
  files.monitor = kMonitors[(flags >> 2) & 3];
  const std::size_t setupSize = std::min<std::size_t>(input[1] | (input[2] << 8), input.size() - kPrefixSize);
  const Bytes setup = input.subspan(kPrefixSize, setupSize);
  const Bytes preferences = input.subspan(kPrefixSize + setupSize);
  if (flags & kHasSetup) files.setup = setup;
  if (flags & kHasPreferences) files.preferences = preferences;
  return files;
}

inline std::vector<std::uint8_t> JoinStateFiles(std::optional<Bytes> preferences, std::optional<Bytes> setup,
                                                int monitor) {
  const std::size_t setupSize = setup ? setup->size() : 0;
  std::vector<std::uint8_t> input = {
      static_cast<std::uint8_t>((preferences ? kHasPreferences : 0) | (setup ? kHasSetup : 0) | ((monitor & 3) << 2)),
      static_cast<std::uint8_t>(setupSize & 0xFF), static_cast<std::uint8_t>(setupSize >> 8)};
  if (setup) input.insert(input.end(), setup->begin(), setup->end());
  if (preferences) input.insert(input.end(), preferences->begin(), preferences->end());
  return input;
}

}  // namespace fuzzinput
