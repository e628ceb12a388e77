// Full autoset and RUN/STOP.
#include "catalogue/MessageCatalogue.h"
#include "display/Cursors.h"
#include "display/DisplayState.h"
#include "display/Measurements.h"
#include "display/XYWindow.h"
#include "display/ZoomRecord.h"
#include "link/Autoset.h"
#include "link/CommandSet.h"
#include "link/InstrumentSession.h"
#include "link/InstrumentSetup.h"
#include "link/LinkBusy.h"
#include "panel/ControleScope.h"
#include "panel/ScopeSteps.h"
#include "platform/ui/UserInterface.h"

namespace {

// The channels on screen when Autoset was pressed: the autoset itself
// switches both on, so the reference follows what the user was looking at.
struct ShownChannels {
  int ch1, ch2;
};

// After a successful autoset; the caller owns the link.
void ShowAutosetResult(int panel, const ShownChannels& shown) {
  StoreNoZoom();
  ZoomOff();
  // Tracking cursors follow the new reference and show its readouts.
  if (FollowReferenceChannel(shown.ch1, shown.ch2)) ConfigureCursors();
  RefreshPanelFromSetup();
  UpdateCursorReadouts();
  UpdateXYReadouts();
  if (LoadField(ProgramSetup.autoMeasurementsOn) == 1) {
    const int reference = LoadField(ProgramSetup.referenceChannel);
    WriteMeasurementTitles(panel, reference);
    SetMeasurementColour(reference);
    RefreshMeasurementTexts();
  }
}

}  // namespace

void CommitAutoset(int panel, int) {
  SetWaitCursor(1);
  const ShownChannels shown{LoadField(ProgramSetup.ch1Displayed), LoadField(ProgramSetup.ch2Displayed)};
  int done = 0;
  {
    LinkOwnership link;
    done = RunAutoset(TheInstrument.session);
    if (done) ShowAutosetResult(panel, shown);
  }
  // Shown once the link is free: the acquisition goes on while the box waits.
  if (!done) MessagePopup(CatalogueText(Msg::ErrorTitle), CatalogueText(Msg::AutosetImpossible));
  SetWaitCursor(0);
}

// runState is what the instrument last reported; the command asks for the
// other state.
void CommitRunStop(int, int) {
  LinkOwnership link;
  SetRunState(TheInstrument.session, LoadField(ProgramSetup.runState) == 0 ? 1 : 0);
}
