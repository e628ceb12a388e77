// The instrument's two automatic set-ups: the full autoset and the vertical
// autoset of one channel. Both learn from the probe factor of the channel
// (set to 2.0 before the autoset, which puts it back to 1.0 when it acts)
// whether the instrument did anything, and then take its whole setup. The
// caller owns the link (LinkBusy) and shows the wait cursor.
#pragma once

#include <functional>

#include "platform/visa/Visa.h"

inline constexpr ViUInt32 kAutosetTimeoutMs = 20000;
inline constexpr ViUInt32 kAutosetQueryTimeoutMs = 6000;

// What the autosets need from the acquisition layer, installed by it.
struct AutosetHooks {
  // True when the first sample of reference trace `reference` (0 = REF1,
  // 1 = REF2) is nonzero.
  std::function<bool(int reference)> referenceHasData;
  // Forgets the samples shown for `channel`.
  std::function<void(int channel)> clearChannelSamples;
};
void SetAutosetHooks(AutosetHooks hooks);

// 1 when the instrument set itself up (ProgramSetup then holds its record,
// both channels are on and the trigger coupling is DC); 0 when it did not, in
// which case the instrument is put back to ProgramSetup.
int RunAutoset(ViSession session);
// 1 when the instrument adjusted `channel` (ProgramSetup then holds its
// record); 0 when it did not, in which case the channel's probe factor is
// restored. A channel other than 0 or 1 gives 0 and sends nothing.
int RunVerticalAutoset(ViSession session, int channel);
