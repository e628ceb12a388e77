#include "panel/MenuCallbacks.h"

#include <utility>

#include "acquisition/MainPanelHandle.h"
#include "display/AjustTrace.h"
#include "display/XYWindow.h"
#include "layout/PanelIds.h"
#include "link/LinkBusy.h"
#include "panel/DisplayMenu.h"
#include "panel/PrintDialog.h"
#include "panel/ScopeSteps.h"
#include "platform/ui/UserInterface.h"

namespace {

std::function<void(int)> languageChangeHandler;
std::function<void()> saveTraceHandler;

// The whole panel, also what is scrolled out of sight.
void CopyWindowToClipboard(int panel) {
  int bitmap = 0;
  if (GetPanelDisplayBitmap(panel, VAL_FULL_PANEL, &bitmap) < 0) return;
  ClipboardPutBitmap(bitmap);
  DiscardBitmap(bitmap);
}

int LanguageOfItem(int menuItem) {
  for (std::size_t language = 0; language < LanguageMenuItems.size(); ++language)
    if (LanguageMenuItems[language] == menuItem) return static_cast<int>(language);
  return -1;
}

}  // namespace

void GestionMenuFichier(int /*menuBar*/, int menuItem, void* /*callbackData*/, int /*panel*/) {
  const int panel = MainPanelHandle.load();
  switch (menuItem) {
    case MainMenuBar::SaveTraceItem:
      if (saveTraceHandler) saveTraceHandler();
      break;
    case MainMenuBar::CopyWindowItem: {
      LinkOwnership link;
      CopyWindowToClipboard(panel);
      break;
    }
    case MainMenuBar::PrintItem:
      OpenPrintDialog();
      break;
    case MainMenuBar::ExitItem:
      // The quit question waits for the user; the quit itself stops the acquisition first.
      AjustTrace(panel, EVENT_CLOSE, nullptr, 0, 0);
      break;
    default:
      break;
  }
}

void GestionMenuAffichage(int /*menuBar*/, int menuItem, void* /*callbackData*/, int /*panel*/) {
  const int panel = MainPanelHandle.load();
  if (const int language = LanguageOfItem(menuItem); language >= 0) {
    if (languageChangeHandler) languageChangeHandler(language);
    return;
  }
  LinkOwnership link;
  switch (menuItem) {
    case MainMenuBar::PersistenceItem:
      TogglePersistence(panel);
      break;
    case MainMenuBar::XyItem:
      ToggleXYMode();
      CheckDisplayMenuItems(panel);
      break;
    case MainMenuBar::AutoMeasurementsItem:
      ToggleAutomaticMeasurements(panel);
      break;
    default:
      break;
  }
}

void RegisterMenuCallbacks() {
  RegisterCallback("GestionMenuFichier", MenuCallback(GestionMenuFichier));
  RegisterCallback("GestionMenuAffichage", MenuCallback(GestionMenuAffichage));
}

void SetLanguageChangeHandler(std::function<void(int)> change) { languageChangeHandler = std::move(change); }
void SetSaveTraceHandler(std::function<void()> save) { saveTraceHandler = std::move(save); }
