#include "sim/Signal.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace kvxsim {
namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;

// Exact sine values are recomputed every this many samples; in between a
// rotation advances them, which keeps a 50,000-point record cheap.
constexpr std::size_t kSineResync = 512;

// Noise comes from a table of Gaussian quantiles indexed by 12 random bits:
// five samples per 64-bit draw instead of a logarithm and a square root each.
constexpr int kNoiseBits = 12;
constexpr std::size_t kNoiseTableSize = std::size_t{1} << kNoiseBits;
constexpr int kNoiseSamplesPerDraw = 64 / kNoiseBits;

bool IsPeriodic(Waveform waveform) {
  return waveform == Waveform::Sine || waveform == Waveform::Square || waveform == Waveform::Triangle;
}

double StandardNormalQuantile(double p) {
  double low = -10.0;
  double high = 10.0;
  for (int i = 0; i < 80; ++i) {
    const double mid = 0.5 * (low + high);
    if (0.5 * std::erfc(-mid / std::numbers::sqrt2) < p) {
      low = mid;
    } else {
      high = mid;
    }
  }
  return 0.5 * (low + high);
}

std::array<double, kNoiseTableSize> BuildNoiseTable() {
  std::array<double, kNoiseTableSize> table{};
  double sum = 0.0;
  for (std::size_t i = 0; i < kNoiseTableSize; ++i) {
    table[i] = StandardNormalQuantile((static_cast<double>(i) + 0.5) / kNoiseTableSize);
    sum += table[i];
  }
  // Make the discrete distribution exactly zero-mean with unit rms.
  const double mean = sum / kNoiseTableSize;
  double squares = 0.0;
  for (double& value : table) {
    value -= mean;
    squares += value * value;
  }
  const double scale = 1.0 / std::sqrt(squares / kNoiseTableSize);
  for (double& value : table) value *= scale;
  return table;
}

const std::array<double, kNoiseTableSize>& NoiseTable() {
  static const std::array<double, kNoiseTableSize> table = BuildNoiseTable();
  return table;
}

void SynthesizeSine(const CoupledSignal& signal, double firstPhase, double phaseStep, std::vector<double>& out) {
  const double stepCos = std::cos(kTwoPi * phaseStep);
  const double stepSin = std::sin(kTwoPi * phaseStep);
  for (std::size_t start = 0; start < out.size(); start += kSineResync) {
    const double angle = kTwoPi * WrapPhase(firstPhase + static_cast<double>(start) * phaseStep);
    double s = std::sin(angle);
    double c = std::cos(angle);
    const std::size_t end = std::min(out.size(), start + kSineResync);
    for (std::size_t i = start; i < end; ++i) {
      out[i] = signal.mean + signal.halfAmplitude * s;
      const double next = s * stepCos + c * stepSin;
      c = c * stepCos - s * stepSin;
      s = next;
    }
  }
}

}  // namespace

double WrapPhase(double phase) { return phase - std::floor(phase); }

double WaveShape(Waveform waveform, double phase) {
  const double u = WrapPhase(phase);
  switch (waveform) {
    case Waveform::Sine:
      return std::sin(kTwoPi * u);
    case Waveform::Square:
      return u < 0.5 ? 1.0 : -1.0;
    case Waveform::Triangle:
      if (u < 0.25) return 4.0 * u;
      if (u < 0.75) return 2.0 - 4.0 * u;
      return 4.0 * u - 4.0;
    case Waveform::Dc:
    case Waveform::None:
      break;
  }
  return 0.0;
}

CoupledSignal ApplyCoupling(const SignalSpec& input, int coupling) {
  CoupledSignal out;
  if (input.waveform == Waveform::None || coupling == 2) return out;
  const bool periodic = IsPeriodic(input.waveform) && std::isfinite(input.frequencyHz) && input.frequencyHz > 0.0 &&
                        std::isfinite(input.amplitudeVpp) && input.amplitudeVpp != 0.0;
  out.waveform = periodic ? input.waveform : Waveform::Dc;
  out.frequencyHz = periodic ? input.frequencyHz : 0.0;
  out.halfAmplitude = periodic ? 0.5 * input.amplitudeVpp : 0.0;
  out.mean = (coupling == 0 || !std::isfinite(input.offsetVolts)) ? 0.0 : input.offsetVolts;
  out.noiseVrms = std::isfinite(input.noiseVrms) ? std::max(0.0, input.noiseVrms) : 0.0;
  return out;
}

bool IsVarying(const CoupledSignal& signal) {
  return IsPeriodic(signal.waveform) && signal.frequencyHz > 0.0 && signal.halfAmplitude != 0.0;
}

std::optional<double> CrossingPhase(const CoupledSignal& signal, double levelVolts, int slope) {
  if (!IsVarying(signal)) return std::nullopt;
  // A negative amplitude flips the waveform, so its rising edges are the
  // shape's falling ones.
  const bool rising = (slope == 0) == (signal.halfAmplitude > 0.0);
  const double c = (levelVolts - signal.mean) / signal.halfAmplitude;
  if (!(c > -1.0 && c < 1.0)) return std::nullopt;
  switch (signal.waveform) {
    case Waveform::Sine: {
      const double a = std::asin(c) / kTwoPi;
      return WrapPhase(rising ? a : 0.5 - a);
    }
    case Waveform::Square:
      return rising ? 0.0 : 0.5;
    case Waveform::Triangle:
      return WrapPhase(rising ? c / 4.0 : (2.0 - c) / 4.0);
    default:
      return std::nullopt;
  }
}

void Synthesize(const CoupledSignal& signal, double firstPhase, double phaseStep, std::vector<double>& out) {
  if (!IsVarying(signal)) {
    std::fill(out.begin(), out.end(), signal.mean);
    return;
  }
  // Whole periods per sample do not change the samples; dropping them keeps
  // i * step small and precise.
  const double step = WrapPhase(phaseStep);
  if (signal.waveform == Waveform::Sine) {
    SynthesizeSine(signal, firstPhase, step, out);
    return;
  }
  for (std::size_t i = 0; i < out.size(); ++i) {
    out[i] = signal.mean + signal.halfAmplitude * WaveShape(signal.waveform, firstPhase + static_cast<double>(i) * step);
  }
}

void AddNoise(double rms, std::mt19937_64& rng, std::vector<double>& samples) {
  if (!(rms > 0.0) || !std::isfinite(rms)) return;
  const auto& table = NoiseTable();
  std::size_t i = 0;
  while (i < samples.size()) {
    std::uint64_t bits = rng();
    for (int k = 0; k < kNoiseSamplesPerDraw && i < samples.size(); ++k, ++i) {
      samples[i] += rms * table[bits & (kNoiseTableSize - 1)];
      bits >>= kNoiseBits;
    }
  }
}

double InverseOrZero(double x) { return std::isfinite(x) && x != 0.0 ? 1.0 / x : 0.0; }

int QuantiseDivisions(double divisions, int centre, double codesPerDivision, int maxCode) {
  const double code = centre + divisions * codesPerDivision;
  if (std::isnan(code)) return centre;
  return static_cast<int>(std::clamp(std::round(code), 0.0, static_cast<double>(maxCode)));
}

}  // namespace kvxsim
