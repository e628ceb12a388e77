// The program's texts in the current language on the main panel and its menu
// bar, and the switch to another language.
#pragma once

// "Auto. meas. CH<n>" and "Cursor measurements" on the main panel; the panel
// argument is not used (the main panel is meant).
int ChangeLanguePanelMeas(int panel, int referenceChannel);

// Display > Language: switches to `language` (0..4) and rebuilds the main
// panel's texts. The caller does not hold the link; this takes it.
void ChangeLanguage(int language);
