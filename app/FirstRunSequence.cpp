#include "app/FirstRunSequence.h"

#include <unistd.h>

#include <array>
#include <filesystem>

#include "app/FirstRunFile.h"
#include "app/HelpDocument.h"
#include "app/MessageCatalogue.h"
#include "layout/PanelIds.h"
#include "platform/os/System.h"
#include "platform/ui/UserInterface.h"

namespace {

constexpr const char* kUdevRuleName = "60-kelvarinlab.rules";

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

int ShowDriverNotice() {
  const int notice = LoadPanel(0, PanelFileName, NoticePanel::Resource);
  if (notice < 0) return notice;
  SetPanelAttribute(notice, ATTR_TITLE, CatalogueText(Msg::WaitTitle));
  SetCtrlVal(notice, NoticePanel::NoticeText, CatalogueText(Msg::InstallingDrivers));
  InstallPopup(notice);
  ProcessDrawEvents();
  return notice;
}

}  // namespace

bool InstallUsbDriver(const std::string& applicationDirectory, const std::string& rulesDirectory) {
  namespace fs = std::filesystem;
  if (access(rulesDirectory.c_str(), W_OK) != 0) return false;
  fs::path source = fs::path(applicationDirectory) / "driver_USB" / "linux" / kUdevRuleName;
  std::error_code error;
  if (!fs::exists(source, error)) source = ResolveResourcePath(std::string("driver_USB/linux/") + kUdevRuleName);
  if (!fs::copy_file(source, fs::path(rulesDirectory) / kUdevRuleName, fs::copy_options::overwrite_existing, error))
    return false;
  if (rulesDirectory == SystemRulesDirectory()) {
    RunCommandAndWait({"udevadm", "control", "--reload-rules"});
    RunCommandAndWait({"udevadm", "trigger", "--subsystem-match=usb"});
  }
  return true;
}

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

  const int notice = ShowDriverNotice();
  std::string directory;
  GetProjectDir(&directory);
  InstallUsbDriver(directory, rulesDirectory);
  if (notice > 0) {
    RemovePopup(0);
    DiscardPanel(notice);
  }
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
