// The built-in setup record that stands in when the setup file is missing or
// damaged, and the record a start in an empty application directory uses.
#pragma once

#include <array>
#include <cstdint>

#include "link/InstrumentSetup.h"

// The factory-default record byte for byte (checksum field: the 0xDEAD
// placeholder; it is recomputed before every send and file write).
const std::array<std::uint8_t, kSetupSize>& DefaultSetupBytes();
InstrumentSetup DefaultSetupRecord();

// Copies the default record into `setup`, keeping its ipAddress text, and
// sets runState to 1.
void LoadDefaultSetup(InstrumentSetup& setup);

// What a start without a preferences file puts in the program's copy (and so
// sends to the instrument): the default record loaded over an emptied
// ipAddress, then both channels shown and the instrument running.
InstrumentSetup FreshStartSetup();
