// Replaces a file so that a crash never leaves half of it: the bytes go to a
// temporary file in the same directory, which is flushed and renamed over
// the target.
#pragma once

#include <string>
#include <string_view>

bool WriteFileAtomically(const std::string& path, std::string_view bytes);
