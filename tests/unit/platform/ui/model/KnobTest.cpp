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
  const struct {
    const char* name;
    int control;
    double first, second;  // positions turned through
    double committed;      // the value GetCtrlVal then reads
  } knobs[] = {
      {"ring: item indexes", Ring, 1, 0, 10},
      {"numeric: values, held within its range", Number, 2.5, 9, 5},
  };
  for (const auto& knob : knobs) {
    SCOPED_TRACE(knob.name);
    log.entries.clear();
    EXPECT_EQ(Turn(panel, knob.control, knob.first, false), 0);
    EXPECT_EQ(Turn(panel, knob.control, knob.second, false), 0);
    EXPECT_EQ(log.Events(), (std::vector<int>{EVENT_VAL_CHANGED, EVENT_VAL_CHANGED}));
    EXPECT_EQ(Turn(panel, knob.control, knob.second, true), 0);  // let go where it was
    EXPECT_EQ(log.Events(), (std::vector<int>{EVENT_VAL_CHANGED, EVENT_VAL_CHANGED, EVENT_COMMIT}));
    double value = 0;
    GetCtrlVal(panel, knob.control, &value);
    EXPECT_DOUBLE_EQ(value, knob.committed);
  }
  // A step by key or wheel moves and commits at once; a turn that ends where it
  // began still commits, without a value change.
  log.entries.clear();
  Turn(panel, Ring, 1, true);
  Turn(panel, Ring, 1, true);
  EXPECT_EQ(log.Events(), (std::vector<int>{EVENT_VAL_CHANGED, EVENT_COMMIT, EVENT_COMMIT}));
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
  GetCtrlIndex(panel, Ring, &index);
  EXPECT_EQ(index, 0);
  double number = 0;
  GetCtrlVal(panel, Number, &number);
  EXPECT_DOUBLE_EQ(number, 1.5);
}

}  // namespace
