// The program's name, version and build date as the splash panel shows them.
#pragma once

#include <string>

#include "catalogue/ProgramIdentity.h"
#include "platform/os/System.h"

// English: "07 MAR 2013"; every other language: "07-03-2013".
std::string FormatBuildDate(const CalendarDate& date, int language);
// The modification date of the running executable.
CalendarDate ExecutableDate();
