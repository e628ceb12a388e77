// Horizontal zoom into the 50,000-point record: the four zoom buttons, the
// record overview with its draggable window, and the window's step buttons.
#pragma once

// Callback of ZoomOnButton, ZoomInButton, ZoomOutButton, ZoomOffButton.
// Event data 1 = 1 on ZoomOnButton: the entry a timebase faster than
// 100 ns/div asks for.
int ControleTrace(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
// Callback of OverviewGraph: value-changed follows the dragged window,
// commit applies it.
int ReglageMem(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
// Callback of the four ZoomMoveButtons.
int ControlReglageMem(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
