// The program's name, version and build date as the splash panel shows them.
#pragma once

#include <string>

#include "platform/os/System.h"

inline constexpr const char* kProgramName = "ORNIKELVARINLAB";
inline constexpr const char* kProgramVersion = "v1.00";

// "ORNIKELVARINLAB v1.00"
std::string ProgramTitle();
// English: "07 MAR 2013"; every other language: "07-03-2013".
std::string FormatBuildDate(const CalendarDate& date, int language);
// The modification date of the running executable.
CalendarDate ExecutableDate();
