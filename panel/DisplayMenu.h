// The Display menu's switches; the toolbar's buttons act through the same
// menu items. User-interface thread; the caller owns the link.
#pragma once

// Persistence on or off: the check mark and the persistence icon follow.
void TogglePersistence(int panel);
// The automatic measurements on or off, with the measurement cursors, the
// reference channel, the toolbar's reference ring and the graph's layout.
void ToggleAutomaticMeasurements(int panel);
