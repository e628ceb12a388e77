// A knob is a ring or numeric that the user turns: each position on the way is
// a value change, letting go commits.
#include "UiTestSupport.h"
#include "platform/ui/KnobInput.h"

using namespace uitest;

namespace {

using KnobTest = UiTest;

// Turns the knob as the user does, on the user-interface thread.
int Turn(int panel, int control, double position, bool released) {
  int status = 0;
  headless::Run([&] { status = uimodel::UserTurnKnob(panel, control, position, released); });
  return status;
}

TEST_F(KnobTest, TurningChangesTheValueAndReleasingCommitsIt) {
  EventLog log;
  RegisterCallback("Cb", log.Callback());
  const int panel = LoadTestPanel();
  constexpr int kChanged = EVENT_VAL_CHANGED, kCommit = EVENT_COMMIT;
  // A ring turns through item indexes; a numeric through values, held within its range.
  for (const auto& [knob, first, second, committed] :
       {std::tuple{Ring, 1.0, 0.0, 10.0}, std::tuple{Number, 2.5, 9.0, 5.0}}) {
    SCOPED_TRACE(knob);
    log.entries.clear();
    EXPECT_EQ(Turn(panel, knob, first, false), 0);
    EXPECT_EQ(Turn(panel, knob, second, false), 0);
    EXPECT_EQ(log.Events(), (std::vector<int>{kChanged, kChanged}));
    EXPECT_EQ(Turn(panel, knob, second, true), 0);  // let go where it was
    EXPECT_EQ(log.Events(), (std::vector<int>{kChanged, kChanged, kCommit}));
    double value = 0;
    GetCtrlVal(panel, knob, &value);
    EXPECT_DOUBLE_EQ(value, committed);
  }
  // A key or wheel step moves and commits at once; a turn ending where it began
  // commits without a value change.
  log.entries.clear();
  Turn(panel, Ring, 1, true);
  Turn(panel, Ring, 1, true);
  EXPECT_EQ(log.Events(), (std::vector<int>{kChanged, kCommit, kCommit}));
}

TEST_F(KnobTest, ImpossiblePositionsAndUnusableKnobsSendNothing) {
  EventLog log;
  RegisterCallback("Cb", log.Callback());
  const int panel = LoadTestPanel();
  EXPECT_EQ(Turn(panel, Ring, 2, true), UIE_INDEX_OUT_OF_RANGE);  // two items
  EXPECT_EQ(Turn(panel, Ring, -1, false), UIE_INDEX_OUT_OF_RANGE);
  EXPECT_EQ(Turn(panel, Button, 1, true), UIE_WRONG_CONTROL_KIND);
  SetCtrlAttribute(panel, Number, ATTR_DIMMED, 1);
  EXPECT_EQ(Turn(panel, Number, 1, true), UIE_NOT_AVAILABLE);
  SetCtrlAttribute(panel, Ring, ATTR_CTRL_MODE, VAL_INDICATOR);
  EXPECT_EQ(Turn(panel, Ring, 1, true), UIE_NOT_AVAILABLE);
  EXPECT_TRUE(log.entries.empty());
  int index = -1;
  double number = 0;
  GetCtrlIndex(panel, Ring, &index);
  GetCtrlVal(panel, Number, &number);
  EXPECT_EQ(index, 0);
  EXPECT_DOUBLE_EQ(number, 1.5);
}

}  // namespace
