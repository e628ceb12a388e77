// The main panel's File and Display menus. Each action runs while this
// thread owns the link, so none interleaves with an acquisition exchange;
// the dialogs that wait for the user are shown outside that ownership.
#pragma once

#include <functional>

void GestionMenuFichier(int menuBar, int menuItem, void* callbackData, int panel);
void GestionMenuAffichage(int menuBar, int menuItem, void* callbackData, int panel);
// Binds the panel file's menu callback names.
void RegisterMenuCallbacks();

// What the application supplies: the language change, which rebuilds the
// main panel in that language (0..4), and saving a trace, which keeps the
// chosen directory in the preferences.
void SetLanguageChangeHandler(std::function<void(int)> change);
void SetSaveTraceHandler(std::function<void()> save);
