#include "display/AjustTrace.h"

#include <utility>

#include "catalogue/MessageCatalogue.h"
#include "display/MainPanelLayout.h"
#include "link/InstrumentSession.h"
#include "platform/ui/UserInterface.h"

namespace {

std::function<void()> shutdownHandler;

constexpr int kYesButton = 1;

// While an instrument is connected the user confirms first; Enter is "Yes",
// Escape "No".
bool UserConfirmsQuit() {
  if (TheInstrument.session == 0) return true;
  return GenericMessagePopup(CatalogueText(Msg::WarningTitle), CatalogueText(Msg::QuitQuestion),
                             CatalogueText(Msg::Yes), CatalogueText(Msg::No)) == kYesButton;
}

void CloseMainPanel() {
  if (!UserConfirmsQuit()) return;
  SetWaitCursor(1);
  if (shutdownHandler) shutdownHandler();
  QuitUserInterface(0);
  SetWaitCursor(0);
}

}  // namespace

int AjustTrace(int panel, int event, void* /*callbackData*/, int /*eventData1*/, int /*eventData2*/) {
  if (event == EVENT_CLOSE) CloseMainPanel();
  if (event == EVENT_PANEL_SIZE) LayOutMainPanel(panel);
  return 0;
}

void SetShutdownHandler(std::function<void()> shutdown) { shutdownHandler = std::move(shutdown); }
