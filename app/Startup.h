// The program's start and orderly end: first run, splash, the instrument,
// preferences and setup, the main panel and the event loop; at quit the
// instrument is reset and released and the state files are written.
#pragma once

#include <string>

#include "app/CommandLine.h"
#include "app/PreferencesBlock.h"

// The main panel's handle is MainPanelHandle (acquisition/MainPanelHandle.h),
// which the acquisition thread reads too.
struct ProgramPanels {
  int splash = 0;
};
extern ProgramPanels Panels;
// The monitor that showed the splash panel; remembered windows are kept on it.
extern MonitorSize ProgramMonitor;
// Where the first run installs the USB access rule (the system's udev rules).
extern std::string UsbRulesDirectory;

// Everything up to the running main panel. 0 when the program runs; otherwise
// the exit status (the user has been told why).
int StartProgram();
// Builds and shows the main panel in the current language (also after a
// language change).
void FirstDisplay();
// The quit sequence; `closeFlag` selects how the session is closed (0: reset,
// then release and close).
void QuitProgram(int closeFlag);
// The application-wide callback: the end of the desktop session closes the
// main panel the same way the close box does.
int MainCallBack(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
// After the event loop: closes the search resource manager.
void FinishProgram();

// Binds the panel file's callback names and the handlers the lower layers
// call back into (quit, language change).
void BindProgramCallbacks();

// The whole program for a parsed command line (instruments registered, the
// front-end installed): start, event loop, end.
int RunProgram();
