// The print dialog: the user picks the windows to print (the main panel, and
// the XY window while it is open), a printer and the page orientation. The
// chosen printer and orientation are kept for the rest of the run.
#pragma once

// Loads the print panel in the current language, fills it and shows it as a
// modal pop-up. Does nothing while the dialog is already open.
// User-interface thread.
void OpenPrintDialog();

// The print panel's callback: the printer list copies its choice into the
// printer name, Cancel closes the dialog, Print prints the chosen windows and
// then closes it. Returns 0.
int Imprimer(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);

// Binds the panel file's callback name "Imprimer".
void RegisterPrintDialogCallbacks();

// Handle of the open print panel; 0 while it is closed.
int PrintDialogPanel();

// Forgets the printer and orientation chosen so far, as at the start of a run.
// User-interface thread.
void ForgetPrintChoices();
