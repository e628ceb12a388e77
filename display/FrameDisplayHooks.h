// Connects the acquisition's frame processing to the display that draws it.
#pragma once

// Installs the display's functions as the acquisition's FrameDisplay hooks.
// Once, at start-up, before the acquisition starts.
void ConnectDisplayToAcquisition();
