// The main panel's own callback: the function keys, the close box (and,
// through it, File > Exit and the end of the desktop session) and the resize.
#pragma once

#include <functional>

int AjustTrace(int panel, int event, void* callbackData, int eventData1, int eventData2);

// What closing runs after the user confirmed: the application's quit sequence.
void SetShutdownHandler(std::function<void()> shutdown);
