// Numbers as the instrument reads and writes them: decimal text that never
// depends on the user's locale (a German desktop must still send "-0.063").
#pragma once

#include <optional>
#include <string>
#include <string_view>

// Fixed-point text with about ten significant digits and no trailing zeros:
// -0.063, 20, 0.000000005.
std::string FormatReal(double value);
// A decimal or scientific real at the start of `text` (leading blanks skipped);
// nothing when no number is there.
std::optional<double> ParseReal(std::string_view text);
// A decimal integer at the start of `text` (leading blanks and a sign allowed).
std::optional<long long> ParseInteger(std::string_view text);
// A hexadecimal integer at the start of `text` (leading blanks allowed, no 0x).
std::optional<unsigned long long> ParseHex(std::string_view text);
