// The automatic measurements of one channel, computed from the record's
// volts and packed into the 96-byte big-endian block.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>

#include "sim/Acquisition.h"
#include "sim/BigEndian.h"

namespace kvxsim {
namespace {

enum Bit {
  kBitVmin = 0, kBitVmax, kBitVpp, kBitVlow, kBitVhigh, kBitVhighLow, kBitVrms, kBitVavg,
  kBitOverPlus, kBitOverMinus, kBitTrise, kBitTfall, kBitWidthPlus, kBitWidthMinus,
  kBitPeriod, kBitDuty, kBitCount, kBitSum,
};

constexpr std::uint16_t kHeaderWord = 0x0001;
constexpr int kHistogramBins = 256;
// A histogram peak counts as a flat top (or base) only when it stands well
// above the average bin of its half; otherwise the extreme value is used.
constexpr double kModeProminence = 2.0;
// Edges are taken at the mid level but only count once the signal has gone
// this fraction of the amplitude past it, so noise does not make extra edges.
constexpr double kEdgeHysteresis = 0.1;

struct Levels {
  double min = 0.0;
  double max = 0.0;
  double low = 0.0;   // base
  double high = 0.0;  // top
  double Amplitude() const { return high - low; }
};

struct Edge {
  double position = 0.0;  // fractional record point of the mid-level crossing
  bool rising = false;
};

struct Timing {
  std::optional<double> period;  // record points
  int periods = 0;
  double firstPeriodStart = 0.0;
  std::optional<double> widthPlus, widthMinus, rise, fall;
};

double ModeLevel(const std::array<int, kHistogramBins>& counts, const std::array<double, kHistogramBins>& sums,
                 int from, int to, double fallback) {
  int best = from;
  long total = 0;
  for (int b = from; b < to; ++b) {
    total += counts[b];
    if (counts[b] > counts[best]) best = b;
  }
  const double average = static_cast<double>(total) / (to - from);
  if (counts[best] == 0 || counts[best] < kModeProminence * average) return fallback;
  return sums[best] / counts[best];
}

Levels FindLevels(const std::vector<double>& v) {
  Levels levels;
  const auto [lo, hi] = std::minmax_element(v.begin(), v.end());
  levels.min = levels.low = *lo;
  levels.max = levels.high = *hi;
  const double range = levels.max - levels.min;
  if (!(range > 0.0) || !std::isfinite(range)) return levels;
  std::array<int, kHistogramBins> counts{};
  std::array<double, kHistogramBins> sums{};
  for (double x : v) {
    const int bin = std::min(kHistogramBins - 1, static_cast<int>((x - levels.min) / range * kHistogramBins));
    ++counts[bin];
    sums[bin] += x;
  }
  levels.low = ModeLevel(counts, sums, 0, kHistogramBins / 2, levels.min);
  levels.high = ModeLevel(counts, sums, kHistogramBins / 2, kHistogramBins, levels.max);
  return levels;
}

std::vector<Edge> FindEdges(const std::vector<double>& v, const Levels& levels) {
  std::vector<Edge> edges;
  if (!(levels.Amplitude() > 0.0)) return edges;
  const double mid = 0.5 * (levels.low + levels.high);
  const double upper = mid + kEdgeHysteresis * levels.Amplitude();
  const double lower = mid - kEdgeHysteresis * levels.Amplitude();
  enum class State { Unknown, Low, High };
  State state = v[0] >= upper ? State::High : v[0] <= lower ? State::Low : State::Unknown;
  double lastCrossing = 0.0;
  for (std::size_t i = 1; i < v.size(); ++i) {
    if ((v[i - 1] < mid) != (v[i] < mid)) lastCrossing = (i - 1) + (mid - v[i - 1]) / (v[i] - v[i - 1]);
    // Only transitions seen from their start are edges.
    if (v[i] >= upper && state != State::High) {
      if (state == State::Low) edges.push_back({lastCrossing, true});
      state = State::High;
    } else if (v[i] <= lower && state != State::Low) {
      if (state == State::High) edges.push_back({lastCrossing, false});
      state = State::Low;
    }
  }
  return edges;
}

// Fractional position where v passes `level` between points i and i + 1.
double Interpolate(const std::vector<double>& v, std::size_t i, double level) {
  const double step = v[i + 1] - v[i];
  return step != 0.0 ? i + (level - v[i]) / step : static_cast<double>(i);
}

// Time in record points to go from `from` to `to` around the edge at `edge`,
// searching no further than the neighbouring edges [lo, hi].
std::optional<double> TransitionTime(const std::vector<double>& v, double edge, double lo, double hi, double from,
                                     double to) {
  const double dir = to > from ? 1.0 : -1.0;
  const auto first = static_cast<std::size_t>(std::max(0.0, std::floor(lo)));
  const auto last = static_cast<std::size_t>(std::min(static_cast<double>(v.size() - 1), std::ceil(hi)));
  auto start = static_cast<std::size_t>(std::floor(edge));
  while (start > first && dir * v[start] > dir * from) --start;
  if (dir * v[start] > dir * from || start + 1 >= v.size()) return std::nullopt;
  auto end = std::max<std::size_t>(1, static_cast<std::size_t>(std::ceil(edge)));
  while (end < last && dir * v[end] < dir * to) ++end;
  if (end >= v.size() || dir * v[end] < dir * to) return std::nullopt;
  return Interpolate(v, end - 1, to) - Interpolate(v, start, from);
}

struct Average {
  double sum = 0.0;
  int count = 0;
  void Add(std::optional<double> value) {
    if (value) {
      sum += *value;
      ++count;
    }
  }
  std::optional<double> Value() const { return count > 0 ? std::optional<double>(sum / count) : std::nullopt; }
};

Timing AnalyseEdges(const std::vector<double>& v, const Levels& levels, const std::vector<Edge>& edges) {
  Timing timing;
  std::vector<double> rising, falling;
  for (const Edge& e : edges) (e.rising ? rising : falling).push_back(e.position);
  const std::vector<double>& starts = rising.size() >= 2 ? rising : falling;
  if (starts.size() >= 2) {
    timing.periods = static_cast<int>(starts.size()) - 1;
    timing.period = (starts.back() - starts.front()) / timing.periods;
    timing.firstPeriodStart = starts.front();
  }
  const double level10 = levels.low + 0.1 * levels.Amplitude();
  const double level90 = levels.low + 0.9 * levels.Amplitude();
  Average widthPlus, widthMinus, rise, fall;
  for (std::size_t k = 0; k < edges.size(); ++k) {
    const double lo = k > 0 ? edges[k - 1].position : 0.0;
    const double hi = k + 1 < edges.size() ? edges[k + 1].position : static_cast<double>(v.size() - 1);
    if (k + 1 < edges.size()) (edges[k].rising ? widthPlus : widthMinus).Add(hi - edges[k].position);
    if (edges[k].rising) {
      rise.Add(TransitionTime(v, edges[k].position, lo, hi, level10, level90));
    } else {
      fall.Add(TransitionTime(v, edges[k].position, lo, hi, level90, level10));
    }
  }
  timing.widthPlus = widthPlus.Value();
  timing.widthMinus = widthMinus.Value();
  timing.rise = rise.Value();
  timing.fall = fall.Value();
  return timing;
}

class BlockWriter {
 public:
  explicit BlockWriter(std::array<std::uint8_t, kMeasurementBlockSize>& block) : block_(block) {}
  void Real32(int offset, int bit, std::optional<double> value) {
    if (!value) return;
    PutF32(&block_[offset], static_cast<float>(*value));
    valid_ |= 1u << bit;
  }
  void Real64(int offset, int bit, double value) {
    PutF64(&block_[offset], value);
    valid_ |= 1u << bit;
  }
  void Count(int offset, int bit, int value) {
    PutI32(&block_[offset], value);
    valid_ |= 1u << bit;
  }
  std::uint32_t Valid() const { return valid_; }

 private:
  std::array<std::uint8_t, kMeasurementBlockSize>& block_;
  std::uint32_t valid_ = 0;
};

std::optional<double> Ratio(double numerator, double denominator) {
  return denominator > 0.0 ? std::optional<double>(numerator / denominator) : std::nullopt;
}

std::optional<double> Scaled(std::optional<double> points, double secondsPerPoint) {
  return points ? std::optional<double>(*points * secondsPerPoint) : std::nullopt;
}

void WriteLevels(BlockWriter& out, const Levels& levels) {
  out.Real32(24, kBitVmin, levels.min);
  out.Real32(28, kBitVmax, levels.max);
  out.Real32(32, kBitVpp, levels.max - levels.min);
  out.Real32(36, kBitVlow, levels.low);
  out.Real32(40, kBitVhigh, levels.high);
  out.Real32(44, kBitVhighLow, levels.Amplitude());
  out.Real32(48, kBitOverPlus, Ratio(levels.max - levels.high, levels.Amplitude()));
  out.Real32(52, kBitOverMinus, Ratio(levels.low - levels.min, levels.Amplitude()));
}

// Mean and rms over whole periods when there is one, so a partial period
// does not bias them; over the whole record otherwise.
void WriteIntegrals(BlockWriter& out, const std::vector<double>& v, const Timing& timing, double secondsPerPoint) {
  std::size_t first = 0;
  std::size_t last = v.size();
  if (timing.period) {
    first = static_cast<std::size_t>(std::ceil(timing.firstPeriodStart));
    last = std::min(v.size(), static_cast<std::size_t>(std::ceil(timing.firstPeriodStart +
                                                                 *timing.period * timing.periods)));
  }
  if (last <= first) {
    first = 0;
    last = v.size();
  }
  double sum = 0.0;
  double squares = 0.0;
  for (std::size_t i = first; i < last; ++i) {
    sum += v[i];
    squares += v[i] * v[i];
  }
  const double count = static_cast<double>(last - first);
  out.Real64(8, kBitVrms, std::sqrt(squares / count));
  out.Real64(16, kBitVavg, sum / count);
  double total = 0.0;
  for (double x : v) total += x;
  out.Real64(88, kBitSum, total * secondsPerPoint);
}

void WriteTiming(BlockWriter& out, const Timing& timing, double secondsPerPoint) {
  out.Real32(56, kBitPeriod, Scaled(timing.period, secondsPerPoint));
  out.Real32(60, kBitWidthPlus, Scaled(timing.widthPlus, secondsPerPoint));
  out.Real32(64, kBitWidthMinus, Scaled(timing.widthMinus, secondsPerPoint));
  if (timing.period && timing.widthPlus) out.Real32(68, kBitDuty, Ratio(*timing.widthPlus, *timing.period));
  out.Real32(72, kBitTrise, Scaled(timing.rise, secondsPerPoint));
  out.Real32(76, kBitTfall, Scaled(timing.fall, secondsPerPoint));
  out.Count(80, kBitCount, timing.periods);
}

}  // namespace

std::array<std::uint8_t, kMeasurementBlockSize> MeasureChannel(const Record& record, int channel,
                                                              const AcquisitionSettings& settings) {
  std::array<std::uint8_t, kMeasurementBlockSize> block{};
  PutU16(&block[0], kHeaderWord);
  if (channel < 0 || channel > 1 || record.volts[channel].size() < 2) return block;  // nothing valid

  const std::vector<double>& v = record.volts[channel];
  const double secondsPerPoint = SecondsPerPoint(settings);
  const Levels levels = FindLevels(v);
  const Timing timing = AnalyseEdges(v, levels, FindEdges(v, levels));
  BlockWriter out(block);
  WriteLevels(out, levels);
  WriteIntegrals(out, v, timing, secondsPerPoint);
  WriteTiming(out, timing, secondsPerPoint);
  PutU32(&block[4], out.Valid());
  return block;
}

}  // namespace kvxsim
