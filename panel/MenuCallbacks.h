// The main panel's menu bar: File > Exit quits as the close box does, and
// Display > Language switches the language. Entries whose features are not
// in the program yet are dimmed.
#pragma once

#include <functional>

void GestionMenuFichier(int menuBar, int menuItem, void* callbackData, int panel);
void GestionMenuAffichage(int menuBar, int menuItem, void* callbackData, int panel);
// Binds the panel file's menu callback names.
void RegisterMenuCallbacks();
void DimUnavailableMenuItems(int menuBar);

// What choosing a language runs: the application's language change, which
// rebuilds the main panel in that language (0..4).
void SetLanguageChangeHandler(std::function<void(int)> change);
