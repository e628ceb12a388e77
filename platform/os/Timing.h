// Waits and the elapsed-time clock the program's procedures are written with.
#pragma once

// Sleeps for `seconds` (fractions allowed).
void Delay(double seconds);
// Seconds elapsed since a fixed origin (the first call), monotonic.
double Timer();
