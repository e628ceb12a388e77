// The program's texts in the current language on the main panel and its
// menu bar.
#pragma once

// The main panel's title, captions, control names and measurement titles.
void RelabelMainPanel(int panel);
// The menu names and item texts, and the check mark of the current language.
void RelabelMenuBar(int menuBar);
