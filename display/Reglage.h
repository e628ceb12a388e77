// Callbacks of the trace graph (dragging the trigger marker) and of the two
// channel position markers beside it.
#pragma once

int Reglage(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
int RefVoie(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
