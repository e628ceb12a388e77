// The very first start: the user picks a language, disconnects the
// instrument, the USB access rule is installed (unless a package did it
// already), and the user connects again.
#pragma once

#include <string>

// Runs the whole sequence and writes the first-run file; returns the chosen
// language (0..4). The access rule goes to `rulesDirectory`.
int RunFirstRunSequence(const std::string& firstRunFilePath, const std::string& rulesDirectory);
