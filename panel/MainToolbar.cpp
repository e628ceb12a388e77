#include "panel/MainToolbar.h"

#include "catalogue/MessageCatalogue.h"
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

}  // namespace

void RefillReferenceRing() {
  ToolbarItem ring;
  if (!FindReferenceRing(ring)) return;
  ClearListCtrl(ring.panel, ring.control);
  for (int channel = 0; channel < 2; ++channel)
    InsertListItem(ring.panel, ring.control, -1, MeasurementTitleText(channel), channel);
  SetCtrlVal(ring.panel, ring.control, LoadField(ProgramSetup.referenceChannel));
  const bool measurementsOn = (LoadField(ProgramSetup.measurementFlags) & kMeasurementDisplayFlag) != 0;
  Toolbar_DimItem(ring.toolbar, ring.item, measurementsOn ? 0 : 1);
}

void ShowReferenceOnToolbar(int channel) {
  ToolbarItem ring;
  if (FindReferenceRing(ring)) SetCtrlVal(ring.panel, ring.control, channel);
}
