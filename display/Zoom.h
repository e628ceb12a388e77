// Horizontal zoom into the 50,000-point record: the four zoom buttons, the
// record overview with its draggable window, and the window's step buttons.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>

#include "display/ZoomRecord.h"

// The window frame on OverviewGraph, in overview samples (0..2500, one per
// 20 record points).
struct OverviewWindow {
  int left = 0;
  int centre = kZoomScreenPoints / 2;
  int right = kZoomScreenPoints;
  int rectangle = 0;  // plot handle of the frame; 0: none
};

// Whether zoom mode is on is Mirror.ZoomActive: the acquisition and the
// layout read it too.
struct ZoomSettings {
  // The user-interface thread's own: only the zoom buttons use them.
  int zoomedTimebaseIndex = 0;  // the time per division shown while zoomed
  int baseTimebaseIndex = 0;    // the acquisition's when the zoom was entered
  double maximumFactor = kUnzoomedFactor;
  // The zoom the next entry at the same acquisition timebase restores.
  double savedFactor = kUnzoomedFactor;
  std::uint16_t savedPosition = 0;
  std::uint16_t savedZoomedTimebaseIndex = 0;

  // Also read by the acquisition thread, which redraws the window after the
  // trigger marker moved.
  std::atomic<int> integerFactor{static_cast<int>(kUnzoomedFactor)};
  std::atomic<double> factor{kUnzoomedFactor};  // for the trace plotting
  std::atomic<std::int32_t> horizontalOffset{0};  // taken when the window is drawn

  // Both threads move the frame: it changes under this lock only.
  std::mutex windowMutex;
  OverviewWindow window;
};
extern ZoomSettings TheZoom;

// Forgets the saved zoom and the window: the state the program starts with.
void ResetZoomSettings();
// A copy of the window frame as last drawn.
OverviewWindow CurrentOverviewWindow();

// Callback of ZoomOnButton, ZoomInButton, ZoomOutButton, ZoomOffButton.
// Event data 1 = 1 on ZoomOnButton: the entry a timebase faster than
// 100 ns/div asks for.
int ControleTrace(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
// Callback of OverviewGraph: value-changed follows the dragged window,
// commit applies it.
int ReglageMem(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
// Callback of the four ZoomMoveButtons.
int ControlReglageMem(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);

// The main panel's keys while zoomed: Page Up zooms in, Page Down out.
// True when the key was taken.
bool HandleZoomKey(int panel, int key);
