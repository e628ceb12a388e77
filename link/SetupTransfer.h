// Moving the whole setup record between the instrument and the program's
// copy. The caller owns the link (LinkBusy) for the whole call.
#pragma once

#include <cstddef>
#include <string_view>

#include "link/InstrumentSetup.h"
#include "platform/visa/Visa.h"

inline constexpr std::string_view kSetupCommandHeader = "SYST:SET #";

constexpr std::size_t DecimalDigits(std::size_t value) {
  std::size_t digits = 1;
  for (; value >= 10; value /= 10) ++digits;
  return digits;
}

// "SYST:SET #3572", the record in wire order and a carriage return.
inline constexpr std::size_t kSetupMessageSize =
    kSetupCommandHeader.size() + 1 + DecimalDigits(kSetupSize) + kSetupSize + 1;
static_assert(kSetupMessageSize == 587);
inline constexpr ViUInt32 kSetupWriteTimeoutMs = 6000;

// Reads the instrument's record into `setup`. A reply of the wrong length or
// with a wrong checksum is reported to the user and leaves `setup` unchanged.
// An accepted record keeps the program's own display fields (zoom window,
// XY state, measurement display, kept words) and clears viewState.
void ReadSetup(ViSession session, InstrumentSetup& setup);
// Sends `setup` (its checksum recomputed and stored first) and waits for the
// instrument to finish taking it. Nothing is reported.
void WriteSetup(ViSession session, InstrumentSetup& setup);

// The same on the program's session and ProgramSetup.
void ReadSetup();
void WriteSetup();
