// Constants for the panels, controls and menu items of ORNIKELVARINLAB.uir:
// MainPanel::Resource to load a panel, MainPanel::TraceGraph for a control.
// The list itself is PanelIds.def.
#pragma once

#include <array>

inline constexpr const char* PanelFileName = "ORNIKELVARINLAB.uir";

#define ORNI_PANEL_BEGIN(panel, resource) \
  namespace panel {                       \
  inline constexpr int Resource = resource;
#define ORNI_CONTROL(name, id) inline constexpr int name = id;
#define ORNI_PANEL_END() }
#define ORNI_MENU_BAR_BEGIN(bar, resource) ORNI_PANEL_BEGIN(bar, resource)
#define ORNI_MENU_ITEM(name, id) ORNI_CONTROL(name, id)
#define ORNI_MENU_BAR_END() }

#include "layout/PanelIds.def"

#undef ORNI_PANEL_BEGIN
#undef ORNI_CONTROL
#undef ORNI_PANEL_END
#undef ORNI_MENU_BAR_BEGIN
#undef ORNI_MENU_ITEM
#undef ORNI_MENU_BAR_END

// The Display > Language items, in language order (English, French, German,
// Spanish, Italian).
inline constexpr std::array<int, 5> LanguageMenuItems = {MainMenuBar::EnglishItem, MainMenuBar::FrenchItem,
                                                         MainMenuBar::GermanItem, MainMenuBar::SpanishItem,
                                                         MainMenuBar::ItalianItem};
