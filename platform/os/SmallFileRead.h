// Reading one of the program's small state files whole, without trusting it:
// at most a given number of bytes is read, and only a regular file is read
// (a named pipe or device in its place must not hold up the start).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The file's bytes, cut after `maxBytes`; nullopt when it cannot be opened or
// is not a regular file. Callers ask for one byte more than the largest file
// they accept, so that an oversized file shows as such.
std::optional<std::vector<std::uint8_t>> ReadSmallFile(const std::string& path, std::size_t maxBytes);
