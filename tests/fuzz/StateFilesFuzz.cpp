// The preferences and setup file loaders on arbitrary bytes: whatever the
// files hold, loading ends with state the rest of the program can trust.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "app/DefaultSetup.h"
#include "app/Preferences.h"
#include "link/SetupRecordCheck.h"
#include "fuzz/StateFilesInput.h"

namespace {

void Require(bool condition) {
  if (!condition) std::abort();
}

bool WithinField(const char* text, std::size_t size) { return std::memchr(text, '\0', size) != nullptr; }

void CheckRect(const PanelRect& rect, MonitorSize monitor) {
  Require(rect.top >= 20 && rect.top <= std::max(20, monitor.height));
  Require(rect.left >= 0 && rect.left <= std::max(0, monitor.width - 20));
  Require(rect.height >= 0 && rect.height <= std::max(0, monitor.height));
  Require(rect.width >= 0 && rect.width <= std::max(0, monitor.width));
}

void CheckState(const PreferencesState& state, MonitorSize monitor) {
  Require(SetupRecordUsable(state.setup));
  if (state.blockLoaded) {
    CheckRect(state.block.mainPanelRect, monitor);
    CheckRect(state.block.xyPanelRect, monitor);
    CheckRect(state.block.spareRect, monitor);
  } else {
    Require(std::memcmp(&state.block.mainPanelRect, &kDefaultMainPanelRect, sizeof(PanelRect)) == 0);
  }
  Require(WithinField(state.block.tracePath, sizeof state.block.tracePath));
  Require(WithinField(state.block.serialNumber, sizeof state.block.serialNumber));
  Require(state.block.PersistenceOn == 0 || state.block.PersistenceOn == 1);
  for (int which = 0; which < kReferenceCount; ++which) {
    Require(state.references.ReferenceLabel[which].back() == '\0');
    for (std::int32_t code : state.references.ReferenceStore[which]) Require(code >= 0 && code <= kHighestSampleCode);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const fuzzinput::StateFiles files = fuzzinput::SplitStateFiles({data, size});
  PreferencesState state;
  state.setup = DefaultSetupRecord();
  LoadPreferencesFromBytes(files.preferences, files.setup, files.monitor, state);
  CheckState(state, files.monitor);
  return 0;
}
