// The zoom window's frame on the record overview, and the trigger mark that
// says where the trigger lies relative to it.
#pragma once

// Draws the frame for the recorded zoom (every other plot of OverviewGraph
// goes) and puts the overview cursor at its centre.
void DrawOverviewWindow(int panel);
