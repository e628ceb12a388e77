#include "link/SetupRecordCheck.h"

#include <array>
#include <cmath>
#include <cstring>

#include "link/CommandSet.h"
#include "link/InstrumentSession.h"

namespace {

// The largest zoom factor: 20 record points per screen point, no zoom.
constexpr float kMaxZoomFactor = 20.0f;
// The instrument's record; the zoom window starts inside it.
constexpr std::int32_t kRecordPoints = 50000;

struct IndexRule {
  long (*value)(const InstrumentSetup&);
  std::size_t count;  // valid values are 0 .. count - 1
};

// Each field that selects an entry of a table, with the size of that table.
const std::array kIndexRules = {
    IndexRule{[](const InstrumentSetup& s) -> long { return s.runState; }, 2},
    IndexRule{[](const InstrumentSetup& s) -> long { return s.effectiveTimebaseIndex; }, TimebaseWords.size()},
    IndexRule{[](const InstrumentSetup& s) -> long { return s.timebaseIndex; }, TimebaseWords.size()},
    IndexRule{[](const InstrumentSetup& s) -> long { return s.triggerMode; }, kTriggerModeCount},
    IndexRule{[](const InstrumentSetup& s) -> long { return s.triggerType; }, ContinuousTriggerWords.size()},
    IndexRule{[](const InstrumentSetup& s) -> long { return s.triggerSource; }, TriggerSourceWords.size()},
    IndexRule{[](const InstrumentSetup& s) -> long { return s.ch1Coupling; }, CouplingWords.size()},
    IndexRule{[](const InstrumentSetup& s) -> long { return s.ch2Coupling; }, CouplingWords.size()},
    IndexRule{[](const InstrumentSetup& s) -> long { return s.ch1VoltsPerDivIndex; }, kSensitivityCount},
    IndexRule{[](const InstrumentSetup& s) -> long { return s.ch2VoltsPerDivIndex; }, kSensitivityCount},
    IndexRule{[](const InstrumentSetup& s) -> long { return s.ch1TriggerCoupling; }, TriggerCouplingCommands.size()},
    IndexRule{[](const InstrumentSetup& s) -> long { return s.ch2TriggerCoupling; }, TriggerCouplingCommands.size()},
    IndexRule{[](const InstrumentSetup& s) -> long { return s.ch1TriggerSlope; }, SlopeWords.size()},
    IndexRule{[](const InstrumentSetup& s) -> long { return s.ch2TriggerSlope; }, SlopeWords.size()},
    IndexRule{[](const InstrumentSetup& s) -> long { return s.referenceChannel; }, kChannelCount},
    IndexRule{[](const InstrumentSetup& s) -> long { return s.xySourceX; }, kChannelCount},
    IndexRule{[](const InstrumentSetup& s) -> long { return s.xySourceY; }, kChannelCount},
};

bool IndexesInRange(const InstrumentSetup& setup) {
  for (const IndexRule& rule : kIndexRules) {
    const long value = rule.value(setup);
    if (value < 0 || static_cast<std::size_t>(value) >= rule.count) return false;
  }
  return true;
}

bool ZoomUsable(const InstrumentSetup& setup) {
  return std::isfinite(setup.zoomFactor) && setup.zoomFactor > 0.0f && setup.zoomFactor <= kMaxZoomFactor &&
         setup.zoomPosition >= 0 && setup.zoomPosition <= kRecordPoints && std::isfinite(setup.zoomWindowScale);
}

template <std::size_t N>
bool Terminated(const char (&text)[N]) {
  return std::memchr(text, '\0', N) != nullptr;
}

}  // namespace

bool SetupRecordUsable(const InstrumentSetup& setup) {
  return IndexesInRange(setup) && ZoomUsable(setup) && std::isfinite(setup.ch1ProbeFactor) &&
         std::isfinite(setup.ch2ProbeFactor) && Terminated(setup.ch1Unit) && Terminated(setup.ch2Unit);
}
