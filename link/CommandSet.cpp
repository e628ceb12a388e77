#include "link/CommandSet.h"

#include <cstddef>
#include <string>

#include "link/InstrumentSession.h"
#include "link/NumberText.h"
#include "link/Transport.h"
#include "platform/os/Timing.h"

namespace {

constexpr std::size_t kSelfTestReplyMax = 50;
constexpr unsigned kSelfTestMask = 0x333F;

template <typename Table>
bool InTable(const Table& table, int index) {
  return index >= 0 && static_cast<std::size_t>(index) < table.size();
}

bool ValidChannel(int channel) { return channel >= 0 && channel < kChannelCount; }

}  // namespace

ViStatus ResetInstrument(ViSession session) { return SendCommand(session, "*RST\r"); }

ViStatus SetInputCoupling(ViSession session, int channel, int coupling) {
  if (!ValidChannel(channel) || !InTable(CouplingWords, coupling)) return kRejectedArgument;
  return SendCommand(session, ":INP", channel + 1, ":COUP ", CouplingWords[coupling], "\r");
}

ViStatus SetVerticalOffset(ViSession session, int channel, double volts) {
  if (!ValidChannel(channel)) return kRejectedArgument;
  return SendCommand(session, ":VOLT", channel + 1, ":RANG:OFFS ", volts, "\r");
}

ViStatus SetSensitivity(ViSession session, int channel, int index) {
  if (!ValidChannel(channel) || index < 0 || index >= kSensitivityCount) return kRejectedArgument;
  return SendCommand(session, ":ZC:VOLT", channel + 1, ":RANG:PTP ", index, "\r");
}

ViStatus SetProbeFactor(ViSession session, int channel, double factor) {
  if (!ValidChannel(channel)) return kRejectedArgument;
  return SendCommand(session, ":DISP:TRAC:Y:PDIV", channel + 1, " ", factor, "\r");
}

ViStatus SetTraceDisplay(ViSession session, int channel, int on) {
  if (!ValidChannel(channel)) return kRejectedArgument;
  return SendCommand(session, ":DISP:TRAC:STAT", channel + 1, " ", on, "\r");
}

ViStatus SetTimebase(ViSession session, int index) {
  if (!InTable(TimebaseWords, index)) return kRejectedArgument;
  return SendCommand(session, ":DISP:TRAC:X:PDIV ", TimebaseWords[index], "\r");
}

ViStatus SetHorizontalOffset(ViSession session, double seconds) {
  return SendCommand(session, ":SWE:OFFS:TIME ", seconds, "\r");
}

ViStatus SetHorizontalZoom(ViSession session, int position, double factor) {
  return SendCommand(session, ":DISP:TRAC:ZOOM:H ", position, ",", factor, "\r");
}

ViStatus SetTriggerSource(ViSession session, int index) {
  if (!InTable(TriggerSourceWords, index)) return kRejectedArgument;
  return SendCommand(session, ":TRIG:SOUR ", TriggerSourceWords[index], "\r");
}

ViStatus SetTriggerSlope(ViSession session, int index) {
  if (!InTable(SlopeWords, index)) return kRejectedArgument;
  return SendCommand(session, ":TRIG:SLOP ", SlopeWords[index], "\r");
}

ViStatus SetTriggerCoupling(ViSession session, int kind) {
  if (!InTable(TriggerCouplingCommands, kind)) return kRejectedArgument;
  return SendCommand(session, TriggerCouplingCommands[kind], "\r");
}

ViStatus SetTriggerMode(ViSession session, int mode, int type) {
  if (mode < 0 || mode >= kTriggerModeCount || !InTable(ContinuousTriggerWords, type)) return kRejectedArgument;
  if (mode == kSingleTriggerMode) return SendCommand(session, ":", SingleTriggerWords[type], "\r");
  return SendCommand(session, ":", ContinuousTriggerWords[type], "\r:", AutoTriggerWords[mode], "\r");
}

ViStatus SetTriggerLevel(ViSession session, double volts) {
  return SendCommand(session, ":TRIG:LEV ", volts, "\r");
}

ViStatus SetRunState(ViSession session, int stop) {
  const ViStatus status = SendCommand(session, ":TRIG:RUN:STAT ", stop != 0 ? 0 : 1, "\r");
  Delay(kRunStatePause);
  return status;
}

ViStatus SetCursorReference(ViSession session, int channel) {
  if (!ValidChannel(channel)) return kRejectedArgument;
  return SendCommand(session, ":DISP:CURS:REF INT", channel + 1, "\r");
}

ViStatus SetTimeCursors(ViSession session, int t1, int t2) {
  return SendCommand(session, ":DISP:CURS:TIME1:POS ", t1, "\r:DISP:CURS:TIME2:POS ", t2, "\r");
}

ViStatus SetAutoMeasurements(ViSession session, int on) {
  return SendCommand(session, ":MEAS:AUTO ", on, "\r");
}

ViStatus ReadSelfTest(ViSession session, int* result) {
  std::string reply;
  const ViStatus status = Query(session, "*WAI\r:SYST:AUTOTEST?\r", 0.0, kSelfTestReplyMax, reply);
  // No answer, or one that is not a number, counts as "all passed": the
  // instrument is then judged by the exchanges that follow.
  unsigned long long raw = kSelfTestMask;
  if (status == VI_SUCCESS && !reply.empty()) raw = ParseHex(reply).value_or(kSelfTestMask);
  if (result) *result = static_cast<int>(~raw & kSelfTestMask);
  return status;
}
