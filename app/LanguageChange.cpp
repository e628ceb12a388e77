#include "app/LanguageChange.h"

#include "app/HelpDocument.h"
#include "catalogue/MessageCatalogue.h"
#include "layout/PanelIds.h"
#include "app/Startup.h"
#include "acquisition/MainPanelHandle.h"
#include "display/Measurements.h"
#include "link/InstrumentSession.h"
#include "link/LinkBusy.h"
#include "platform/ui/UserInterface.h"

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
