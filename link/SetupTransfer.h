// Moving the whole setup record between the instrument and the program's
// copy. The caller owns the link (LinkBusy) for the whole call.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

#include "link/InstrumentSetup.h"
#include "platform/visa/Visa.h"

inline constexpr std::string_view kSetupCommandHeader = "SYST:SET #";

// Fields that describe the program's own display rather than the instrument:
// a record read from the instrument never replaces them.
inline constexpr std::array<std::string_view, 8> kProgramOwnedFields = {
    "zoomWindowScale", "zoomWindowStart",  "xyState",     "autoMeasurementsOn",
    "keptWord208",     "measurementFlags", "keptWord286", "keptWord288"};
// Copies those fields from `from` into `into`.
void KeepProgramOwnedFields(const InstrumentSetup& from, InstrumentSetup& into);

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

// Reads the instrument's record into `setup`. A reply of the wrong length,
// with a wrong checksum or with a field the program cannot use (an index
// outside its table, see SetupRecordUsable) is reported to the user and
// leaves `setup` unchanged. An accepted record keeps the program-owned fields
// and clears viewState.
void ReadSetup(ViSession session, InstrumentSetup& setup);
// Sends `setup` (its checksum recomputed and stored first) and waits for the
// instrument to finish taking it. Nothing is reported.
void WriteSetup(ViSession session, InstrumentSetup& setup);

// The same on the program's session and ProgramSetup.
void ReadSetup();
void WriteSetup();
