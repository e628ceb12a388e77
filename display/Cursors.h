// The two measurement cursors of the trace graph and their readouts.
#pragma once

#include <atomic>

// Graph cursor numbers of the measurement cursors; 0 while they are off.
extern std::atomic<int> CursorT1;
extern std::atomic<int> CursorT2;

// The trigger marker is blue; the first cursor and its readouts blue, the
// second's purple.
inline constexpr int kTriggerCursorColour = 0x0000FF;
inline constexpr int kFirstCursorColour = 0x0000FF;
inline constexpr int kSecondCursorColour = 0x800080;

// Reconfigures the cursors for the current mode (measurementFlags), sets the
// marker column (268 without readouts, 398 with them), places the markers
// and sends the measurement gate, for which it takes the link: the caller
// must not own it. User-interface thread.
void ConfigureCursors();
// Recomputes the readouts; nothing while CursorT1 is 0.
void UpdateCursorReadouts();
// ":DISP:CURS:TIME1:POS 0\r:DISP:CURS:TIME2:POS 49999\r" in one write. The
// caller owns the link.
void SendMeasurementGate();
// The cursors are on (measurementFlags bit 0x1, 0x2 or 0x8).
bool CursorsOn();
// Tracking mode: the cursors sit on the reference channel's trace and only
// its readouts show (cursors on, no automatic measurements, bit 0x2 clear).
bool CursorsTrack();
// The channel the cursors track: referenceChannel, CH1 unless it says CH2.
int CursorReferenceChannel();
// A cursor's look at rest: the trigger marker's short cross-hair and normal
// (not clamped) look, the measurement cursors' full-length cross-hairs.
void RestoreCursorLook(int panel, int cursor);
