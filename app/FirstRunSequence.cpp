#include "app/FirstRunSequence.h"

#include <array>

#include "app/DriverInstall.h"
#include "app/FirstRunFile.h"
#include "app/HelpDocument.h"
#include "catalogue/MessageCatalogue.h"
#include "display/Notice.h"
#include "layout/PanelIds.h"
#include "platform/os/System.h"
#include "platform/ui/UserInterface.h"

namespace {

// The language buttons in catalogue order.
constexpr std::array<int, kLanguageCount> kLanguageButtons = {
    LanguagePanel::EnglishButton, LanguagePanel::FrenchButton, LanguagePanel::GermanButton,
    LanguagePanel::SpanishButton, LanguagePanel::ItalianButton};

// Waits for a press on one of the five buttons; its position is the language.
int WaitForLanguageChoice() {
  for (;;) {
    int panel = 0;
    int control = 0;
    if (GetUserEvent(1, &panel, &control) < 0) return 0;
    for (int language = 0; language < kLanguageCount; ++language)
      if (kLanguageButtons[static_cast<std::size_t>(language)] == control) return language;
  }
}

void InstallDriverWithNotice(int languagePanel, const std::string& rulesDirectory) {
  ShowNotice(languagePanel, CatalogueText(Msg::WaitTitle), CatalogueText(Msg::InstallingDrivers));
  ProcessDrawEvents();
  std::string directory;
  GetProjectDir(&directory);
  InstallInstrumentDriver(directory, rulesDirectory);
  RemoveNotice();
}

}  // namespace

int RunFirstRunSequence(const std::string& firstRunFilePath, const std::string& rulesDirectory) {
  const int languagePanel = LoadPanel(0, PanelFileName, LanguagePanel::Resource);
  int language = 0;
  if (languagePanel > 0) {
    InstallPopup(languagePanel);
    SetWaitCursor(0);
    language = WaitForLanguageChoice();
  }
  SetCurrentLanguage(language);
  MessagePopup(CatalogueText(Msg::InformationTitle), CatalogueText(Msg::DisconnectInstrument));
  SetWaitCursor(1);
  InstallHelpDocument(0);

  if (!InstrumentDriverAlreadyInstalled()) InstallDriverWithNotice(languagePanel, rulesDirectory);
  SetWaitCursor(0);
  MessagePopup(CatalogueText(Msg::InformationTitle), CatalogueText(Msg::ConnectInstrument));
  if (languagePanel > 0) {
    RemovePopup(0);
    DiscardPanel(languagePanel);
  }
  WriteFirstRunFile(firstRunFilePath, language);
  SetWaitCursor(1);
  return language;
}
