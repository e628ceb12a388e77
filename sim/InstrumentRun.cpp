// Run control and the acquisition frames: while running, each frame request
// advances the acquisition in instrument time; stopped, the last record is
// held.
#include <algorithm>
#include <cmath>

#include "sim/InstrumentTables.h"
#include "sim/SimulatedInstrument.h"

namespace kvxsim {
namespace {

enum Phase { kStopped = 0, kPreTrigger = 1, kReady = 4, kPostTrigger = 5, kFreeRunning = 6, kTriggered = 7 };
constexpr int kPreTriggerSteps = 3;  // phases 1..3 while the pre-trigger part fills
constexpr int kSingleMode = 2;
constexpr float kUnzoomed = 20.0f;
// Records that take longer than this show their phases; faster ones are
// complete at every request.
constexpr double kWatchedRecordSeconds = 0.1;

// Share of the record before the trigger point.
double PreTriggerShare(const AcquisitionSettings& settings) {
  const double point = std::clamp(-static_cast<double>(settings.horizontalOffset), 0.0, double{kRecordPoints});
  return point / kRecordPoints;
}

}  // namespace

AcquisitionSettings SimulatedInstrument::DeriveSettings() const {
  AcquisitionSettings settings;
  for (std::size_t c = 0; c < 2; ++c) {
    ChannelSettings& channel = settings.channel[c];
    channel.displayed = setup_.I32(setup::kDisplayed[c]) != 0;
    channel.coupling = std::clamp<int>(setup_.I16(setup::kCoupling[c]), 0, 2);
    channel.voltsPerDiv = VoltsPerDiv(model_, setup_.U16(setup::kVoltsPerDivIndex[c]));
    const float probe = setup_.F32(setup::kProbeFactor[c]);
    channel.probeFactor = std::isfinite(probe) && probe > 0.0f ? probe : 1.0;
    channel.verticalOffset = setup_.I16(setup::kVerticalOffset[c]);
    channel.triggerLevel = setup_.I16(setup::kTriggerLevel[c]);
    channel.triggerSlope = setup_.U16(setup::kTriggerSlope[c]) != 0 ? 1 : 0;
  }
  settings.secondsPerDiv = SecondsPerDiv(AcquisitionTimebase(setup_.U16(setup::kTimebaseIndex)));
  settings.horizontalOffset = setup_.I32(setup::kHorizontalOffset);
  settings.triggerSource = std::min<int>(setup_.U16(setup::kTriggerSource), 2);
  settings.triggerMode = std::min<int>(setup_.U16(setup::kTriggerMode), 2);
  float factor = setup_.F32(setup::kZoomFactor);
  if (!std::isfinite(factor) || factor <= 0.0f || factor > kUnzoomed) factor = kUnzoomed;
  settings.zoomFactor = factor;
  const int lastPosition = std::max(0, static_cast<int>(std::floor(kRecordPoints - kScreenPoints * double{factor})));
  settings.zoomPosition = std::clamp(setup_.I32(setup::kZoomPosition), 0, lastPosition);
  settings.referenceChannel = std::min<int>(setup_.U16(setup::kReferenceChannel), 1);
  return settings;
}

// Keeps a finished record for the frames and trace files; single mode stops
// after it.
int SimulatedInstrument::CompleteAcquisition(Record& record, const AcquisitionSettings& settings, FrameState& state) {
  held_.record = std::move(record);
  held_.settings = settings;
  held_.timebaseIndex = AcquisitionTimebase(setup_.U16(setup::kTimebaseIndex));
  for (std::size_t c = 0; c < 2; ++c) {
    held_.sensitivityIndex[c] = std::min<int>(setup_.U16(setup::kVoltsPerDivIndex[c]), kSensitivityCount - 1);
    held_.unit[c] = setup_.Text(setup::kUnit[c], setup::kUnitSize);
  }
  if (settings.triggerMode == kSingleMode) {
    setup_.SetI16(setup::kRunState, 1);
    state.runStop = 1;
    return kStopped;
  }
  return held_.record.triggered ? kTriggered : kFreeRunning;
}

// A slow record: the pre-trigger part fills, the instrument waits for the
// trigger, then the post-trigger part fills; only then is the record shown.
int SimulatedInstrument::SweepPhase(double now, double recordSeconds, const AcquisitionSettings& settings,
                                    FrameState& state) {
  if (!sweep_.active || sweep_.setup != setup_.Bytes()) {
    sweep_ = Sweep{};
    sweep_.active = true;
    sweep_.setup = setup_.Bytes();
    sweep_.start = now;
  }
  const double preSeconds = recordSeconds * PreTriggerShare(settings);
  if (!sweep_.triggered) {
    const double filled = now - sweep_.start;
    if (filled < preSeconds) {
      return kPreTrigger + std::min(kPreTriggerSteps - 1, static_cast<int>(kPreTriggerSteps * filled / preSeconds));
    }
    if (!Acquire(settings, signals_, now, rng_, sweep_.pending)) return kReady;
    sweep_.triggered = true;
    sweep_.triggerTime = now;
  }
  if (now - sweep_.triggerTime < recordSeconds - preSeconds) return kPostTrigger;
  const int phase = CompleteAcquisition(sweep_.pending, settings, state);
  sweep_ = Sweep{};
  sweep_.active = true;
  sweep_.setup = setup_.Bytes();
  sweep_.start = now;
  return phase;
}

FrameState SimulatedInstrument::AdvanceAcquisition() {
  FrameState state;
  state.measurementsOn = setup_.I32(setup::kAutoMeasurementsOn) != 0;
  state.runStop = 0;
  if (setup_.I16(setup::kRunState) != 0) {
    state.runStop = 1;
    state.acquisitionPhase = kStopped;
    sweep_.active = false;
    return state;
  }
  const AcquisitionSettings settings = DeriveSettings();
  const double now = InstrumentTime();
  const double recordSeconds = settings.secondsPerDiv * kRecordPoints / kPointsPerDivision;
  if (recordSeconds > kWatchedRecordSeconds) {
    state.acquisitionPhase = SweepPhase(now, recordSeconds, settings, state);
    return state;
  }
  Record fresh;
  // Normal and single modes wait for a trigger the signal does not give.
  if (!Acquire(settings, signals_, now, rng_, fresh)) {
    state.acquisitionPhase = kReady;
    return state;
  }
  state.acquisitionPhase = CompleteAcquisition(fresh, settings, state);
  return state;
}

void SimulatedInstrument::OnFrameQuery(const Command&, int) {
  const FrameState state = AdvanceAcquisition();
  ReplyBlock(BuildFrameReply(held_.record, DeriveSettings(), state));
}

}  // namespace kvxsim
