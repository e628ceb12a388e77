// Filling an enabled, empty reference from the channel's current samples,
// with a label that says at which timebase and sensitivity it was taken.
#include <array>
#include <mutex>
#include <string>

#include "acquisition/Acquisition.h"
#include "acquisition/AcquisitionSupport.h"
#include "acquisition/ChannelSamples.h"
#include "acquisition/DisplayMirror.h"
#include "acquisition/MainPanelHandle.h"
#include "acquisition/ReferenceStore.h"
#include "layout/PanelIds.h"
#include "link/InstrumentSetup.h"
#include "platform/ui/UserInterface.h"

namespace {

// TimebaseText ends in "/div", which the label leaves out.
constexpr std::size_t kPerDivisionSuffix = 4;

struct ReferenceControls {
  const char* prefix;
  int labelText;
  int sensitivityRing;        // its selected index ...
  int sensitivityLabelRing;   // ... names the item shown as the sensitivity
  std::int32_t InstrumentSetup::*enabled;
};
constexpr std::array<ReferenceControls, kReferenceCount> kReferenceControls = {{
    {"REF1: ", MainPanel::Ref1LabelText, MainPanel::Ch1SensitivityRing, MainPanel::Ch1SensitivityRing2,
     &InstrumentSetup::ref1Displayed},
    {"REF2: ", MainPanel::Ref2LabelText, MainPanel::Ch2SensitivityRing, MainPanel::Ch2SensitivityRing2,
     &InstrumentSetup::ref2Displayed},
}};

// "REF1: 500µs, 1V", cut to what the stored label holds.
std::string ReferenceLabelFor(const ReferenceControls& controls, int panel) {
  std::string timebase;
  GetCtrlVal(panel, MainPanel::TimebaseText, &timebase);
  timebase.resize(timebase.size() > kPerDivisionSuffix ? timebase.size() - kPerDivisionSuffix : 0);
  int index = -1;
  std::string sensitivity;
  if (GetCtrlIndex(panel, controls.sensitivityRing, &index) < 0 ||
      GetLabelFromIndex(panel, controls.sensitivityLabelRing, index, &sensitivity) < 0)
    sensitivity.clear();
  std::string label = controls.prefix + timebase + ", " + sensitivity;
  if (label.size() >= kReferenceLabelSize) label.resize(kReferenceLabelSize - 1);
  return label;
}

bool CaptureEnabled(const ReferenceControls& controls) {
  std::lock_guard lock(SetupRecordMutex);
  return LoadField(ProgramSetup.*controls.enabled) != 0;
}

void CaptureReference(int which, const FrameDisplay& display) {
  const ReferenceControls& controls = kReferenceControls[which];
  if (!ProgramReferences.IsEmpty(which) || !CaptureEnabled(controls)) return;
  // The channel's displayed trace: the zoomed window in zoom mode.
  const ChannelBlocks blocks = ChannelSamples.Channel(which);
  const SampleBlock& codes = Mirror.ZoomActive.load() == 1 ? blocks.blockB : blocks.blockA;
  const int panel = MainPanelHandle.load();
  const std::string label = ReferenceLabelFor(controls, panel);
  bool captured = false;
  {
    // Checked again under the locks: the user may have switched it off meanwhile.
    std::lock_guard lock(SetupRecordMutex);
    captured = ProgramReferences.CaptureIfEmpty(which, codes, label, ProgramSetup.*controls.enabled);
  }
  if (!captured) return;
  SetCtrlVal(panel, controls.labelText, label);
  CallIfSet(display.referenceCaptured, which, label);
}

}  // namespace

void CaptureReferences() {
  const std::shared_ptr<const FrameDisplay> display = CurrentFrameDisplay();
  for (int which = 0; which < kReferenceCount; ++which) CaptureReference(which, *display);
}
