#include "panel/MainToolbar.h"

#include <array>

#include "catalogue/MessageCatalogue.h"
#include "display/MainPanelLayout.h"
#include "display/References.h"
#include "layout/PanelIds.h"
#include "link/InstrumentSetup.h"
#include "panel/ShortcutKeys.h"
#include "platform/ui/UserInterface.h"

std::atomic<int> MainToolbarHandle{0};

namespace {

using ItemAction = int (*)(int, int, int, void*, int, int);

struct ToolbarEntry {
  int kind;
  Msg description;  // Msg::Count: none, or the fixed XY text
  int menuItem;     // the menu item the button acts as; 0 for none
  ItemAction action;
  const char* picture;
};

constexpr const char* kXYDescription = "XY : X=CH1, Y=CH2";
constexpr int kReferenceRingWidth = 120;

// In toolbar order: the reference ring and the screenshot button are items 5
// and 7, where RefCallback expects them.
constexpr std::array<ToolbarEntry, 13> kToolbarEntries = {{
    {kToolbarButton, Msg::Persistence, MainMenuBar::PersistenceItem, nullptr, "bitmap/remanence.bmp"},
    {kToolbarButton, Msg::Count, MainMenuBar::XyItem, nullptr, "bitmap/xy.bmp"},
    {kToolbarSeparator, Msg::Count, 0, nullptr, nullptr},
    {kToolbarButton, Msg::AutomaticMeasurements, MainMenuBar::AutoMeasurementsItem, nullptr, "bitmap/cursors.bmp"},
    {kToolbarRing, Msg::Reference, 0, RefCallback, nullptr},
    {kToolbarSeparator, Msg::Count, 0, nullptr, nullptr},
    {kToolbarButton, Msg::ScreenShot, 0, RefCallback, "bitmap/screenshot.bmp"},
    {kToolbarSeparator, Msg::Count, 0, nullptr, nullptr},
    {kToolbarButton, Msg::PrintEllipsis, MainMenuBar::PrintItem, nullptr, "bitmap/print.bmp"},
    {kToolbarSeparator, Msg::Count, 0, nullptr, nullptr},
    {kToolbarButton, Msg::ShortcutKeys, 0, AstuceClavier, "bitmap/astuce.bmp"},
    {kToolbarSeparator, Msg::Count, 0, nullptr, nullptr},
    {kToolbarButton, Msg::Help, MainMenuBar::HelpItem, nullptr, "bitmap/help.bmp"},
}};
static_assert(kToolbarEntries[kReferenceRingItem - 1].kind == kToolbarRing);
static_assert(kToolbarEntries[kScreenShotItem - 1].action == RefCallback);

const char* DescriptionOf(const ToolbarEntry& entry) {
  if (entry.kind == kToolbarSeparator) return "";
  return entry.description == Msg::Count ? kXYDescription : CatalogueText(entry.description);
}

int InsertEntry(int toolbar, const ToolbarEntry& entry) {
  const int callbackType = entry.menuItem != 0 ? kToolbarMenuCallback
                           : entry.action != nullptr ? kToolbarActionCallback
                                                     : kToolbarNoCallback;
  CtrlCallback callback;
  if (entry.action != nullptr) callback = entry.action;
  return Toolbar_InsertItem(toolbar, kToolbarEndOfList, entry.kind, 1, DescriptionOf(entry), callbackType,
                            entry.menuItem, callback, nullptr, entry.picture);
}

struct ToolbarItem {
  int toolbar = 0;
  int panel = 0;    // the toolbar's own panel
  int control = 0;  // the ring's control there
};

bool FindReferenceRing(ToolbarItem& ring) {
  ring.toolbar = MainToolbarHandle.load();
  if (ring.toolbar == 0) return false;
  ring.panel = Toolbar_GetPanel(ring.toolbar);
  return Toolbar_GetItemAttribute(ring.toolbar, kReferenceRingItem, kToolbarAttrCtrlId, &ring.control) >= 0;
}

bool MeasurementsOn() { return (LoadField(ProgramSetup.measurementFlags) & kAutoMeasurementsFlag) != 0; }

}  // namespace

void BuildMainToolbar(int panel, int menuBar) {
  DiscardMainToolbar();
  int toolbar = 0;
  if (Toolbar_New(panel, menuBar, "", 0, 0, 1, 1, &toolbar) < 0) return;
  for (const ToolbarEntry& entry : kToolbarEntries) InsertEntry(toolbar, entry);
  Toolbar_SetItemAttribute(toolbar, kReferenceRingItem, kToolbarAttrRingWidth, kReferenceRingWidth);
  MainToolbarHandle = toolbar;
  int width = 0;
  GetPanelAttribute(Toolbar_GetPanel(toolbar), ATTR_WIDTH, &width);
  Layout.ToolbarRight = width;
  Toolbar_Display(toolbar);
}

void DiscardMainToolbar() {
  const int toolbar = MainToolbarHandle.exchange(0);
  if (toolbar != 0) Toolbar_Discard(toolbar);
  Layout.ToolbarRight = 0;
}

void RefillReferenceRing() {
  ToolbarItem ring;
  if (!FindReferenceRing(ring)) return;
  ClearListCtrl(ring.panel, ring.control);
  for (int channel = 0; channel < 2; ++channel)
    InsertListItem(ring.panel, ring.control, -1, MeasurementTitleText(channel), channel);
  SetCtrlVal(ring.panel, ring.control, LoadField(ProgramSetup.referenceChannel));
  DimReferenceRing();
}

void ShowReferenceOnToolbar(int channel) {
  ToolbarItem ring;
  if (FindReferenceRing(ring)) SetCtrlVal(ring.panel, ring.control, channel);
}

void DimReferenceRing() {
  if (const int toolbar = MainToolbarHandle.load(); toolbar != 0)
    Toolbar_DimItem(toolbar, kReferenceRingItem, MeasurementsOn() ? 0 : 1);
}
