// The main panel's instrument controls: one callback for every control, and
// the refresh that brings every control back in line with the setup record.
#pragma once

#include <atomic>

// The channel last acted on (0 or 1); the display reads it.
extern std::atomic<int> CurrentChannel;

int ControleScope(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);

// ch<n>VerticalOffset = trunc(22 x divisions), then the offset command in
// volts under LinkBusy.
void SetOffset(int channel, double divisions);
// Both copies of the channel's offset control from the setup record.
int MajValDecadrage(int panel, int channel);
// Every control of the main panel from the setup record. It also sends the
// horizontal position to the instrument and takes the link for it; the
// commands here refresh inside their own ownership, which it joins.
// User-interface thread.
void RefreshPanelFromSetup();
// The channel cursors and measurements follow, from the current reference
// and both channels' display flags.
int ChooseReferenceChannel(int reference, int ch1Displayed, int ch2Displayed);
// Moves referenceChannel to the channel chosen from these display flags,
// shows it on the toolbar and sends it to the instrument; false when it
// stays. The caller owns the link.
bool FollowReferenceChannel(int ch1Displayed, int ch2Displayed);

// Gives the display the panel refresh and the trigger-level controls. Once,
// at start-up.
void InstallPanelViews();
