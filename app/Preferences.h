// The preferences file "Ornikelva.okv" (application block, both reference
// traces and their labels) and, beside it, the setup file: read once at
// start-up before the setup is sent, written once at quit.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "acquisition/ReferenceStore.h"
#include "app/PreferencesBlock.h"
#include "link/InstrumentSetup.h"

inline constexpr std::string_view kPreferencesFileName = "Ornikelva.okv";
inline constexpr std::string_view kPreferencesHeader = "KELVARINLAB SETUP\n#BEGIN\n";
inline constexpr std::string_view kPreferencesFooter = "\n#END\n";
// The data starts 7 bytes after "#BEGIN" (past its newline); the mark is
// looked for in the first 49 bytes.
inline constexpr std::string_view kBeginMark = "#BEGIN";
inline constexpr std::size_t kBeginMarkSkip = 7;
inline constexpr std::size_t kBeginSearchSize = 49;

inline constexpr std::size_t kReferenceTraceBytes = kReferencePoints * sizeof(std::int32_t);
inline constexpr std::size_t kPreferencesDataSize =
    kPreferencesBlockSize + kReferenceCount * kReferenceTraceBytes + kReferenceCount * kReferenceLabelSize;
inline constexpr std::size_t kPreferencesFileSize =
    kPreferencesHeader.size() + kPreferencesDataSize + kPreferencesFooter.size();
static_assert(kPreferencesDataSize == 704 + 20000 + 60);
static_assert(kPreferencesFileSize == 20795);

// Everything the two files restore.
struct PreferencesState {
  PreferencesBlock block{};
  bool blockLoaded = false;  // the block came from the preferences file
  InstrumentSetup setup{};
  ReferenceData references{};
};

// Loads from the files' bytes (nullopt: that file could not be opened); the
// setup file is only looked at when the preferences file exists. Every
// failure is reported and leaves usable defaults:
//  - no preferences file: default windows, references emptied, and the setup
//    of a fresh start (FreshStartSetup);
//  - a damaged preferences file (no "#BEGIN" in its first 49 bytes, or too
//    short for the three blocks after it): references emptied and default
//    windows; the setup file is still read, its network fields included.
//    Bytes after the blocks (the "#END" footer, or anything else) are not
//    looked at;
//  - a missing or damaged setup file: the default record.
// The block's rectangles are clamped to `monitor`.
void LoadPreferencesFromBytes(std::optional<std::span<const std::uint8_t>> preferencesFile,
                              std::optional<std::span<const std::uint8_t>> setupFile, MonitorSize monitor,
                              PreferencesState& state);
// The same from the files at `preferencesPath` and beside it.
void LoadPreferences(const std::string& preferencesPath, MonitorSize monitor, PreferencesState& state);

// The preferences file's 20,795 bytes.
std::vector<std::uint8_t> PreferencesFileBytes(const PreferencesBlock& block, const ReferenceData& references);
// Writes both files, each replaced atomically; a file that cannot be written
// is reported and the other is still written. The setup record gets its
// checksum and loses its loaded-trace flags first.
void SavePreferences(const std::string& preferencesPath, const PreferencesBlock& block,
                     const ReferenceData& references, InstrumentSetup& setup);

// The same on the program's block, references and setup record.
void LoadPreferences(const std::string& preferencesPath, MonitorSize monitor);
void SavePreferences(const std::string& preferencesPath);
