// Where the program keeps the small files it remembers between runs: the
// application directory, or, when that is not writable (a system install),
// $XDG_CONFIG_HOME/ornikelvarinlab/.
#pragma once

#include <string>

inline constexpr const char* kFirstRunFileName = "setupD.7up";

// The full path of state file `name`; creates the fallback directory when needed.
std::string StateFilePath(const std::string& name);
