#include "app/MenuCallbacks.h"

#include <array>

#include "app/LanguageChange.h"
#include "app/MessageCatalogue.h"
#include "app/Startup.h"
#include "display/AjustTrace.h"
#include "layout/PanelIds.h"
#include "platform/ui/UserInterface.h"

namespace {

constexpr std::array<int, kLanguageCount> kLanguageItems = {MainMenuBar::EnglishItem, MainMenuBar::FrenchItem,
                                                            MainMenuBar::GermanItem, MainMenuBar::SpanishItem,
                                                            MainMenuBar::ItalianItem};

// Not offered until the trace export, clipboard, printing, persistence, XY
// view, measurement display and help are part of the program.
constexpr std::array<int, 8> kUnavailableItems = {
    MainMenuBar::SaveTraceItem,   MainMenuBar::CopyWindowItem,       MainMenuBar::PrintItem,
    MainMenuBar::PersistenceItem, MainMenuBar::XyItem,               MainMenuBar::AutoMeasurementsItem,
    MainMenuBar::HelpItem,        MainMenuBar::AboutItem};

}  // namespace

void GestionMenuFichier(int /*menuBar*/, int menuItem, void* /*callbackData*/, int /*panel*/) {
  if (menuItem == MainMenuBar::ExitItem) AjustTrace(Panels.main, EVENT_CLOSE, nullptr, 0, 0);
}

void GestionMenuAffichage(int /*menuBar*/, int menuItem, void* /*callbackData*/, int /*panel*/) {
  for (int language = 0; language < kLanguageCount; ++language)
    if (kLanguageItems[static_cast<std::size_t>(language)] == menuItem) ChangeLanguage(language);
}

void RegisterMenuCallbacks() {
  RegisterCallback("GestionMenuFichier", MenuCallback(GestionMenuFichier));
  RegisterCallback("GestionMenuAffichage", MenuCallback(GestionMenuAffichage));
}

void DimUnavailableMenuItems(int menuBar) {
  for (const int item : kUnavailableItems) SetMenuBarAttribute(menuBar, item, ATTR_DIMMED, 1);
}
