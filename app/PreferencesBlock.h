// The application block of the preferences file: the instrument's identity,
// the trace directory, the last measurements, the window rectangles and the
// persistence option, 704 bytes stored exactly as laid out here.
//
// Threads: the block is loaded before the acquisition thread starts and saved
// after it has ended. While it runs, the drawing on the acquisition thread
// reads PersistenceOn, which the Display menu writes: both sides use
// LoadField / StoreField (link/InstrumentSetup.h) on that field. Everything
// else is used on the user-interface thread only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>

struct InstrumentSession;

struct PanelRect {
  std::int32_t top;
  std::int32_t left;
  std::int32_t height;
  std::int32_t width;
};

inline constexpr std::size_t kTracePathSize = 56;  // terminator included
inline constexpr std::size_t kLastMeasurementsSize = 96;
inline constexpr std::size_t kKeptBytesSize = 448;

struct PreferencesBlock {
  char modelName[10];
  char idnTag[10];
  char serialNumber[20];
  char tracePath[kTracePathSize];  // directory of the last saved trace file
  std::uint8_t lastMeasurements[kLastMeasurementsSize];  // as the instrument sent them
  std::uint8_t keptBytes[kKeptBytesSize];  // carried through unchanged
  double firmwareVersion;
  PanelRect mainPanelRect;
  PanelRect xyPanelRect;
  PanelRect spareRect;
  std::int32_t PersistenceOn;  // 1 = Display > Persistence is on
  std::int32_t modelNumber;    // the number after "KVX", as identified (71 stays 71)
};

inline constexpr std::size_t kPreferencesBlockSize = 704;
static_assert(sizeof(PreferencesBlock) == kPreferencesBlockSize);
static_assert(std::is_standard_layout_v<PreferencesBlock> && std::is_trivially_copyable_v<PreferencesBlock>);
static_assert(offsetof(PreferencesBlock, modelName) == 0);
static_assert(offsetof(PreferencesBlock, idnTag) == 10);
static_assert(offsetof(PreferencesBlock, serialNumber) == 20);
static_assert(offsetof(PreferencesBlock, tracePath) == 40);
static_assert(offsetof(PreferencesBlock, lastMeasurements) == 96);
static_assert(offsetof(PreferencesBlock, keptBytes) == 192);
static_assert(offsetof(PreferencesBlock, firmwareVersion) == 640);
static_assert(offsetof(PreferencesBlock, mainPanelRect) == 648);
static_assert(offsetof(PreferencesBlock, xyPanelRect) == 664);
static_assert(offsetof(PreferencesBlock, spareRect) == 680);
static_assert(offsetof(PreferencesBlock, PersistenceOn) == 696);
static_assert(offsetof(PreferencesBlock, modelNumber) == 700);

// The program's block.
extern PreferencesBlock ProgramPreferences;

// Height and width in pixels of the monitor that shows the program.
struct MonitorSize {
  int height = 0;
  int width = 0;
};

// Where the windows go when no block was loaded.
inline constexpr PanelRect kDefaultMainPanelRect = {30, 5, 580, 720};
inline constexpr PanelRect kDefaultXyPanelRect = {520, 25, 360, 440};
void PlaceWindowsByDefault(PreferencesBlock& block);

// Keeps a remembered window reachable on `monitor`: top within 20 .. height,
// left within 0 .. width - 20. Height and width stay as they are.
void ClampToMonitor(PanelRect& rect, MonitorSize monitor);
// Keeps a remembered size within the monitor (0 .. its height and width), so
// that a damaged file can neither make a giant window nor overflow the
// layout's arithmetic.
void BoundSizeToMonitor(PanelRect& rect, MonitorSize monitor);

// Makes a block read from a file safe to use: the three rectangles clamped
// and their sizes bounded,
// every text terminated within its field (a trace path without a terminator
// is forgotten), PersistenceOn 0 or 1.
void MakeLoadedBlockSafe(PreferencesBlock& block, MonitorSize monitor);

// The connected instrument's identity replaces what the file held.
void KeepInstrumentIdentity(PreferencesBlock& block, const InstrumentSession& instrument);

// The remembered trace directory. A directory too long for the field (more
// than 55 bytes) is not remembered and false is returned; the field then
// keeps its previous directory.
std::string TraceDirectory(const PreferencesBlock& block);
bool RememberTraceDirectory(PreferencesBlock& block, std::string_view directory);
