#include "panel/MainPanelLabels.h"

#include <array>
#include <string>

#include "catalogue/MessageCatalogue.h"
#include "catalogue/ProgramIdentity.h"
#include "display/Measurements.h"
#include "layout/PanelIds.h"
#include "link/InstrumentSetup.h"
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

// The captions of the instrument controls' column.
struct CaptionText {
  int control;
  Msg text;
};
constexpr CaptionText kCaptions[] = {
    {MainPanel::VerticalCaption, Msg::Vertical},
    {MainPanel::HorizontalCaption, Msg::Horizontal},
    {MainPanel::TriggerCaption, Msg::Trigger},
    {MainPanel::LevelCaption, Msg::Level},
    {MainPanel::Ch1PositionCaption, Msg::Position},
    {MainPanel::Ch2PositionCaption, Msg::Position},
    {MainPanel::HorizontalPositionCaption, Msg::Position},
};

// Control labels: shown for the trigger source; for the knobs, their copies
// and the slope pictures they are hidden and name the control for screen
// readers. A channel of 1 or 2 is named after the text ("Position CH1").
struct ControlName {
  int control;
  Msg text;
  int channel;
};
constexpr ControlName kControlNames[] = {
    {MainPanel::Ch1SensitivityRing, Msg::Sensitivity, 1},
    {MainPanel::Ch1SensitivityRing2, Msg::Sensitivity, 1},
    {MainPanel::Ch1CouplingRing, Msg::Coupling, 1},
    {MainPanel::Ch1OffsetInput, Msg::Position, 1},
    {MainPanel::Ch1OffsetInput2, Msg::Position, 1},
    {MainPanel::Ch2SensitivityRing, Msg::Sensitivity, 2},
    {MainPanel::Ch2SensitivityRing2, Msg::Sensitivity, 2},
    {MainPanel::Ch2CouplingRing, Msg::Coupling, 2},
    {MainPanel::Ch2OffsetInput, Msg::Position, 2},
    {MainPanel::Ch2OffsetInput2, Msg::Position, 2},
    {MainPanel::TimebaseRing, Msg::TimeBase, 0},
    {MainPanel::TimebaseRing2, Msg::TimeBase, 0},
    {MainPanel::TriggerPositionInput, Msg::HorizontalPosition, 0},
    {MainPanel::TriggerPositionInput2, Msg::HorizontalPosition, 0},
    {MainPanel::TriggerSourceRing, Msg::Source, 0},
    {MainPanel::TriggerLevelInput, Msg::TriggerLevel, 0},
    {MainPanel::TriggerLevelInput2, Msg::TriggerLevel, 0},
    {MainPanel::RisingSlopeButton, Msg::RisingSlope, 0},
    {MainPanel::FallingSlopeButton, Msg::FallingSlope, 0},
};

std::string ControlNameText(const ControlName& name) {
  if (name.channel == 0) return CatalogueText(name.text);
  return FormatCatalogue(kChannelTitleFormat, name.text, name.channel);
}

}  // namespace

void RelabelMainPanel(int panel) {
  SetPanelAttribute(panel, ATTR_TITLE, ProgramTitle());
  for (const CaptionText& caption : kCaptions) SetCtrlVal(panel, caption.control, CatalogueText(caption.text));
  for (const ControlName& name : kControlNames)
    SetCtrlAttribute(panel, name.control, ATTR_LABEL_TEXT, ControlNameText(name));
  SetCtrlAttribute(panel, MainPanel::PersistenceIcon, ATTR_TOOLTIP_TEXT, CatalogueText(Msg::Persistence));
  WriteMeasurementTitles(panel, LoadField(ProgramSetup.referenceChannel));
}

void RelabelMenuBar(int menuBar) {
  for (const MenuText& entry : kMenuTexts)
    SetMenuBarAttribute(menuBar, entry.item, entry.isMenu ? ATTR_MENU_NAME : ATTR_ITEM_NAME,
                        CatalogueText(entry.text));
  for (int language = 0; language < kLanguageCount; ++language)
    SetMenuBarAttribute(menuBar, LanguageMenuItems[static_cast<std::size_t>(language)], ATTR_CHECKED,
                        language == CurrentLanguage() ? 1 : 0);
}

