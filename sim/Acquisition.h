// The signal side of the simulated instrument: signals, one acquisition of
// the 50,000-point record, the screen blocks, the measurement block, the
// acquisition frame and the trace file. Pure functions of the settings the
// protocol engine (Instrument.h) keeps; nothing here knows about commands.
#pragma once

#include <array>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace kvxsim {

inline constexpr int kRecordPoints = 50000;   // 10 divisions, 5000 per division
inline constexpr int kScreenPoints = 2500;    // one screen block: 1250 (min, max) pairs
inline constexpr int kPointsPerDivision = kRecordPoints / 10;
inline constexpr double kUnzoomedFactor = static_cast<double>(kRecordPoints) / kScreenPoints;  // 20
inline constexpr int kCentreCode = 128;       // 8-bit code of the screen centre
inline constexpr double kCodesPerDivision = 254.0 / 8.0;
inline constexpr int kPositionUnitsPerDivision = 22;
inline constexpr int kMeasurementBlockSize = 96;
inline constexpr int kTraceFileSize = 100034;

enum class Waveform { Sine, Square, Triangle, Dc, None };

// One channel's input signal, in volts at the input.
struct SignalSpec {
  Waveform waveform = Waveform::Sine;
  double frequencyHz = 1000.0;
  double amplitudeVpp = 2.0;
  double offsetVolts = 0.0;
  double noiseVrms = 0.0;
};

struct ChannelSettings {
  bool displayed = true;
  int coupling = 1;            // 0 AC, 1 DC, 2 GROUND
  double voltsPerDiv = 0.5;
  double probeFactor = 1.0;    // multiplies every reading of the channel
  int verticalOffset = 0;      // 1/22 division, 0 = screen centre
  int triggerLevel = 0;        // 1/22 division from the channel's 0 V, used when it is the source
  int triggerSlope = 0;        // 0 rising, 1 falling
};

struct AcquisitionSettings {
  std::array<ChannelSettings, 2> channel{};
  double secondsPerDiv = 100e-6;  // acquisition timebase
  int horizontalOffset = -25000;  // trigger sits at record point -horizontalOffset
  int triggerSource = 0;          // 0 CH1, 1 CH2, 2 none
  int triggerMode = 0;            // 0 auto, 1 normal, 2 single
  int zoomPosition = 0;           // first record point of the zoom window
  double zoomFactor = 20.0;       // record points per screen point; below 20 = zoomed
  int referenceChannel = 0;       // channel the measurement block is computed on
};

// One acquisition. `codes` are 8-bit screen codes (128 at the centre, 254
// codes for 8 divisions, clipped to 0..255); `volts` the readings (probe
// factor applied) behind them. For input volts v (after coupling, noise
// included): code = round(128 + (v / voltsPerDiv + verticalOffset / 22) * 254 / 8),
// volts = v * probeFactor.
struct Record {
  std::array<std::vector<std::uint8_t>, 2> codes;   // kRecordPoints each
  std::array<std::vector<double>, 2> volts;         // kRecordPoints each
  bool triggered = false;
};

bool IsZoomed(const AcquisitionSettings& settings);

// Time between two record points; 0 when the timebase is not a positive
// number (the record then freezes instead of producing NaN).
double SecondsPerPoint(const AcquisitionSettings& settings);

// Takes one record at instrument time `nowSeconds`. Returns false when the
// trigger mode waits for a trigger that the signal does not give (normal or
// single mode); `out` is then unchanged. Auto mode always returns true
// (free-running when untriggered). The crossing of the source's noiseless
// signal with its level sits between record points T-1 and T, T =
// -horizontalOffset pinned to 0..49999. Stopping after a single-mode trigger
// is the caller's business.
bool Acquire(const AcquisitionSettings& settings, const std::array<SignalSpec, 2>& signals,
             double nowSeconds, std::mt19937_64& rng, Record& out);

// 1250 (min, max) pairs of codes over record points [first, first + 2500 * factor).
std::vector<std::uint8_t> ScreenBlock(const std::vector<std::uint8_t>& codes, int first, double factor);

// The 96-byte big-endian measurement block of one channel.
std::array<std::uint8_t, kMeasurementBlockSize> MeasureChannel(const Record& record, int channel,
                                                              const AcquisitionSettings& settings);

// What the frame header reports besides the settings.
struct FrameState {
  int acquisitionPhase = 6;  // 0..7
  int runStop = 0;           // 0 acquiring, 1 stopped
  bool measurementsOn = false;
};

// The complete reply to ZC:HTTP?: "#" n L, the frame (fifteen header fields,
// sample blocks of the displayed channels, measurement block), two trailing bytes.
std::vector<std::uint8_t> BuildFrameReply(const Record& record, const AcquisitionSettings& settings,
                                          const FrameState& state);

// The 100,034-byte trace file of one channel (big-endian), for TEMP_FILE.TRC.
std::vector<std::uint8_t> BuildTraceFile(const Record& record, int channel, const AcquisitionSettings& settings,
                                         int timebaseIndex, int sensitivityIndex, const std::string& unit);

// Wraps data as a definite-length block reply: "#" n L data, then "\r\n".
std::vector<std::uint8_t> DefiniteBlock(const std::vector<std::uint8_t>& data);

}  // namespace kvxsim
