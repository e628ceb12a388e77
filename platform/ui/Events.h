// Callbacks, the event loop and user events.
#pragma once

#include <string>

#include "platform/ui/UiConstants.h"

// Binds callback names of the panel file to functions; a name may be registered
// before or after the panels that use it are loaded.
void RegisterCallback(const char* name, CtrlCallback callback);
void RegisterCallback(const char* name, PanelCallback callback);
void RegisterCallback(const char* name, MenuCallback callback);
// Whether a callback name of the panel file is bound to a function.
enum class CallbackKind { Control, Panel, Menu };
bool CallbackRegistered(CallbackKind kind, const std::string& name);

int InstallCtrlCallback(int panel, int control, CtrlCallback callback, void* callbackData);
int InstallPanelCallback(int panel, PanelCallback callback, void* callbackData);
// Application-wide events (EVENT_END_TASK) go to the main callback, with panel and control 0.
int InstallMainCallback(CtrlCallback callback, void* callbackData, int reserved);
// Calls the control's callback (installed or bound by name) on the calling
// thread with `event`, as if the user had caused it; works on dimmed and
// hidden controls too. `result` (may be null) gets the callback's return, 0
// when the control has none. Returns 0 or a negative UIE_* code.
int CallCtrlCallback(int panel, int control, int event, int eventData1, int eventData2, int* result);

// Runs the event loop until QuitUserInterface; returns QuitUserInterface's code.
int RunUserInterface();
int QuitUserInterface(int returnCode);
// Mirrors every pending change on the screen now.
int ProcessDrawEvents();
// Handles pending input without waiting.
int ProcessSystemEvents();
// Runs `callback(callbackData)` on the user-interface thread, later. Any thread.
int PostDeferredCall(DeferredCallback callback, void* callbackData);
// The next commit on a control without callback (the pop-up panels' buttons).
// With `wait` it runs the event loop until one comes. Returns the event
// (EVENT_COMMIT), 0 when none is pending without waiting, or a negative code.
int GetUserEvent(int wait, int* panel, int* control);
