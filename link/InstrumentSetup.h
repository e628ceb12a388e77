// The instrument's whole configuration as one fixed 572-byte record. The
// program keeps one copy (ProgramSetup) in host (little-endian) order; on the
// wire every 16- and 32-bit field is big-endian, texts and bytes never change.
//
// Sharing ProgramSetup between the user-interface thread and the acquisition
// thread:
//  - Fields the acquisition thread reads or writes (runState, vertical
//    offsets, trigger fields, ...) are reached from both threads through
//    LoadField / StoreField only (atomic 16/32-bit accesses, no torn values).
//  - Whole-record copies (ReadSetup, WriteSetup, saving and loading files) run
//    on the user-interface thread and hold SetupRecordMutex for the copy.
//  - The acquisition thread touches the record only while holding
//    SetupRecordMutex (applying a frame's fields is one locked step), so a
//    whole-record copy never interleaves with its updates.
//  - The user-interface thread may use plain accesses for fields the
//    acquisition thread never touches.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <type_traits>

inline constexpr std::size_t kSetupSize = 572;
// The checksum covers everything after itself.
inline constexpr std::size_t kChecksumStart = 4;
inline constexpr std::size_t kChecksumCount = kSetupSize - kChecksumStart;
// Vertical offsets and trigger levels are kept in 1/22 division.
inline constexpr int kUnitsPerDivision = 22;

struct InstrumentSetup {
  std::uint32_t checksum;
  std::int16_t reserved4;
  std::int16_t reserved6;
  std::int16_t runState;  // 1 = stopped (HOLD), 0 = acquiring (RUN)
  std::uint16_t effectiveTimebaseIndex;
  std::int32_t horizontalOffset;  // samples, sign inverted; 50000 span 10 divisions
  std::int16_t reserved16;
  std::uint16_t triggerMode;  // 0 automatic, 1 normal, 2 single
  std::int16_t loadedTraceMask;
  std::int16_t ch1VerticalOffset;  // 1/22 division
  std::int16_t ch2VerticalOffset;
  std::uint8_t padding26[2];
  std::int32_t zoomPosition;
  std::int16_t reserved32;
  std::uint8_t padding34[2];
  std::int32_t ch1Displayed;
  std::int16_t ch1Coupling;  // 0 AC, 1 DC, 2 GROUND
  std::uint8_t padding42[2];
  std::int32_t ch2Displayed;
  std::int16_t ch2Coupling;
  std::uint8_t padding50[2];
  std::int32_t reserved52;
  std::uint16_t referenceChannel;  // 0 CH1, 1 CH2
  std::uint8_t padding58[2];
  std::int32_t reserved60;
  std::int32_t reserved64;
  std::int32_t reserved68;
  std::int16_t reserved72;
  std::int16_t reserved74;
  std::int16_t reserved76;
  std::int16_t reserved78;
  std::int32_t reserved80;
  std::int32_t reserved84;
  std::int16_t reserved88;
  std::int16_t reserved90;
  std::int16_t reserved92;
  std::int16_t reserved94;
  std::int16_t reserved96;
  std::uint8_t padding98[2];
  float zoomFactor;
  std::int16_t reserved104;
  std::int16_t reserved106;
  std::int16_t reserved108;
  char ch1Unit[4];
  char ch2Unit[4];
  std::uint8_t reserved118[2];
  float reserved120;
  float reserved124;
  float ch1ProbeFactor;
  float ch2ProbeFactor;
  char reserved136[4];  // time unit text
  std::uint16_t ch1VoltsPerDivIndex;  // 0-14 into VoltsPerDivTable
  std::uint16_t ch2VoltsPerDivIndex;
  std::int16_t reserved144;
  std::int16_t reserved146;
  std::uint8_t xySourceX;
  std::uint8_t xySourceY;
  std::int16_t viewState;
  std::int16_t reserved152;
  std::uint8_t padding154[2];
  float zoomWindowScale;
  std::int32_t zoomWindowStart;
  std::int16_t zoomWindowFlag;
  std::int16_t xyState;
  std::int32_t autoMeasurementsOn;
  std::int16_t reserved172;
  std::uint8_t padding174[2];
  std::int32_t reserved176;
  std::int32_t reserved180;
  std::int32_t reserved184;
  std::int32_t reserved188;
  std::int16_t reserved192;
  std::uint8_t padding194[2];
  std::int32_t ref1Displayed;
  std::int32_t ref2Displayed;
  std::int32_t referenceState;
  std::int16_t keptWord208;
  std::uint8_t padding210[2];
  std::int32_t reserved212;
  std::int32_t reserved216;
  std::int16_t reserved220;
  std::int16_t reserved222;
  std::int32_t reserved224;
  std::int32_t reserved228;
  std::uint16_t measurementFlags;  // kAutoMeasurementsFlag, cursor mode bits 0x1, 0x2, 0x8
  std::uint8_t padding234[2];
  float reserved236;
  std::int32_t reserved240;
  std::int16_t reserved244;
  std::int16_t reserved246;
  float reserved248;
  std::int32_t reserved252;
  std::int32_t reserved256;
  std::int16_t reserved260;
  std::uint8_t padding262[2];
  std::int32_t reserved264;
  std::int32_t reserved268;
  std::int32_t reserved272;
  std::int32_t reserved276;
  std::uint16_t triggerSource;  // 0 CH1, 1 CH2, 2 none
  std::int16_t ch1TriggerLevel;  // 1/22 division
  std::int16_t ch2TriggerLevel;
  std::int16_t keptWord286;
  std::int16_t keptWord288;
  std::uint16_t timebaseIndex;  // 0-30
  std::int16_t reserved292;
  std::int16_t reserved294;
  std::int32_t reserved296;
  std::int16_t reserved300;
  std::int16_t reserved302;
  std::int16_t reserved304;
  std::int16_t reserved306;
  std::int16_t reserved308;
  std::uint8_t reserved310[42];
  std::int32_t ch1LoadedTrace;
  std::int32_t ch2LoadedTrace;
  std::int32_t reserved360;
  std::int32_t reserved364;
  std::int16_t reserved368;
  std::uint8_t reserved370[80];
  std::int16_t reserved450;
  std::int16_t reserved452;
  char ipAddress[16];
  std::uint8_t reserved470[2];
  std::int32_t reserved472;
  std::int32_t networkWord;
  std::int16_t reserved480;
  std::uint16_t triggerType;  // 0 edge, 1 pulse, 2 delay, 3 event, 4 TV, 5 line
  std::uint16_t ch1TriggerCoupling;  // 0 AC, 1 DC, 2 high-pass, 3 low-pass
  std::uint16_t ch2TriggerCoupling;
  std::uint16_t ch1TriggerSlope;  // 0 rising, 1 falling
  std::uint16_t ch2TriggerSlope;
  std::int16_t reserved492;
  std::int16_t reserved494;
  std::int16_t reserved496;
  std::uint8_t reserved498[8];
  char netMask[16];
  char gateway[16];
  std::uint8_t reserved538[34];
};

static_assert(sizeof(InstrumentSetup) == kSetupSize);
static_assert(std::is_standard_layout_v<InstrumentSetup> && std::is_trivially_copyable_v<InstrumentSetup>);

// measurementFlags bits: the measurement cursors are on (0x1; 0x2 and 0x8
// are their other modes, 0x2 free rather than tracking), and the
// automatic-measurement display is on (0x10).
inline constexpr std::uint16_t kCursorsOnFlag = 0x1;
inline constexpr std::uint16_t kFreeCursorsFlag = 0x2;
inline constexpr std::uint16_t kCursorModeFlag = 0x8;
inline constexpr std::uint16_t kAutoMeasurementsFlag = 0x10;

// The program's copy of the instrument's setup.
extern InstrumentSetup ProgramSetup;
// Keeps whole-record copies and the acquisition thread's field accesses apart
// (see the top of this file).
extern std::mutex SetupRecordMutex;

// Atomic access to one naturally aligned field of a record shared between threads.
template <typename T>
  requires std::is_arithmetic_v<T>
T LoadField(const T& field) {
  static_assert(std::atomic_ref<T>::required_alignment == alignof(T));
  return std::atomic_ref<T>(const_cast<T&>(field)).load();
}
template <typename T, typename V>
  requires std::is_arithmetic_v<T>
void StoreField(T& field, V value) {
  static_assert(std::atomic_ref<T>::required_alignment == alignof(T));
  std::atomic_ref<T>(field).store(static_cast<T>(value));
}

// A copy of ProgramSetup taken under SetupRecordMutex.
InstrumentSetup SnapshotProgramSetup();

// Bitwise NOT of the 32-bit sum of `count` bytes.
std::uint32_t SetupChecksum(const std::uint8_t* data, std::size_t count);
// The checksum a record should carry (over bytes 4-571); the same in either byte order.
std::uint32_t RecordChecksum(const InstrumentSetup& setup);

// Kind 0 swaps 2 bytes, kind 1 reverses 4, kind 2 reverses 8; others do nothing.
void SwapBytes(int kind, void* data);
// Converts a record between host and wire byte order in place (its own inverse).
void SwapSetupByteOrder(InstrumentSetup* setup);
// The same on a raw 572-byte record.
void SwapSetupByteOrder(std::uint8_t* record);

// trunc(22 x divisions) as a 16-bit field value, held within the field's range.
std::int16_t DivisionsToUnits(double divisions);
