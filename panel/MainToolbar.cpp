#include "panel/MainToolbar.h"

#include "acquisition/MainPanelHandle.h"
#include "catalogue/MessageCatalogue.h"
#include "layout/PanelIds.h"
#include "link/InstrumentSetup.h"
#include "panel/ControleScope.h"
#include "platform/ui/UserInterface.h"

std::atomic<int> MainToolbarHandle{0};

namespace {

struct ToolbarItem {
  int toolbar = 0;
  int item = 0;     // 1-based
  int panel = 0;    // the toolbar's own panel
  int control = 0;  // the item's control there
};

// The item found by its description in the current language, if any.
bool FindReferenceRing(ToolbarItem& ring) {
  ring.toolbar = MainToolbarHandle.load();
  if (ring.toolbar == 0) return false;
  ring.item = Toolbar_GetItemFromDescription(ring.toolbar, CatalogueText(Msg::Reference));
  if (ring.item <= 0) return false;
  ring.panel = Toolbar_GetPanel(ring.toolbar);
  return Toolbar_GetItemAttribute(ring.toolbar, ring.item, kToolbarAttrCtrlId, &ring.control) >= 0;
}

// The two items in the current language, the reference channel selected.
void FillReferenceList(int panel, int control) {
  ClearListCtrl(panel, control);
  for (int channel = 0; channel < 2; ++channel)
    InsertListItem(panel, control, -1, MeasurementTitleText(channel), channel);
  SetCtrlVal(panel, control, LoadField(ProgramSetup.referenceChannel));
}

}  // namespace

// Until the toolbar exists, the main panel's own "Reference" ring stands in
// for its item and is kept the same way.
void RefillReferenceRing() {
  const bool measurementsOn = (LoadField(ProgramSetup.measurementFlags) & kAutoMeasurementsFlag) != 0;
  if (const int panel = MainPanelHandle.load(); panel > 0) {
    FillReferenceList(panel, MainPanel::ReferenceRing);
    SetCtrlAttribute(panel, MainPanel::ReferenceRing, ATTR_DIMMED, measurementsOn ? 0 : 1);
  }
  ToolbarItem ring;
  if (!FindReferenceRing(ring)) return;
  FillReferenceList(ring.panel, ring.control);
  Toolbar_DimItem(ring.toolbar, ring.item, measurementsOn ? 0 : 1);
}

void ShowReferenceOnToolbar(int channel) {
  if (const int panel = MainPanelHandle.load(); panel > 0) SetCtrlVal(panel, MainPanel::ReferenceRing, channel);
  ToolbarItem ring;
  if (FindReferenceRing(ring)) SetCtrlVal(ring.panel, ring.control, channel);
}
