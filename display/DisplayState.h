// The display's own state and its start: the timebase table, persistence,
// entering the display from the setup record when acquisition starts, the
// timebase text and leaving zoom mode.
#pragma once

#include <array>
#include <atomic>
#include <functional>

#include "layout/PanelIds.h"
#include "link/SecondsPerDiv.h"

// The acquisition never runs faster than 100 ns/div; faster timebases are zooms.
inline constexpr int kFastestAcquisitionTimebase = 6;

// What only zoom mode shows (ZoomOnButton is the one zoom control always there).
inline constexpr std::array<int, 13> kZoomModeControls = {
    MainPanel::ZoomOffButton,        MainPanel::ZoomInButton,         MainPanel::ZoomOutButton,
    MainPanel::ZoomLeftSmallButton,  MainPanel::ZoomLeftLargeButton,  MainPanel::ZoomRightSmallButton,
    MainPanel::ZoomRightLargeButton, MainPanel::OverviewTriggerTag,   MainPanel::TriggerPosTag,
    MainPanel::TriggerMarkerText,    MainPanel::AcquisitionTimebaseLabel, MainPanel::OverviewFrame,
    MainPanel::ZoomSeparator};

// Persistence mode (Display menu, kept in the preferences); read by the
// drawing on the acquisition thread.
extern std::atomic<int> PersistenceOn;

// Seeds the display mirror and the main panel from the setup record; returns
// the main panel. User-interface thread, from StartAcquisition.
int InitDisplayState();
// TimebaseText from effectiveTimebaseIndex (outside zoom mode), the cursor
// layout, and the persistence icon. Nothing while acquisition is stopped.
void ShowTimebase();
// Leaves zoom mode: overview and zoom controls hidden, the timebase text
// rewritten, the panel laid out again.
void ZoomOff();
// TimebaseText = SecondsPerDivTable[index] as "<value>s/div".
void WriteTimebaseText(int panel, int timebaseIndex);

// "Refresh panel from setup" of the main panel's controls, installed by the
// panel layer (the display sits below it).
void SetPanelRefresher(std::function<void()> refresh);
void RefreshPanel();
