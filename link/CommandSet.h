// One small operation per instrument setting: each formats its command (the
// words come from the tables below), writes it in one write and returns the
// write status. The caller owns the link (LinkBusy). Channels are 0 (CH1) or
// 1 (CH2) and go out 1-based. An index outside its table, or a channel other
// than 0 and 1, sends nothing and returns kRejectedArgument.
#pragma once

#include <array>
#include <string_view>

#include "platform/visa/Visa.h"

inline constexpr ViStatus kRejectedArgument = VI_ERROR_INV_EXPR;
inline constexpr int kChannelCount = 2;
inline constexpr double kRunStatePause = 0.5;

inline constexpr std::array<std::string_view, 3> CouplingWords = {"AC", "DC", "GROUND"};

// Seconds per division, index 0 = 1 ns.
inline constexpr std::array<std::string_view, 31> TimebaseWords = {
    "1E-9",   "2E-9",   "5E-9",   "10E-9",  "20E-9",  "50E-9",  "0.1E-6", "0.2E-6", "0.5E-6", "1E-6", "2E-6",
    "5E-6",   "10E-6",  "20E-6",  "50E-6",  "0.1E-3", "0.2E-3", "0.5E-3", "1E-3",   "2E-3",   "5E-3", "10E-3",
    "20E-3",  "50E-3",  "100E-3", "200E-3", "500E-3", "1",      "2",      "5",      "10"};

// By trigger mode: 0 automatic, 1 normal.
inline constexpr std::array<std::string_view, 2> AutoTriggerWords = {"TRIG:ATRIG ON", "TRIG:ATRIG OFF"};

// By trigger type: edge, pulse, delay, event, TV, line.
inline constexpr std::array<std::string_view, 6> ContinuousTriggerWords = {
    "INIT:CONT:NAME EDGE,ON", "INIT:CONT:NAME PUL,ON", "INIT:CONT:NAME DEL,ON",
    "INIT:CONT:NAME EVEN,ON", "INIT:CONT:NAME TV,ON",  "INIT:CONT:NAME LINE,ON"};
inline constexpr std::array<std::string_view, 6> SingleTriggerWords = {
    "INIT:NAME EDGE", "INIT:NAME PUL", "INIT:NAME DEL", "INIT:NAME EVEN", "INIT:NAME TV", "INIT:NAME LINE"};

inline constexpr std::array<std::string_view, 3> TriggerSourceWords = {"INT1", "INT2", "NONE"};
inline constexpr std::array<std::string_view, 2> SlopeWords = {"POS", "NEG"};

// By trigger coupling kind: AC, DC, high-pass filter, low-pass filter.
inline constexpr std::array<std::string_view, 4> TriggerCouplingCommands = {
    ":TRIG:COUP AC", ":TRIG:COUP DC", ":TRIG:FILT:HPAS ON", ":TRIG:FILT:LPAS ON"};

// By trigger mode: 0 automatic, 1 normal (both continuous), 2 single.
inline constexpr int kTriggerModeCount = 3;
inline constexpr int kSingleTriggerMode = 2;

ViStatus ResetInstrument(ViSession session);
ViStatus SetInputCoupling(ViSession session, int channel, int coupling);
ViStatus SetVerticalOffset(ViSession session, int channel, double volts);
ViStatus SetSensitivity(ViSession session, int channel, int index);
ViStatus SetProbeFactor(ViSession session, int channel, double factor);
ViStatus SetTraceDisplay(ViSession session, int channel, int on);
ViStatus SetTimebase(ViSession session, int index);
ViStatus SetHorizontalOffset(ViSession session, double seconds);
ViStatus SetHorizontalZoom(ViSession session, int position, double factor);
ViStatus SetTriggerSource(ViSession session, int index);
ViStatus SetTriggerSlope(ViSession session, int index);
ViStatus SetTriggerCoupling(ViSession session, int kind);
ViStatus SetTriggerMode(ViSession session, int mode, int type);
ViStatus SetTriggerLevel(ViSession session, double volts);
// Sends 0 when `stop` is nonzero, 1 otherwise, then waits half a second.
ViStatus SetRunState(ViSession session, int stop);
ViStatus SetCursorReference(ViSession session, int channel);
ViStatus SetTimeCursors(ViSession session, int t1, int t2);
ViStatus SetAutoMeasurements(ViSession session, int on);

// Asks for the power-on self-test. `result` gets the bits of the tested mask
// 0x333F the instrument reported as failed: 0 when all passed, and also when
// the instrument did not answer. Returns the read status.
ViStatus ReadSelfTest(ViSession session, int* result);
