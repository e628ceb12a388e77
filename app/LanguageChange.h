// The program's texts in the current language on the main panel and its menu
// bar, the small notice pop-up, and the switch to another language.
#pragma once

// The main panel's title, section captions and measurement titles.
void RelabelMainPanel(int panel);
// The menu names and item texts, and the check mark of the current language.
void RelabelMenuBar(int menuBar);
// "Auto. meas. CH<n>" and "Cursor measurements" on the main panel; the panel
// argument is not used (the main panel is meant).
int ChangeLanguePanelMeas(int panel, int referenceChannel);

// One notice at a time, shown over `parentPanel` without waiting; safe from
// any thread (the acquisition thread shows the communication notice).
void ShowNotice(int parentPanel, const char* title, const char* text);
void RemoveNotice();
// The lost-link notice of the session layer: "No dialog with the scope!" with
// the wait cursor.
void ShowCommunicationNotice();
void RemoveCommunicationNotice();

// Display > Language: switches to `language` (0..4) and rebuilds the main
// panel's texts. The caller does not hold the link; this takes it.
void ChangeLanguage(int language);
