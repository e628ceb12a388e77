// Puts the instruments named on the command line into the VISA search.
#pragma once

#include "app/CommandLine.h"

void RegisterInstruments(const CommandLine& line);
