// The Qt front-end: real windows for the model's panels.
#pragma once

// Creates the QApplication when there is none yet (with the program's arguments),
// and makes the Qt front-end show every panel from now on. Call it on the main
// thread before any panel is shown; the main thread is the user-interface thread.
// SIGTERM becomes EVENT_END_TASK for the main callback.
int UseQtFrontend(int& argc, char** argv);
