// Full and vertical autoset: find a usable signal and choose the settings
// that show it well. Without one nothing changes at all, which is how the
// host tells a failed autoset (its probe factor stays what it set).
#include <algorithm>
#include <cmath>

#include "sim/InstrumentTables.h"
#include "sim/Signal.h"
#include "sim/SimulatedInstrument.h"

namespace kvxsim {
namespace {

constexpr double kLowestFrequency = 20.0;   // below this autoset gives up
constexpr double kSmallestSwing = 0.005;    // volts peak-to-peak
constexpr double kSwingOverNoise = 10.0;    // peak-to-peak over noise rms
constexpr double kTargetDivisions = 6.0;    // of amplitude
constexpr double kTargetPeriods = 2.0;      // over the ten divisions
constexpr double kDivisions = 10.0;
constexpr int kOffsetLimit = 10 * kPositionUnitsPerDivision;
constexpr int kGround = 2;
constexpr int kDc = 1;
constexpr int kCentredTrigger = -kRecordPoints / 2;

// Ground coupling shows autoset nothing, so it judges the input as DC.
CoupledSignal Observed(const SignalSpec& input, int coupling) {
  return ApplyCoupling(input, coupling == kGround ? kDc : coupling);
}

bool Usable(const CoupledSignal& signal) {
  const double swing = 2.0 * std::fabs(signal.halfAmplitude);
  return IsVarying(signal) && signal.frequencyHz >= kLowestFrequency && swing >= kSmallestSwing &&
         swing >= kSwingOverNoise * signal.noiseVrms;
}

// The most sensitive panel range that keeps the swing within six divisions.
int SensitivityFor(int model, double swing) {
  for (int i = LowestPanelSensitivity(model); i < kSensitivityCount; ++i) {
    if (VoltsPerDiv(model, i) * kTargetDivisions >= swing * (1.0 - 1e-9)) return i;
  }
  return kSensitivityCount - 1;
}

// The acquisition timebase nearest (in ratio) to two periods on screen.
int TimebaseFor(double frequencyHz) {
  const double target = kTargetPeriods / frequencyHz / kDivisions;
  int best = kFastestAcquisitionTimebase;
  for (int i = kFastestAcquisitionTimebase; i <= kSlowestAcquisitionTimebase; ++i) {
    if (std::fabs(std::log(SecondsPerDiv(i) / target)) < std::fabs(std::log(SecondsPerDiv(best) / target))) best = i;
  }
  return best;
}

int Units(double volts, double voltsPerDiv) {
  const double units = std::trunc(kPositionUnitsPerDivision * volts / voltsPerDiv);
  return static_cast<int>(std::clamp(units, double{-kOffsetLimit}, double{kOffsetLimit}));
}

}  // namespace

// Sensitivity, centring offset and probe factor of one channel.
bool SimulatedInstrument::AutosetChannel(int channel) {
  const auto c = static_cast<std::size_t>(channel);
  const CoupledSignal signal = ApplyCoupling(signals_[c], setup_.I16(setup::kCoupling[c]));
  if (faults_.refuseAutoset || !Usable(signal)) return false;
  const int sensitivity = SensitivityFor(model_, 2.0 * std::fabs(signal.halfAmplitude));
  const double voltsPerDiv = VoltsPerDiv(model_, sensitivity);
  setup_.SetU16(setup::kVoltsPerDivIndex[c], static_cast<std::uint16_t>(sensitivity));
  setup_.SetI16(setup::kVerticalOffset[c], static_cast<std::int16_t>(Units(-signal.mean, voltsPerDiv)));
  setup_.SetF32(setup::kProbeFactor[c], 1.0f);
  return true;
}

void SimulatedInstrument::OnVerticalAutoset(const Command& command, int) {
  int channel = 0;
  if (ChannelWord(command.arguments, channel)) AutosetChannel(channel);
}

void SimulatedInstrument::OnAutoset(const Command&, int) {
  if (faults_.refuseAutoset) return;
  std::array<bool, 2> usable{};
  for (std::size_t c = 0; c < 2; ++c) usable[c] = Usable(Observed(signals_[c], setup_.I16(setup::kCoupling[c])));
  if (!usable[0] && !usable[1]) return;

  int source = setup_.U16(setup::kTriggerSource);
  if (source > 1 || !usable[static_cast<std::size_t>(source)]) source = usable[0] ? 0 : 1;
  for (std::size_t c = 0; c < 2; ++c) {
    if (usable[c]) {
      if (setup_.I16(setup::kCoupling[c]) == kGround) setup_.SetI16(setup::kCoupling[c], kDc);
      AutosetChannel(static_cast<int>(c));
      setup_.SetI32(setup::kDisplayed[c], 1);
    }
    setup_.SetF32(setup::kProbeFactor[c], 1.0f);
  }

  const auto s = static_cast<std::size_t>(source);
  const CoupledSignal trigger = ApplyCoupling(signals_[s], setup_.I16(setup::kCoupling[s]));
  SetTimebase(TimebaseFor(trigger.frequencyHz));
  setup_.SetI32(setup::kHorizontalOffset, kCentredTrigger);
  setup_.SetU16(setup::kTriggerSource, static_cast<std::uint16_t>(source));
  const double voltsPerDiv = VoltsPerDiv(model_, setup_.U16(setup::kVoltsPerDivIndex[s]));
  setup_.SetI16(setup::kTriggerLevel[s], static_cast<std::int16_t>(Units(trigger.mean, voltsPerDiv)));
  setup_.SetU16(setup::kTriggerSlope[s], 0);
  setup_.SetU16(setup::kTriggerCoupling[s], kDc);
  setup_.SetU16(setup::kTriggerMode, 0);
  setup_.SetU16(setup::kTriggerType, 0);
  setup_.SetI16(setup::kViewState, 0);
  setup_.SetI16(setup::kRunState, 0);
}

}  // namespace kvxsim
