// Whether a setup record read from a file or from the instrument can be used
// as it stands: every field that indexes a table of the program lies within
// that table, the zoom lies within the record, the numbers the display
// computes with are real numbers and the unit texts end within their fields.
#pragma once

#include "link/InstrumentSetup.h"

bool SetupRecordUsable(const InstrumentSetup& setup);
