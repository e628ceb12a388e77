#include "UiTestSupport.h"

using namespace uitest;

namespace {

using ControlsTest = UiTest;

TEST_F(ControlsTest, ValuesRoundTripByKindAndRefuseTheWrongType) {
  const int panel = LoadTestPanel();
  double number = 0;
  ASSERT_EQ(GetCtrlVal(panel, Number, &number), 0);
  EXPECT_DOUBLE_EQ(number, 1.5);  // from the panel file
  EXPECT_EQ(SetCtrlVal(panel, Number, 2.25), 0);
  GetCtrlVal(panel, Number, &number);
  EXPECT_DOUBLE_EQ(number, 2.25);
  SetCtrlVal(panel, Number, 9.0);  // coerced into min..max
  GetCtrlVal(panel, Number, &number);
  EXPECT_DOUBLE_EQ(number, 5.0);
  int truncated = 0;
  SetCtrlVal(panel, Number, -2.75);
  GetCtrlVal(panel, Number, &truncated);
  EXPECT_EQ(truncated, -2);

  std::string text;
  ASSERT_EQ(GetCtrlVal(panel, Message, &text), 0);
  EXPECT_EQ(text, "R\xE9manence");  // UTF-8 in the file, Latin-1 in the program
  SetCtrlVal(panel, Box, "line 1\rline 2");
  char shortBuffer[5];
  GetCtrlVal(panel, Box, shortBuffer);
  EXPECT_STREQ(shortBuffer, "line");  // bounded copy, always terminated

  SetCtrlVal(panel, Switch, 7);
  int on = 0;
  GetCtrlVal(panel, Switch, &on);
  EXPECT_EQ(on, 1);

  EXPECT_EQ(SetCtrlVal(panel, Message, 3.0), UIE_WRONG_CONTROL_KIND);
  EXPECT_EQ(SetCtrlVal(panel, Number, "text"), UIE_WRONG_CONTROL_KIND);
  EXPECT_EQ(GetCtrlVal(panel, Message, &number), UIE_WRONG_CONTROL_KIND);
  EXPECT_EQ(SetCtrlVal(panel, 99, 1), UIE_INVALID_CONTROL);
  EXPECT_EQ(SetCtrlVal(panel + 100, Number, 1), UIE_INVALID_PANEL);
}

TEST_F(ControlsTest, AttributesRoundTrip) {
  const int panel = LoadTestPanel();
  SetCtrlAttribute(panel, Number, ATTR_VISIBLE, 0);
  SetCtrlAttribute(panel, Number, ATTR_DIMMED, 1);
  SetCtrlAttribute(panel, Number, ATTR_TEXT_COLOR, 0xFF0000);
  SetCtrlAttribute(panel, Number, ATTR_LABEL_TEXT, "Offset");
  SetCtrlAttribute(panel, Number, ATTR_TOOLTIP_TEXT, std::string("Vertical autoset.\nThe offset can be modified."));
  SetCtrlAttribute(panel, Number, ATTR_TOP, 12);
  SetCtrlAttribute(panel, Number, ATTR_LEFT, 34);
  SetCtrlAttribute(panel, Number, ATTR_WIDTH, 56);
  SetCtrlAttribute(panel, Number, ATTR_HEIGHT, 21);
  SetCtrlAttribute(panel, Number, ATTR_MIN_VALUE, 0.0);
  SetCtrlAttribute(panel, Number, ATTR_MAX_VALUE, 10.0);
  SetCtrlAttribute(panel, Number, ATTR_INCR_VALUE, 0.1);
  int value = -1;
  double real = -1;
  std::string text;
  GetCtrlAttribute(panel, Number, ATTR_VISIBLE, &value);
  EXPECT_EQ(value, 0);
  GetCtrlAttribute(panel, Number, ATTR_DIMMED, &value);
  EXPECT_EQ(value, 1);
  GetCtrlAttribute(panel, Number, ATTR_TEXT_COLOR, &value);
  EXPECT_EQ(value, 0xFF0000);
  GetCtrlAttribute(panel, Number, ATTR_LABEL_TEXT, &text);
  EXPECT_EQ(text, "Offset");
  GetCtrlAttribute(panel, Number, ATTR_TOOLTIP_TEXT, &text);
  EXPECT_EQ(text, "Vertical autoset.\nThe offset can be modified.");
  GetCtrlAttribute(panel, Number, ATTR_TOP, &value);
  EXPECT_EQ(value, 12);
  GetCtrlAttribute(panel, Number, ATTR_LEFT, &value);
  EXPECT_EQ(value, 34);
  GetCtrlAttribute(panel, Number, ATTR_WIDTH, &value);
  EXPECT_EQ(value, 56);
  GetCtrlAttribute(panel, Number, ATTR_HEIGHT, &value);
  EXPECT_EQ(value, 21);
  GetCtrlAttribute(panel, Number, ATTR_INCR_VALUE, &real);
  EXPECT_DOUBLE_EQ(real, 0.1);
  GetCtrlAttribute(panel, Number, ATTR_CTRL_VAL, &real);
  EXPECT_DOUBLE_EQ(real, 1.5);  // still inside the new range
  SetCtrlAttribute(panel, Number, ATTR_MIN_VALUE, 3.0);  // the value follows a narrowed range
  GetCtrlVal(panel, Number, &real);
  EXPECT_DOUBLE_EQ(real, 3.0);
  GetCtrlAttribute(panel, Number, ATTR_CONSTANT_NAME, &text);
  EXPECT_EQ(text, "Number");
  int data = 5;
  SetCtrlAttribute(panel, Number, ATTR_CALLBACK_DATA, static_cast<void*>(&data));
  void* back = nullptr;
  GetCtrlAttribute(panel, Number, ATTR_CALLBACK_DATA, &back);
  EXPECT_EQ(back, &data);
  EXPECT_EQ(SetCtrlAttribute(panel, Number, ATTR_WIDTH, -1), UIE_INVALID_VALUE);
  EXPECT_EQ(SetCtrlAttribute(panel, Number, 9999, 1), UIE_INVALID_ATTRIBUTE);
  EXPECT_EQ(SetCtrlAttribute(panel, Number, ATTR_PLOT_BGCOLOR, 1), UIE_INVALID_ATTRIBUTE);  // graphs only
}

TEST_F(ControlsTest, SizedToTextMessagesFollowTheirText) {
  const int panel = LoadTestPanel();
  SetCtrlAttribute(panel, Message, ATTR_SIZE_TO_TEXT, 1);
  int narrow = 0, wide = 0;
  SetCtrlVal(panel, Message, "1ms");
  GetCtrlAttribute(panel, Message, ATTR_WIDTH, &narrow);
  SetCtrlVal(panel, Message, "500.0us/div");
  GetCtrlAttribute(panel, Message, ATTR_WIDTH, &wide);
  EXPECT_GT(narrow, 0);
  EXPECT_GT(wide, narrow);
}

TEST_F(ControlsTest, RingsAndListsKeepTheirItemsAndSelection) {
  const int panel = LoadTestPanel();
  int count = 0, index = -5;
  GetNumListItems(panel, Ring, &count);
  EXPECT_EQ(count, 2);
  GetCtrlIndex(panel, Ring, &index);
  EXPECT_EQ(index, 0);
  int value = 0;
  EXPECT_EQ(SetCtrlVal(panel, Ring, 20), 0);  // selects by value
  GetCtrlIndex(panel, Ring, &index);
  EXPECT_EQ(index, 1);
  GetCtrlVal(panel, Ring, &value);
  EXPECT_EQ(value, 20);
  EXPECT_EQ(SetCtrlVal(panel, Ring, 30), UIE_INVALID_VALUE);

  // Inserting before the selected item keeps the same item selected.
  EXPECT_EQ(InsertListItem(panel, Ring, 0, "500 mV", 5), 0);
  GetCtrlIndex(panel, Ring, &index);
  EXPECT_EQ(index, 2);
  std::string label;
  GetLabelFromIndex(panel, Ring, 0, &label);
  EXPECT_EQ(label, "500 mV");
  char small[4];
  GetLabelFromIndex(panel, Ring, 2, small);
  EXPECT_STREQ(small, "2 V");
  EXPECT_EQ(ReplaceListItem(panel, Ring, 1, "1.0 V", 11), 0);
  double itemValue = 0;
  GetValueFromIndex(panel, Ring, 1, &itemValue);
  EXPECT_DOUBLE_EQ(itemValue, 11);
  int found = -1;
  GetIndexFromValue(panel, Ring, &found, 11);
  EXPECT_EQ(found, 1);
  EXPECT_EQ(SetCtrlIndex(panel, Ring, 3), UIE_INDEX_OUT_OF_RANGE);
  EXPECT_EQ(GetLabelFromIndex(panel, Ring, -1, &label), UIE_INDEX_OUT_OF_RANGE);
  EXPECT_EQ(DeleteListItem(panel, Ring, 2, 1), 0);  // deleting the selected one
  GetCtrlIndex(panel, Ring, &index);
  EXPECT_EQ(index, 1);

  // An empty list: no selection, then the first item inserted is selected.
  ClearListCtrl(panel, List);
  GetCtrlIndex(panel, List, &index);
  EXPECT_EQ(index, -1);
  InsertListItem(panel, List, -1, "printer A", 0);
  InsertListItem(panel, List, -1, "printer B", 1);
  GetCtrlIndex(panel, List, &index);
  EXPECT_EQ(index, 0);
  GetNumListItems(panel, List, &count);
  EXPECT_EQ(count, 2);
  EXPECT_EQ(InsertListItem(panel, List, 5, "far", 0), UIE_INDEX_OUT_OF_RANGE);
  EXPECT_EQ(InsertListItem(panel, Number, -1, "no", 0), UIE_WRONG_CONTROL_KIND);
}

TEST_F(ControlsTest, PanelsLoadShowPopUpAndDiscard) {
  const int panel = LoadTestPanel();
  const int child = LoadPanel(panel, "test.uir", kOtherPanel);
  ASSERT_GT(child, 0);
  std::string title;
  GetPanelAttribute(panel, ATTR_TITLE, &title);
  EXPECT_EQ(title, "Test \xE9");
  int value = 0;
  GetPanelAttribute(child, ATTR_PANEL_PARENT, &value);
  EXPECT_EQ(value, panel);
  GetPanelAttribute(panel, ATTR_VISIBLE, &value);
  EXPECT_EQ(value, 0);
  DisplayPanel(panel);
  GetPanelAttribute(panel, ATTR_VISIBLE, &value);
  EXPECT_EQ(value, 1);
  SetPanelSize(panel, 545, 530);
  SetPanelPos(panel, 22, 0);
  GetPanelAttribute(panel, ATTR_HEIGHT, &value);
  EXPECT_EQ(value, 545);
  GetPanelAttribute(panel, ATTR_TOP, &value);
  EXPECT_EQ(value, 22);

  const int notice = LoadPanel(0, "test.uir", kOtherPanel);
  InstallPopup(panel);
  InstallPopup(notice);
  EXPECT_EQ(headless::PopupStack(), (std::vector<int>{panel, notice}));
  EXPECT_EQ(GetActivePanel(), notice);
  RemovePopup(0);
  EXPECT_EQ(headless::PopupStack(), (std::vector<int>{panel}));
  GetPanelAttribute(notice, ATTR_VISIBLE, &value);
  EXPECT_EQ(value, 0);
  RemovePopup(1);
  EXPECT_TRUE(headless::PopupStack().empty());
  EXPECT_EQ(RemovePopup(0), 0);  // nothing to remove is not an error

  SetActiveCtrl(panel, Ring);
  EXPECT_EQ(GetActiveCtrl(panel), Ring);
  EXPECT_EQ(SetActiveCtrl(panel, 99), UIE_INVALID_CONTROL);

  EXPECT_EQ(DiscardPanel(panel), 0);
  EXPECT_EQ(GetPanelAttribute(child, ATTR_TOP, &value), UIE_INVALID_PANEL);  // children go too
  EXPECT_EQ(DiscardPanel(panel), UIE_INVALID_PANEL);
}

TEST_F(ControlsTest, WaitCursorMonitorAndRunTimeControls) {
  const int panel = LoadTestPanel();
  SetWaitCursor(1);
  EXPECT_EQ(GetWaitCursorState(), 1);
  SetWaitCursor(0);
  EXPECT_EQ(GetWaitCursorState(), 0);
  EXPECT_EQ(SetMouseCursor(42), UIE_INVALID_VALUE);

  headless::SetMonitorSize(768, 1366);
  int monitor = 0, height = 0, width = 0;
  ASSERT_EQ(GetMonitorFromPanel(panel, &monitor), 0);
  GetMonitorAttribute(monitor, ATTR_HEIGHT, &height);
  GetMonitorAttribute(monitor, ATTR_WIDTH, &width);
  EXPECT_EQ(height, 768);
  EXPECT_EQ(width, 1366);

  const int made = NewCtrl(panel, CTRL_RING, "Reference", 3, 40);
  ASSERT_GT(made, Graph);
  int kind = 0;
  GetCtrlAttribute(panel, made, ATTR_CTRL_KIND, &kind);
  EXPECT_EQ(kind, CTRL_RING);
  EXPECT_EQ(DiscardCtrl(panel, made), 0);
  EXPECT_EQ(SetCtrlVal(panel, made, 1), UIE_INVALID_CONTROL);
}

}  // namespace
