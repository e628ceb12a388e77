#include "panel/ShortcutKeys.h"

#include "acquisition/MainPanelHandle.h"
#include "catalogue/MessageCatalogue.h"
#include "display/AjustTrace.h"
#include "layout/PanelIds.h"
#include "platform/ui/UserInterface.h"

namespace {

int shortcutKeysPanel = 0;

void OpenShortcutKeysPanel() {
  const int panel = LoadPanel(0, PanelFileName, ShortcutKeysPanel::Resource);
  if (panel < 0) return;
  shortcutKeysPanel = panel;
  SetPanelAttribute(panel, ATTR_TITLE, CatalogueText(Msg::ShortcutKeys));
  SetCtrlVal(panel, ShortcutKeysPanel::ShortcutKeysText, ShortcutKeysText());
  DisplayPanel(panel);
  // The keys keep acting on the main panel until the user clicks the list.
  SetActivePanel(MainPanelHandle.load());
}

}  // namespace

int ShortcutKeysPanelHandle() { return shortcutKeysPanel; }

int AstuceClavier(int, int, int event, void*, int, int) {
  if (event != EVENT_COMMIT) return 0;
  if (shortcutKeysPanel != 0) CloseShortcutKeysPanel();
  else OpenShortcutKeysPanel();
  return 0;
}

int PanelAstuce(int, int event, void*, int eventData1, int eventData2) {
  if (event == EVENT_KEYPRESS) AjustTrace(MainPanelHandle.load(), EVENT_KEYPRESS, nullptr, eventData1, eventData2);
  if (event == EVENT_CLOSE) CloseShortcutKeysPanel();
  return 0;
}

void CloseShortcutKeysPanel() {
  if (shortcutKeysPanel == 0) return;
  HidePanel(shortcutKeysPanel);
  DiscardPanel(shortcutKeysPanel);
  shortcutKeysPanel = 0;
}

void ReopenShortcutKeysPanel() {
  if (shortcutKeysPanel == 0) return;
  CloseShortcutKeysPanel();
  OpenShortcutKeysPanel();
}
