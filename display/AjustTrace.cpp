#include "display/AjustTrace.h"

#include <utility>

#include "catalogue/MessageCatalogue.h"
#include "acquisition/MainPanelHandle.h"
#include "display/FunctionKeys.h"
#include "display/MainPanelLayout.h"
#include "display/Zoom.h"
#include "link/InstrumentSession.h"
#include "platform/ui/UserInterface.h"

namespace {

std::function<void()> shutdownHandler;

constexpr int kYesButton = 1;

// The question's own wait handles events, so a second close request (the
// close box again, File > Exit, the end of the desktop session) can arrive
// while it is open. That is the same request: it neither asks again nor
// quits twice. User-interface thread only.
bool quitQuestionOpen = false;

// While an instrument is connected the user confirms first; Enter is "Yes",
// Escape "No". The session handle is read as the acquisition thread may be
// replacing it.
bool UserConfirmsQuit() {
  if (CurrentSession(TheInstrument) == 0) return true;
  quitQuestionOpen = true;
  const int answer = GenericMessagePopup(CatalogueText(Msg::WarningTitle), CatalogueText(Msg::QuitQuestion),
                                         CatalogueText(Msg::Yes), CatalogueText(Msg::No));
  quitQuestionOpen = false;
  return answer == kYesButton;
}

void CloseMainPanel() {
  // Nothing to close once the quit sequence has discarded the main panel.
  if (quitQuestionOpen || MainPanelHandle.load() == 0) return;
  if (!UserConfirmsQuit()) return;
  SetWaitCursor(1);
  if (shutdownHandler) shutdownHandler();
  QuitUserInterface(0);
  SetWaitCursor(0);
}

}  // namespace

int AjustTrace(int panel, int event, void* /*callbackData*/, int eventData1, int /*eventData2*/) {
  if (event == EVENT_KEYPRESS && !HandleZoomKey(panel, eventData1)) HandleFunctionKey(panel, eventData1);
  if (event == EVENT_CLOSE) CloseMainPanel();
  if (event == EVENT_PANEL_SIZE) LayOutMainPanel(panel);
  return 0;
}

void SetShutdownHandler(std::function<void()> shutdown) { shutdownHandler = std::move(shutdown); }
