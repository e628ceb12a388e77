// The Help menu: the manual of the current language, and the about box (the
// splash panel again, with the instrument's identity and the maker's links).
#pragma once

#include <string>

// Menu callback of the Help and About... items; other items do nothing.
void GestionMenuAide(int menuBar, int menuItem, void* callbackData, int panel);
// Callback of the about panel's controls: a left click on a link opens it, on
// the logo does nothing, anywhere else closes the box. Clicks on the splash
// (the same panel at start-up) are ignored. Returns 0.
int Presentation(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
// Binds "Presentation" and "GestionMenuAide".
void RegisterAboutCallbacks();

// What the Help and About... items do, for the toolbar's Help button.
void OpenManual();
void OpenAboutBox();

// The about box's handle while it is open, else 0.
int AboutBoxPanel();
// The maker's support page in `language`: English, or French for every other.
std::string SupportPageAddress(int language);
