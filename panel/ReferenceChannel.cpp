#include "panel/ControleScope.h"

#include "link/CommandSet.h"
#include "link/InstrumentSession.h"
#include "link/InstrumentSetup.h"
#include "panel/MainToolbar.h"

namespace {

constexpr int kCh1 = 0;
constexpr int kCh2 = 1;

}  // namespace

// The reference moves only when the channel it is on is off and the other
// one is shown.
int ChooseReferenceChannel(int reference, int ch1Displayed, int ch2Displayed) {
  if (reference == kCh1) return !ch1Displayed && ch2Displayed ? kCh2 : kCh1;
  return ch2Displayed || !ch1Displayed ? kCh2 : kCh1;
}

bool FollowReferenceChannel(int ch1Displayed, int ch2Displayed) {
  const int reference = LoadField(ProgramSetup.referenceChannel);
  const int chosen = ChooseReferenceChannel(reference, ch1Displayed, ch2Displayed);
  if (chosen == reference) return false;
  StoreField(ProgramSetup.referenceChannel, chosen);
  ShowReferenceOnToolbar(chosen);
  SetCursorReference(TheInstrument.session, chosen);
  return true;
}
