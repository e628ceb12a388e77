#include "panel/MenuCallbacks.h"

#include <array>
#include <utility>

#include "display/AjustTrace.h"
#include "acquisition/MainPanelHandle.h"
#include "layout/PanelIds.h"
#include "platform/ui/UserInterface.h"

namespace {

std::function<void(int)> languageChangeHandler;

// Not offered until the trace export, clipboard, printing, persistence, XY
// view, measurement display and help are part of the program.
constexpr std::array<int, 8> kUnavailableItems = {
    MainMenuBar::SaveTraceItem,   MainMenuBar::CopyWindowItem,       MainMenuBar::PrintItem,
    MainMenuBar::PersistenceItem, MainMenuBar::XyItem,               MainMenuBar::AutoMeasurementsItem,
    MainMenuBar::HelpItem,        MainMenuBar::AboutItem};

}  // namespace

void GestionMenuFichier(int /*menuBar*/, int menuItem, void* /*callbackData*/, int /*panel*/) {
  if (menuItem == MainMenuBar::ExitItem) AjustTrace(MainPanelHandle.load(), EVENT_CLOSE, nullptr, 0, 0);
}

void GestionMenuAffichage(int /*menuBar*/, int menuItem, void* /*callbackData*/, int /*panel*/) {
  for (std::size_t language = 0; language < LanguageMenuItems.size(); ++language)
    if (LanguageMenuItems[language] == menuItem && languageChangeHandler)
      languageChangeHandler(static_cast<int>(language));
}

void RegisterMenuCallbacks() {
  RegisterCallback("GestionMenuFichier", MenuCallback(GestionMenuFichier));
  RegisterCallback("GestionMenuAffichage", MenuCallback(GestionMenuAffichage));
}

void DimUnavailableMenuItems(int menuBar) {
  for (const int item : kUnavailableItems) SetMenuBarAttribute(menuBar, item, ATTR_DIMMED, 1);
}

void SetLanguageChangeHandler(std::function<void(int)> change) { languageChangeHandler = std::move(change); }
