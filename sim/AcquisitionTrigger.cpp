// One acquisition: where the trigger puts the signals in the record, and the
// record's samples as volts and screen codes.
#include <algorithm>
#include <cmath>
#include <optional>

#include "sim/Acquisition.h"
#include "sim/Signal.h"

namespace kvxsim {
namespace {

constexpr int kMaxScreenCode = 255;

// The trigger's record point; positions outside the record pin it to the
// nearer end so the trigger stays visible.
int TriggerPoint(const AcquisitionSettings& settings) {
  const long long point = -static_cast<long long>(settings.horizontalOffset);
  return static_cast<int>(std::clamp<long long>(point, 0, kRecordPoints - 1));
}

// The trigger level is set on the screen (1/22 division from the centre); the
// trace sits verticalOffset higher than the input, so the input crosses the
// level that much lower.
// The level counts from the channel's 0 V, like its trace: the marker sits at
// level + vertical position on screen, so the position does not move it.
double TriggerThresholdVolts(const ChannelSettings& channel) {
  return channel.triggerLevel / static_cast<double>(kPositionUnitsPerDivision) * channel.voltsPerDiv;
}

void FillChannel(const CoupledSignal& signal, const ChannelSettings& channel, double phaseAtTrigger,
                 int triggerPoint, double secondsPerPoint, std::mt19937_64& rng, std::vector<double>& volts,
                 std::vector<std::uint8_t>& codes) {
  const double step = WrapPhase(signal.frequencyHz * secondsPerPoint);
  volts.resize(kRecordPoints);
  Synthesize(signal, phaseAtTrigger - triggerPoint * step, step, volts);
  AddNoise(signal.noiseVrms, rng, volts);

  codes.resize(kRecordPoints);
  const double divisionsPerVolt = InverseOrZero(channel.voltsPerDiv);
  const double position = channel.verticalOffset / static_cast<double>(kPositionUnitsPerDivision);
  for (int i = 0; i < kRecordPoints; ++i) {
    codes[i] = static_cast<std::uint8_t>(
        QuantiseDivisions(volts[i] * divisionsPerVolt + position, kCentreCode, kCodesPerDivision, kMaxScreenCode));
    volts[i] *= channel.probeFactor;
  }
}

}  // namespace

bool IsZoomed(const AcquisitionSettings& settings) { return settings.zoomFactor < kUnzoomedFactor; }

double SecondsPerPoint(const AcquisitionSettings& settings) {
  const double seconds = settings.secondsPerDiv / kPointsPerDivision;
  return std::isfinite(seconds) && seconds > 0.0 ? seconds : 0.0;
}

bool Acquire(const AcquisitionSettings& settings, const std::array<SignalSpec, 2>& signals, double nowSeconds,
             std::mt19937_64& rng, Record& out) {
  std::array<CoupledSignal, 2> coupled;
  for (int c = 0; c < 2; ++c) coupled[c] = ApplyCoupling(signals[c], settings.channel[c].coupling);

  // The trigger looks at the noiseless signal, so noise never makes it miss
  // or jitter.
  const int source = settings.triggerSource;
  std::optional<double> crossing;
  if (source == 0 || source == 1) {
    const ChannelSettings& channel = settings.channel[source];
    crossing = CrossingPhase(coupled[source], TriggerThresholdVolts(channel), channel.triggerSlope == 0 ? 0 : 1);
    if (!crossing && settings.triggerMode != 0) return false;
  }

  // Both channels share one clock: the record is taken at the source's next
  // crossing after nowSeconds, or at nowSeconds when free-running.
  const double t = std::isfinite(nowSeconds) ? nowSeconds : 0.0;
  double delay = 0.0;
  if (crossing) {
    const double f = coupled[source].frequencyHz;
    delay = WrapPhase(*crossing - f * t) / f;
  }
  const int triggerPoint = TriggerPoint(settings);
  const double secondsPerPoint = SecondsPerPoint(settings);
  for (int c = 0; c < 2; ++c) {
    const double f = coupled[c].frequencyHz;
    const double phase = (crossing && c == source) ? *crossing : WrapPhase(f * t) + f * delay;
    FillChannel(coupled[c], settings.channel[c], phase, triggerPoint, secondsPerPoint, rng, out.volts[c],
                out.codes[c]);
  }
  out.triggered = crossing.has_value();
  return true;
}

}  // namespace kvxsim
