#include "display/References.h"

#include "acquisition/MainPanelHandle.h"
#include "acquisition/ReferenceStore.h"
#include "display/Cursors.h"
#include "display/Measurements.h"
#include "display/XYPanel.h"
#include "display/XYWindow.h"
#include "layout/PanelIds.h"
#include "link/CommandSet.h"
#include "link/InstrumentSession.h"
#include "link/InstrumentSetup.h"
#include "link/LinkBusy.h"
#include "platform/ui/UserInterface.h"

namespace {

bool ValidReferenceIndex(int index) { return index >= 0 && index < kReferenceCount; }

void SendCursorReference(int channel) {
  LinkOwnership link;
  SetCursorReference(TheInstrument.session, channel);
}

bool AnyReferenceOn() {
  return LoadField(ProgramSetup.ref1Displayed) != 0 || LoadField(ProgramSetup.ref2Displayed) != 0;
}

// The flags go off before the traces are emptied: a capture checks its flag
// under the store's lock, so nothing refills them afterwards.
void SwitchReferencesOff() {
  StoreField(ProgramSetup.ref1Displayed, 0);
  StoreField(ProgramSetup.ref2Displayed, 0);
  StoreField(ProgramSetup.referenceState, 0);
  ClearReferenceStore(kAllReferences);
  // Switched on again, a label shows empty until its capture writes it.
  const int panel = MainPanelHandle.load();
  SetCtrlVal(panel, MainPanel::Ref1LabelText, "");
  SetCtrlVal(panel, MainPanel::Ref2LabelText, "");
}

void SwitchShownChannelsOn(bool ch1Shown, bool ch2Shown) {
  if (ch1Shown) StoreField(ProgramSetup.ref1Displayed, 1);
  if (ch2Shown) StoreField(ProgramSetup.ref2Displayed, 1);
}

void ShowMainReferenceLabels() {
  const int panel = MainPanelHandle.load();
  SetCtrlAttribute(panel, MainPanel::Ref1LabelText, ATTR_VISIBLE, LoadField(ProgramSetup.ref1Displayed) != 0 ? 1 : 0);
  SetCtrlAttribute(panel, MainPanel::Ref2LabelText, ATTR_VISIBLE, LoadField(ProgramSetup.ref2Displayed) != 0 ? 1 : 0);
}

// Both captions show only when the references of both XY sources hold data;
// a source outside REF1/REF2 counts as empty.
void ShowXYReferenceLabels() {
  const int panel = XYPanelOpen.load();
  if (panel <= 0) return;
  const XYPanelControls controls = CurrentXYPanelControls();
  const int x = LoadField(ProgramSetup.xySourceX);
  const int y = LoadField(ProgramSetup.xySourceY);
  const bool shown = ValidReferenceIndex(x) && ValidReferenceIndex(y) && !ProgramReferences.IsEmpty(x) &&
                     !ProgramReferences.IsEmpty(y);
  SetCtrlAttribute(panel, controls.xReferenceCaption, ATTR_VISIBLE, shown ? 1 : 0);
  SetCtrlAttribute(panel, controls.yReferenceCaption, ATTR_VISIBLE, shown ? 1 : 0);
}

int ReferenceListValue(int toolbar) {
  int value = -1;
  return Toolbar_GetItemAttribute(toolbar, kReferenceRingItem, kToolbarAttrValue, &value) < 0 ? -1 : value;
}

}  // namespace

void ChooseCursorReference(int channel) {
  if (!ValidReferenceIndex(channel)) return;
  SendCursorReference(channel);
  StoreField(ProgramSetup.referenceChannel, channel);
  SetMeasurementColour(channel);
  ConfigureCursors();
  UpdateXYReadouts();
  WriteMeasurementTitles(MainPanelHandle.load(), channel);
}

void ToggleReferences() {
  const bool ch1Shown = LoadField(ProgramSetup.ch1Displayed) != 0;
  const bool ch2Shown = LoadField(ProgramSetup.ch2Displayed) != 0;
  if (ch1Shown || ch2Shown) {
    if (AnyReferenceOn())
      SwitchReferencesOff();
    else
      SwitchShownChannelsOn(ch1Shown, ch2Shown);
  }
  ShowMainReferenceLabels();
  ShowXYReferenceLabels();
}

int RefCallback(int toolbar, int item, int event, void* /*callbackData*/, int /*eventData1*/, int /*eventData2*/) {
  if (event != EVENT_COMMIT) return 0;
  if (item == kReferenceRingItem) ChooseCursorReference(ReferenceListValue(toolbar));
  if (item == kScreenShotItem) ToggleReferences();
  return 0;
}
