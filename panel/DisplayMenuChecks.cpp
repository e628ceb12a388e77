// The Display menu's check marks, from the state they stand for.
#include "catalogue/MessageCatalogue.h"
#include "display/DisplayState.h"
#include "display/XYPanel.h"
#include "link/InstrumentSetup.h"
#include "panel/ControleScope.h"
#include "panel/ScopeSteps.h"
#include "platform/ui/UserInterface.h"

void CheckDisplayMenuItems(int panel) {
  const int menuBar = GetPanelMenuBar(panel);
  if (menuBar <= 0) return;
  const bool measurementsOn = (LoadField(ProgramSetup.measurementFlags) & kAutoMeasurementsFlag) != 0;
  SetMenuBarAttribute(menuBar, MainMenuBar::PersistenceItem, ATTR_CHECKED, PersistenceOn.load() != 0 ? 1 : 0);
  SetMenuBarAttribute(menuBar, MainMenuBar::XyItem, ATTR_CHECKED, XYPanelOpen.load() != 0 ? 1 : 0);
  SetMenuBarAttribute(menuBar, MainMenuBar::AutoMeasurementsItem, ATTR_CHECKED, measurementsOn ? 1 : 0);
  for (int language = 0; language < kLanguageCount; ++language)
    SetMenuBarAttribute(menuBar, LanguageMenuItems[static_cast<std::size_t>(language)], ATTR_CHECKED,
                        language == CurrentLanguage() ? 1 : 0);
}
