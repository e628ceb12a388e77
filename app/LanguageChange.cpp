#include "app/LanguageChange.h"

#include <array>
#include <mutex>
#include <string>

#include "app/HelpDocument.h"
#include "app/MessageCatalogue.h"
#include "app/SplashText.h"
#include "app/Startup.h"
#include "display/Measurements.h"
#include "layout/PanelIds.h"
#include "link/InstrumentSession.h"
#include "link/InstrumentSetup.h"
#include "link/LinkBusy.h"
#include "platform/ui/UserInterface.h"

namespace {

constexpr int kNoticeOffsetTop = 130;
constexpr int kNoticeOffsetLeft = 35;

constexpr std::array<int, kLanguageCount> kLanguageItems = {MainMenuBar::EnglishItem, MainMenuBar::FrenchItem,
                                                            MainMenuBar::GermanItem, MainMenuBar::SpanishItem,
                                                            MainMenuBar::ItalianItem};

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

// The notice slot: shown from the acquisition thread as well as the
// user-interface thread.
std::mutex noticeMutex;
int noticePanel = 0;

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
    SetMenuBarAttribute(menuBar, kLanguageItems[static_cast<std::size_t>(language)], ATTR_CHECKED,
                        language == CurrentLanguage() ? 1 : 0);
}

int ChangeLanguePanelMeas(int /*panel*/, int referenceChannel) {
  WriteMeasurementTitles(Panels.main, referenceChannel);
  return 0;
}

void ShowNotice(int parentPanel, const char* title, const char* text) {
  std::lock_guard lock(noticeMutex);
  if (noticePanel != 0) return;
  const int panel = LoadPanel(0, PanelFileName, NoticePanel::Resource);
  if (panel < 0) return;
  int top = 0;
  int left = 0;
  GetPanelAttribute(parentPanel, ATTR_TOP, &top);
  GetPanelAttribute(parentPanel, ATTR_LEFT, &left);
  SetPanelPos(panel, top + kNoticeOffsetTop, left + kNoticeOffsetLeft);
  SetPanelAttribute(panel, ATTR_TITLE, title);
  SetCtrlVal(panel, NoticePanel::NoticeText, text);
  InstallPopup(panel);
  noticePanel = panel;
}

void RemoveNotice() {
  std::lock_guard lock(noticeMutex);
  if (noticePanel == 0) return;
  RemovePopup(0);
  DiscardPanel(noticePanel);
  noticePanel = 0;
}

void ShowCommunicationNotice() {
  ShowNotice(Panels.main, CatalogueText(Msg::CommunicationError), CatalogueText(Msg::NoDialogWithScope));
  SetWaitCursor(1);
}

void RemoveCommunicationNotice() {
  SetWaitCursor(0);
  RemoveNotice();
}

void ChangeLanguage(int language) {
  LinkOwnership link;
  SetWaitCursor(1);
  const int menuBar = GetPanelMenuBar(Panels.main);
  SetMenuBarAttribute(menuBar, kLanguageItems[static_cast<std::size_t>(CurrentLanguage())], ATTR_CHECKED, 0);
  SetCurrentLanguage(language);
  InstallHelpDocument(TheInstrument.identifiedModelNumber);
  FirstDisplay();
  SetWaitCursor(0);
}
