// Waits and the elapsed-time clock the program's procedures are written with.
// Both read the program's clock (platform/os/Clock.h), which tests replace.
#pragma once

// Sleeps for `seconds` (fractions allowed).
void Delay(double seconds);
// Seconds elapsed since a fixed origin, monotonic.
double Timer();
