// The timebases the instrument offers, shared by the display and the trace
// export (whose file names its timebase by index into this table).
#pragma once

#include <array>

// Seconds per division, index 0 = 1 ns, 1-2-5 steps up to 200 s.
inline constexpr std::array<double, 35> SecondsPerDivTable = {
    1e-9, 2e-9, 5e-9, 1e-8, 2e-8, 5e-8, 1e-7, 2e-7, 5e-7, 1e-6, 2e-6, 5e-6, 1e-5, 2e-5, 5e-5, 1e-4, 2e-4, 5e-4,
    1e-3, 2e-3, 5e-3, 1e-2, 2e-2, 5e-2, 0.1,  0.2,  0.5,  1.0,  2.0,  5.0,  10.0, 20.0, 50.0, 100.0, 200.0};
