// Pictures of panels: capture, BMP file, clipboard.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/ui/UiConstants.h"

// Captures the whole panel (VAL_FULL_PANEL) or its visible area; on the Qt
// front-end call it on the user-interface thread.
int GetPanelDisplayBitmap(int panel, int scope, int* bitmap);
int SaveBitmapToBMPFile(int bitmap, const char* fileName);
int ClipboardPutBitmap(int bitmap);
int DiscardBitmap(int bitmap);
int GetBitmapSize(int bitmap, int* width, int* height);
// Pixels as 0xRRGGBB, row-major from the top.
int GetBitmapPixels(int bitmap, std::vector<std::uint32_t>* pixels);
