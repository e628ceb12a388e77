// The program's name and version, as its windows, printouts and files show them.
#pragma once

#include <string>

inline constexpr const char* kProgramName = "ORNIKELVARINLAB";
inline constexpr const char* kProgramVersion = "v1.00";

// "ORNIKELVARINLAB v1.00"
inline std::string ProgramTitle() { return std::string(kProgramName) + " " + kProgramVersion; }
