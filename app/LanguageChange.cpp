#include "app/LanguageChange.h"

#include <array>
#include <string>

#include "app/HelpDocument.h"
#include "catalogue/MessageCatalogue.h"
#include "app/SplashText.h"
#include "app/Startup.h"
#include "acquisition/MainPanelHandle.h"
#include "display/Measurements.h"
#include "layout/PanelIds.h"
#include "link/InstrumentSession.h"
#include "link/InstrumentSetup.h"
#include "link/LinkBusy.h"
#include "platform/ui/UserInterface.h"

namespace {

static_assert(LanguageMenuItems.size() == kLanguageCount);

struct MenuText {
  int item;
  Msg text;
  bool isMenu;
};
constexpr std::array<MenuText, 11> kMenuTexts = {{
    {MainMenuBar::FileMenu, Msg::FileMenu, true},
    {MainMenuBar::SaveTraceItem, Msg::SaveTrace, false},
    {MainMenuBar::CopyWindowItem, Msg::CopyWindow, false},
    {MainMenuBar::PrintItem, Msg::PrintEllipsis, false},
    {MainMenuBar::ExitItem, Msg::Exit, false},
    {MainMenuBar::DisplayMenu, Msg::DisplayMenu, true},
    {MainMenuBar::PersistenceItem, Msg::Persistence, false},
    {MainMenuBar::AutoMeasurementsItem, Msg::AutomaticMeasurements, false},
    {MainMenuBar::LanguageMenu, Msg::Language, true},
    {MainMenuBar::HelpItem, Msg::Help, false},
    {MainMenuBar::AboutItem, Msg::About, false},
}};

}  // namespace

void RelabelMainPanel(int panel) {
  SetPanelAttribute(panel, ATTR_TITLE, ProgramTitle());
  SetCtrlVal(panel, MainPanel::VerticalCaption, CatalogueText(Msg::Vertical));
  SetCtrlVal(panel, MainPanel::HorizontalCaption, CatalogueText(Msg::Horizontal));
  SetCtrlVal(panel, MainPanel::TriggerCaption, CatalogueText(Msg::Trigger));
  SetCtrlAttribute(panel, MainPanel::TriggerSourceRing, ATTR_LABEL_TEXT, CatalogueText(Msg::Source));
  SetCtrlVal(panel, MainPanel::LevelCaption, CatalogueText(Msg::Level));
  ChangeLanguePanelMeas(panel, LoadField(ProgramSetup.referenceChannel));
}

void RelabelMenuBar(int menuBar) {
  for (const MenuText& entry : kMenuTexts)
    SetMenuBarAttribute(menuBar, entry.item, entry.isMenu ? ATTR_MENU_NAME : ATTR_ITEM_NAME,
                        CatalogueText(entry.text));
  for (int language = 0; language < kLanguageCount; ++language)
    SetMenuBarAttribute(menuBar, LanguageMenuItems[static_cast<std::size_t>(language)], ATTR_CHECKED,
                        language == CurrentLanguage() ? 1 : 0);
}

int ChangeLanguePanelMeas(int /*panel*/, int referenceChannel) {
  WriteMeasurementTitles(MainPanelHandle.load(), referenceChannel);
  return 0;
}

void ChangeLanguage(int language) {
  LinkOwnership link;
  SetWaitCursor(1);
  const int menuBar = GetPanelMenuBar(MainPanelHandle.load());
  SetMenuBarAttribute(menuBar, LanguageMenuItems[static_cast<std::size_t>(CurrentLanguage())], ATTR_CHECKED, 0);
  SetCurrentLanguage(language);
  InstallHelpDocument(TheInstrument.identifiedModelNumber);
  FirstDisplay();
  SetWaitCursor(0);
}
