#include "link/TriggerLevel.h"

#include <mutex>
#include <utility>

#include "link/CommandSet.h"
#include "link/InstrumentSession.h"
#include "link/InstrumentSetup.h"

namespace {

std::mutex viewMutex;
std::function<void(int, double)> levelView;

// Volts per division of the source channel; 0 for no channel or an index
// outside the table.
double SourceSensitivity(int source) {
  if (source != 0 && source != 1) return 0.0;
  const int index = source == 0 ? LoadField(ProgramSetup.ch1VoltsPerDivIndex)
                                : LoadField(ProgramSetup.ch2VoltsPerDivIndex);
  if (index < 0 || index >= kSensitivityCount) return 0.0;
  return TheInstrument.VoltsPerDivTable[static_cast<std::size_t>(index)];
}

}  // namespace

ViStatus ApplyTriggerLevel(double divisions, std::int16_t* field, int source, int send) {
  if (field) StoreField(*field, DivisionsToUnits(divisions));
  if (!send) return VI_SUCCESS;
  return SetTriggerLevel(TheInstrument.session, divisions * SourceSensitivity(source));
}

void ShowTriggerLevel(int panel, int level) {
  std::function<void(int, double)> view;
  {
    std::lock_guard lock(viewMutex);
    view = levelView;
  }
  if (view) view(panel, level / static_cast<double>(kUnitsPerDivision));
}

void SetTriggerLevelView(std::function<void(int panel, double divisions)> view) {
  std::lock_guard lock(viewMutex);
  levelView = std::move(view);
}
