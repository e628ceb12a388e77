#include "link/Autoset.h"

#include <charconv>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <utility>

#include "link/CommandSet.h"
#include "link/InstrumentSetup.h"
#include "link/NumberText.h"
#include "link/SetupTransfer.h"
#include "link/Transport.h"

namespace {

// The probe factor sent before an autoset; the instrument resets it to 1.0
// when the autoset acts.
constexpr double kAutosetMarkFactor = 2.0;
constexpr double kAutosetDoneFactor = 1.0;
constexpr double kCompletionPause = 0.001;
constexpr std::size_t kCompletionReplyMax = 10;
constexpr std::size_t kAutosetFactorReplyMax = 20;
constexpr std::size_t kVerticalFactorReplyMax = 512;

std::mutex hooksMutex;
AutosetHooks autosetHooks;

AutosetHooks CurrentHooks() {
  std::lock_guard lock(hooksMutex);
  return autosetHooks;
}

// A record's float as the decimal it stands for (0.1f goes out as 0.1, not
// 0.1000000015).
double AsDecimal(float value) {
  char text[32];
  const auto written = std::to_chars(text, text + sizeof text, value);
  double decimal = value;
  std::from_chars(text, written.ptr, decimal);
  return decimal;
}

std::string ChannelText(int channel) { return std::to_string(channel + 1); }

// Starts an autoset command and waits for its completion answer (not examined).
void RunAndWait(ViSession session, const std::string& command) {
  std::string reply;
  Query(session, command + "*OPC?\r", kCompletionPause, kCompletionReplyMax, reply);
}

std::optional<double> QueryProbeFactor(ViSession session, int channel, std::size_t maxCount) {
  std::string reply;
  Query(session, ":DISP:TRAC:Y:PDIV" + ChannelText(channel) + "?\r", 0.0, maxCount, reply);
  return ParseReal(reply);
}

std::int32_t ReferenceFlag(const AutosetHooks& hooks, int reference) {
  return hooks.referenceHasData && hooks.referenceHasData(reference) ? 1 : 0;
}

void UpdateReferenceFlags(const AutosetHooks& hooks) {
  StoreField(ProgramSetup.ref1Displayed, ReferenceFlag(hooks, 0));
  StoreField(ProgramSetup.ref2Displayed, ReferenceFlag(hooks, 1));
}

// A channel the autoset left off is switched on; one that is on shows
// whether its reference trace holds data.
void ShowChannelAfterAutoset(ViSession session, const AutosetHooks& hooks, int channel) {
  std::int32_t& displayed = channel == 0 ? ProgramSetup.ch1Displayed : ProgramSetup.ch2Displayed;
  std::int32_t& reference = channel == 0 ? ProgramSetup.ref1Displayed : ProgramSetup.ref2Displayed;
  if (LoadField(displayed)) {
    StoreField(reference, ReferenceFlag(hooks, channel));
    return;
  }
  if (hooks.clearChannelSamples) hooks.clearChannelSamples(channel);
  StoreField(displayed, 1);
  SetTraceDisplay(session, channel, 1);
}

}  // namespace

void SetAutosetHooks(AutosetHooks hooks) {
  std::lock_guard lock(hooksMutex);
  autosetHooks = std::move(hooks);
}

int RunAutoset(ViSession session) {
  SetProbeFactor(session, 0, kAutosetMarkFactor);
  viSetAttribute(session, VI_ATTR_TMO_VALUE, kAutosetTimeoutMs);
  RunAndWait(session, ":AUTOS:EXE\r");
  viSetAttribute(session, VI_ATTR_TMO_VALUE, kAutosetQueryTimeoutMs);
  const std::optional<double> factor = QueryProbeFactor(session, 0, kAutosetFactorReplyMax);
  viSetAttribute(session, VI_ATTR_TMO_VALUE, kStandingTimeoutMs);

  if (!factor || *factor != kAutosetDoneFactor) {
    // Our copy still holds the old settings and probe factor: put them back.
    WriteSetup(session, ProgramSetup);
    return 0;
  }
  ReadSetup(session, ProgramSetup);
  const AutosetHooks hooks = CurrentHooks();
  for (int channel = 0; channel < kChannelCount; ++channel) ShowChannelAfterAutoset(session, hooks, channel);
  StoreField(ProgramSetup.ch1TriggerCoupling, 1);
  StoreField(ProgramSetup.ch2TriggerCoupling, 1);
  SetTriggerCoupling(session, 1);
  return 1;
}

int RunVerticalAutoset(ViSession session, int channel) {
  if (channel < 0 || channel >= kChannelCount) return 0;
  SetProbeFactor(session, channel, kAutosetMarkFactor);
  viSetAttribute(session, VI_ATTR_TMO_VALUE, kAutosetQueryTimeoutMs);
  RunAndWait(session, ":AUTOS:VERT INT" + ChannelText(channel) + "\r");
  const std::optional<double> factor = QueryProbeFactor(session, channel, kVerticalFactorReplyMax);
  viSetAttribute(session, VI_ATTR_TMO_VALUE, kStandingTimeoutMs);

  if (!factor || *factor == kAutosetMarkFactor) {
    const float kept = LoadField(channel == 0 ? ProgramSetup.ch1ProbeFactor : ProgramSetup.ch2ProbeFactor);
    SetProbeFactor(session, channel, AsDecimal(kept));
    return 0;
  }
  ReadSetup(session, ProgramSetup);
  UpdateReferenceFlags(CurrentHooks());
  return 1;
}
