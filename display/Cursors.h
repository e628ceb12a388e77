// The two measurement cursors of the trace graph and their readouts.
#pragma once

#include <atomic>

// Graph cursor numbers of the measurement cursors; 0 while they are off.
extern std::atomic<int> CursorT1;
extern std::atomic<int> CursorT2;

// Reconfigures the cursors for the current mode (measurementFlags), sets the
// marker column (268 without readouts, 398 with them), places the markers
// and sends the measurement gate.
void ConfigureCursors();
// Recomputes the readouts; nothing while CursorT1 is 0.
void UpdateCursorReadouts();
// ":DISP:CURS:TIME1:POS 0\r:DISP:CURS:TIME2:POS 49999\r" in one write. The
// caller owns the link.
void SendMeasurementGate();
// The cursors are on (measurementFlags bit 0x1, 0x2 or 0x8).
bool CursorsOn();
