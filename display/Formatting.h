// Number-to-text routines of the display: fixed-width readouts, SI-prefixed
// values and volts-per-division labels.
//
// Texts are Latin-1 bytes ("µ" is the single byte 0xB5); they are converted
// only where they reach the toolkit. Every routine formats independently of the
// C library locale, so a German desktop still reads "0.50", never "0,50".
#pragma once

#include <string>
#include <string_view>

inline constexpr char kMicroSign = '\xB5';
// What a readout shows for a value that has none.
inline constexpr std::string_view kInvalidValueText = "   ----";

// printf's "%<width>.<decimals>f" in the C locale: rounded to nearest (ties to
// even on the exact binary value) and right-aligned in at least `width` places.
std::string FormatFixed(double value, int width, int decimals);

// Seven-character right-aligned number, a blank and the unit; "   ----" when
// `valid` is false or the value is not finite.
void FormatTimeValue(bool valid, double seconds, std::string& out);
// As above; 100 MHz and more also read "   ----".
void FormatFrequencyValue(bool valid, double hertz, std::string& out);
void FormatVoltageValue(bool valid, double volts, std::string& out);

// Value with an SI prefix directly followed by `unit`, e.g. "500µs/div".
// Returns false and leaves `out` as it was for 1e100 and above, infinity and
// not-a-number, so a caller's empty text stays empty.
bool FormatEngineering(double value, std::string_view unit, std::string& out);

// Label of a volts-per-division value: "5mV", "10V"; the instrument with model
// number 112 has a 2.5 V step, which keeps its decimal.
void FormatSensitivity(double volts, int modelNumber, std::string& out);
