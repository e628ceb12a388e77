// The setup file "Ornikelva.okv.CFG": the program's setup record exactly as
// held in memory (little-endian) with a fresh checksum, then "\n\r".
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "link/InstrumentSetup.h"

inline constexpr std::string_view kSetupFileSuffix = ".CFG";
inline constexpr std::array<std::uint8_t, 2> kSetupFileTrailer = {0x0A, 0x0D};
inline constexpr std::size_t kSetupFileSize = kSetupSize + kSetupFileTrailer.size();
static_assert(kSetupFileSize == 574);

// The setup file that goes with a preferences file.
std::string SetupFilePath(const std::string& preferencesPath);

// Loads a setup file's bytes into `setup` (nullopt: the file could not be
// opened). With `keepNetworkFields` the record's ipAddress, networkWord,
// netMask and gateway stay as they were. A missing file reports "not found";
// a file of the wrong size, with a wrong checksum or with a field outside its
// table reports "wrong configuration file"; either way `setup` is left
// unchanged and false is returned, for the caller to load the default record.
bool LoadSetupFile(std::optional<std::span<const std::uint8_t>> file, bool keepNetworkFields, InstrumentSetup& setup);

// Clears the record's loaded-trace flags (a trace shown from the instrument's
// memory is never remembered as shown), stores its checksum and returns the
// file's 574 bytes.
std::array<std::uint8_t, kSetupFileSize> SetupFileBytes(InstrumentSetup& setup);
