// The Qt front-end: real windows for the model's panels.
#pragma once

// Creates the QApplication when there is none yet (with the program's arguments),
// and makes the Qt front-end show every panel from now on. Call it on the main
// thread before any panel is shown; the main thread is the user-interface thread.
// SIGTERM and SIGINT become EVENT_END_TASK for the main callback. Without a
// graphical display it says so on standard error and ends the program with status 1.
int UseQtFrontend(int& argc, char** argv);
