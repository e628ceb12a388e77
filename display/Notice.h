// The small notice pop-up shown while the user has to wait (trace loading,
// a lost link being reopened, the driver installation). One notice at a
// time; it is shown without waiting for any answer.
#pragma once

// Shows `title` and `text` 130 pixels below and 35 pixels right of the
// parent panel's top-left corner. Any thread (the acquisition thread shows
// the communication notice). Does nothing while another notice is shown.
void ShowNotice(int parentPanel, const char* title, const char* text);
// Removes and discards the notice; does nothing when none is shown.
void RemoveNotice();

// The lost-link notice: "No dialog with the scope!" over the main panel, with
// the wait cursor.
void ShowCommunicationNotice();
void RemoveCommunicationNotice();
