// TEMPORARY while the display is being written: the functions other layers
// already call. Each engineer deletes the definitions here as the real ones
// are written; this file must be gone before the work is finished.
#include <atomic>

#include "display/Cursors.h"
#include "display/DisplayState.h"
#include "display/Markers.h"
#include "display/Reglage.h"
#include "display/TraceDrawing.h"
#include "display/XYPanel.h"

// display/DisplayState.h
std::atomic<int> PersistenceOn{0};
int InitDisplayState() { return 0; }
void ShowTimebase() {}
void ZoomOff() {}
void WriteTimebaseText(int, int) {}
void SetPanelRefresher(std::function<void()>) {}
void RefreshPanel() {}
// display/Markers.h
std::atomic<double> TriggerPointX{0.0};
std::atomic<double> TriggerPointY{0.0};
std::atomic<int> TriggerCursor{0};
void PlacePositionMarkers() {}
void PlaceXYMarkers() {}
void PlaceTriggerMarker() {}
// display/TraceDrawing.h
void ResetDrawingState() {}
void DrawTraces() {}
// display/Cursors.h
std::atomic<int> CursorT1{0};
std::atomic<int> CursorT2{0};
void ConfigureCursors() {}
void UpdateCursorReadouts() {}
void SendMeasurementGate() {}
bool CursorsOn() { return false; }
// display/XYPanel.h
std::atomic<int> XYPanelOpen{0};
// display/Reglage.h
int Reglage(int, int, int, void*, int, int) { return 0; }
int RefVoie(int, int, int, void*, int, int) { return 0; }
