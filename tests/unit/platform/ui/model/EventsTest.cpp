#include <array>
#include <thread>

#include "UiTestSupport.h"

using namespace uitest;

namespace {

using EventsTest = UiTest;

TEST_F(EventsTest, UserInputReachesTheNamedCallbackWithItsData) {
  EventLog log;
  RegisterCallback("Cb", log.Callback());
  const int panel = LoadTestPanel();

  EXPECT_EQ(headless::Commit(panel, Button), 0);
  ASSERT_EQ(log.entries.size(), 1u);
  EXPECT_EQ(log.entries[0].panel, panel);
  EXPECT_EQ(log.entries[0].control, Button);
  EXPECT_EQ(log.entries[0].event, EVENT_COMMIT);

  log.entries.clear();
  headless::SetValue(panel, Number, 3.5);
  EXPECT_EQ(log.Events(), (std::vector<int>{EVENT_VAL_CHANGED, EVENT_COMMIT}));
  double number = 0;
  GetCtrlVal(panel, Number, &number);
  EXPECT_DOUBLE_EQ(number, 3.5);

  log.entries.clear();
  headless::Commit(panel, Toggle);
  EXPECT_EQ(log.Events(), (std::vector<int>{EVENT_VAL_CHANGED, EVENT_COMMIT}));
  int on = 0;
  GetCtrlVal(panel, Toggle, &on);
  EXPECT_EQ(on, 1);

  log.entries.clear();
  headless::SelectIndex(panel, Ring, 1);
  headless::SetValue(panel, Input, std::string("Title"));
  EXPECT_EQ(log.Events().size(), 4u);
  int value = 0;
  GetCtrlVal(panel, Ring, &value);
  EXPECT_EQ(value, 20);

  log.entries.clear();
  headless::LeftClick(panel, Button, 7, 3);
  ASSERT_EQ(log.entries.size(), 1u);
  EXPECT_EQ(log.entries[0].event, EVENT_LEFT_CLICK);
  EXPECT_EQ(log.entries[0].data1, 3);  // vertical position first
  EXPECT_EQ(log.entries[0].data2, 7);

  log.entries.clear();
  headless::Focus(panel, Ring);
  EXPECT_EQ(log.Events(), std::vector<int>{EVENT_GOT_FOCUS});
  EXPECT_EQ(GetActiveCtrl(panel), Ring);

  // Dimmed controls and indicators take no input.
  log.entries.clear();
  SetCtrlAttribute(panel, Button, ATTR_DIMMED, 1);
  EXPECT_EQ(headless::Commit(panel, Button), UIE_NOT_AVAILABLE);
  SetCtrlAttribute(panel, Number, ATTR_CTRL_MODE, VAL_INDICATOR);
  EXPECT_EQ(headless::SetValue(panel, Number, 1.0), UIE_NOT_AVAILABLE);
  EXPECT_TRUE(log.entries.empty());
}

TEST_F(EventsTest, DraggedMarkerSendsDropThenDroppedWithItsPosition) {
  EventLog log;
  const int panel = LoadTestPanel();
  InstallCtrlCallback(panel, Marker, log.Callback(), nullptr);
  ASSERT_EQ(headless::DragMarker(panel, Marker, 160, 90, 4), 0);
  EXPECT_EQ(log.Events(), (std::vector<int>{EVENT_DROP, EVENT_DROP, EVENT_DROP, EVENT_DROPPED}));
  const EventLog::Entry& last = log.entries.back();
  EXPECT_EQ(last.data1, 160);  // new top
  EXPECT_EQ(last.data2, 5);    // a vertical marker keeps its left
  EXPECT_EQ(log.entries[0].data1, 115);  // moves in between
  int top = 0;
  GetCtrlAttribute(panel, Marker, ATTR_TOP, &top);
  EXPECT_EQ(top, 160);

  log.entries.clear();
  SetCtrlAttribute(panel, Marker, ATTR_DRAG_AXIS, VAL_DRAG_HORIZONTAL);
  headless::DragMarker(panel, Marker, 0, 50, 1);
  ASSERT_EQ(log.entries.size(), 1u);
  EXPECT_EQ(log.entries[0].event, EVENT_DROPPED);
  EXPECT_EQ(log.entries[0].data1, 160);
  EXPECT_EQ(log.entries[0].data2, 50);
}

TEST_F(EventsTest, DraggedCursorSendsValueChangedThenCommit) {
  EventLog log;
  const int panel = LoadTestPanel();
  InstallCtrlCallback(panel, Graph, log.Callback(), nullptr);
  ASSERT_EQ(headless::DragCursor(panel, Graph, 2, 3000, 128, 3), 0);
  EXPECT_EQ(log.Events(), (std::vector<int>{EVENT_VAL_CHANGED, EVENT_VAL_CHANGED, EVENT_COMMIT}));
  EXPECT_EQ(log.entries.back().data1, 2);
  double x = 0, y = 0;
  GetGraphCursor(panel, Graph, 2, &x, &y);
  EXPECT_DOUBLE_EQ(x, 2500);  // dragged past the edge: clamped
  EXPECT_DOUBLE_EQ(y, 128);
  int active = 0;
  GetActiveGraphCursor(panel, Graph, &active);
  EXPECT_EQ(active, 2);

  log.entries.clear();
  SetCursorAttribute(panel, Graph, 1, ATTR_CURSOR_ENABLED, 0);
  EXPECT_EQ(headless::DragCursor(panel, Graph, 1, 10, 10), UIE_NOT_AVAILABLE);
  EXPECT_TRUE(log.entries.empty());
}

TEST_F(EventsTest, KeysGoToShortcutsThenTheActiveControlThenThePanel) {
  EventLog controlLog, panelLog;
  const int panel = LoadTestPanel();
  RegisterCallback("Cb", controlLog.Callback());
  RegisterCallback("PanelCb", PanelCallback([&panelLog](int p, int event, void*, int data1, int data2) {
                     panelLog.entries.push_back({p, 0, event, data1, data2});
                     return 0;
                   }));
  headless::KeyPress(panel, VAL_F3_VKEY);  // the button's shortcut
  ASSERT_EQ(controlLog.entries.size(), 1u);
  EXPECT_EQ(controlLog.entries[0].control, Button);
  EXPECT_EQ(controlLog.entries[0].event, EVENT_COMMIT);
  EXPECT_TRUE(panelLog.entries.empty());

  controlLog.entries.clear();
  SetActiveCtrl(panel, Ring);
  headless::KeyPress(panel, VAL_F11_VKEY);
  ASSERT_EQ(controlLog.entries.size(), 1u);
  EXPECT_EQ(controlLog.entries[0].event, EVENT_KEYPRESS);
  EXPECT_EQ(controlLog.entries[0].data1, VAL_F11_VKEY);
  ASSERT_EQ(panelLog.entries.size(), 1u);
  EXPECT_EQ(panelLog.entries[0].event, EVENT_KEYPRESS);
  EXPECT_EQ(panelLog.entries[0].data1, VAL_F11_VKEY);

  // A control callback that returns non-zero keeps the key from the panel.
  panelLog.entries.clear();
  RegisterCallback("Cb", controlLog.Callback(1));
  headless::KeyPress(panel, VAL_F12_VKEY);
  EXPECT_TRUE(panelLog.entries.empty());

  // Closing and resizing are panel events; the panel decides what happens.
  headless::Close(panel);
  headless::Resize(panel, 545, 530);
  ASSERT_EQ(panelLog.entries.size(), 2u);
  EXPECT_EQ(panelLog.entries[0].event, EVENT_CLOSE);
  EXPECT_EQ(panelLog.entries[1].event, EVENT_PANEL_SIZE);
  int height = 0;
  GetPanelAttribute(panel, ATTR_HEIGHT, &height);
  EXPECT_EQ(height, 545);
  EXPECT_EQ(GetPanelAttribute(panel, ATTR_WIDTH, &height), 0);  // still loaded after EVENT_CLOSE
}

TEST_F(EventsTest, MenuItemsCallTheirCallbackAndKeepTheirMarks) {
  const int panel = LoadTestPanel();
  const int bar = LoadMenuBar(panel, "test.uir", kBar);
  ASSERT_GT(bar, 0);
  EXPECT_EQ(GetPanelMenuBar(panel), bar);
  std::vector<std::array<int, 3>> chosen;
  int data = 0;
  RegisterCallback("MenuCb", MenuCallback([&](int menuBar, int item, void* callbackData, int owner) {
                     EXPECT_EQ(callbackData, nullptr);
                     chosen.push_back({menuBar, item, owner});
                   }));
  EXPECT_EQ(headless::ChooseMenuItem(bar, SaveItem), 0);
  ASSERT_EQ(chosen.size(), 1u);
  EXPECT_EQ(chosen[0], (std::array<int, 3>{bar, SaveItem, panel}));

  int checked = 0;
  GetMenuBarAttribute(bar, EnglishItem, ATTR_CHECKED, &checked);
  EXPECT_EQ(checked, 1);
  SetMenuBarAttribute(bar, EnglishItem, ATTR_CHECKED, 0);
  SetMenuBarAttribute(bar, FrenchItem, ATTR_CHECKED, 1);
  GetMenuBarAttribute(bar, FrenchItem, ATTR_CHECKED, &checked);
  EXPECT_EQ(checked, 1);
  SetMenuBarAttribute(bar, FileMenu, ATTR_MENU_NAME, "Datei");
  std::string text;
  GetMenuBarAttribute(bar, FileMenu, ATTR_MENU_NAME, &text);
  EXPECT_EQ(text, "Datei");
  GetMenuBarAttribute(bar, FrenchItem, ATTR_ITEM_NAME, &text);
  EXPECT_EQ(text, "Fran\xE7" "ais");

  SetMenuBarAttribute(bar, PersistItem, ATTR_DIMMED, 1);
  EXPECT_EQ(headless::ChooseMenuItem(bar, PersistItem), UIE_NOT_AVAILABLE);
  EXPECT_EQ(headless::ChooseMenuItem(bar, DisplayMenu), UIE_NOT_AVAILABLE);  // a menu is not an item
  EXPECT_EQ(SetMenuBarAttribute(bar, 77, ATTR_CHECKED, 1), UIE_INVALID_MENU_ITEM);

  InstallMenuCallback(bar, ExitItem, [&](int, int item, void* callbackData, int) {
    chosen.push_back({0, item, *static_cast<int*>(callbackData)});
  }, &data);
  data = 42;
  headless::ChooseMenuItem(bar, ExitItem);
  EXPECT_EQ(chosen.back(), (std::array<int, 3>{0, ExitItem, 42}));
  EXPECT_EQ(chosen.size(), 2u);

  EXPECT_EQ(DiscardMenuBar(bar), 0);
  EXPECT_EQ(GetPanelMenuBar(panel), 0);
  EXPECT_EQ(headless::ChooseMenuItem(bar, SaveItem), UIE_INVALID_MENU_BAR);
}

TEST_F(EventsTest, EndTaskGoesToTheMainCallback) {
  EventLog log;
  EXPECT_EQ(headless::EndTask(), 0);  // nobody listening yet
  InstallMainCallback(log.Callback(), nullptr, 0);
  headless::EndTask();
  ASSERT_EQ(log.entries.size(), 1u);
  EXPECT_EQ(log.entries[0].event, EVENT_END_TASK);
  EXPECT_EQ(log.entries[0].panel, 0);
  EXPECT_EQ(log.entries[0].control, 0);
}

TEST_F(EventsTest, PopUpsTakeTheirAnswersFromTheScript) {
  headless::AnswerEnter();
  headless::AnswerEscape();
  headless::AnswerButton(2);
  headless::AnswerEscape();
  std::vector<std::string> unanswered;
  headless::Run([&] {
    MessagePopup("INFORMATION", "Wait 10s, then click 'OK'.\r");  // needs no answer
    EXPECT_EQ(GenericMessagePopup("WARNING !", "Are you sure?\n", "Yes", "No"), 1);
    EXPECT_EQ(GenericMessagePopup("WARNING !", "Are you sure?\n", "Yes", "No"), 2);
    EXPECT_EQ(GenericMessagePopup("Save", "Choose the channel :", "CH1", "CH2"), 2);
    EXPECT_EQ(GenericMessagePopup("Three", "?", "A", "B", "C"), 3);  // Escape is the last button
    headless::OnUnansweredQuestion([&unanswered](const std::string& what) { unanswered.push_back(what); });
    headless::SetIdleTimeout(0.05);
    EXPECT_EQ(GenericMessagePopup("Unscripted", "Sure?", "A", "B"), 2);  // reported, then Escape
    testsupport::FailOnUnansweredQuestions();
    headless::AnswerEnter();
    EXPECT_EQ(GenericMessagePopup("Escape set", "?", "A", "B", "C", 1, 2), 1);
  });
  ASSERT_EQ(unanswered.size(), 1u);
  EXPECT_NE(unanswered[0].find("\"Unscripted\": \"Sure?\""), std::string::npos) << unanswered[0];
  const std::vector<headless::PopupRecord> shown = headless::Popups();
  ASSERT_EQ(shown.size(), 7u);
  EXPECT_EQ(shown[0].kind, headless::PopupRecord::Message);
  EXPECT_EQ(shown[0].text, "Wait 10s, then click 'OK'.\r");
  EXPECT_EQ(shown[1].title, "WARNING !");
  EXPECT_EQ(shown[1].buttons, (std::vector<std::string>{"Yes", "No"}));
  EXPECT_EQ(shown[2].result, 2);

  std::string path = "unchanged";
  headless::AnswerCancel();
  headless::Run([&] {
    EXPECT_EQ(FileSelectPopup(dir_.c_str(), "*.txt", "*.txt", "Save...", VAL_SAVE_BUTTON, 0, 1, 1, 1, &path),
              VAL_NO_FILE_SELECTED);
    EXPECT_TRUE(path.empty());
    headless::AnswerFile((dir_ / "run1.txt").string());
    EXPECT_EQ(FileSelectPopup(dir_.c_str(), "*.txt", "*.txt", "Save...", VAL_SAVE_BUTTON, 0, 1, 1, 1, &path),
              VAL_NEW_FILE_SELECTED);
    EXPECT_EQ(path, (dir_ / "run1.txt").string());
    headless::AnswerFile((dir_ / "test.uir").string());
    char fixed[MAX_PATHNAME_LEN];
    EXPECT_EQ(FileSelectPopup(dir_.c_str(), "*.uir", "*.uir", "Open", VAL_LOAD_BUTTON, 0, 0, 1, 0, fixed),
              VAL_EXISTING_FILE_SELECTED);
    EXPECT_EQ(std::string(fixed), (dir_ / "test.uir").string());
    EXPECT_EQ(headless::Popups().back().title, "Open");
    EXPECT_EQ(headless::PendingAnswers(), 0u);
  });
}

TEST_F(EventsTest, GetUserEventReturnsThePressedButtonOfAPopUp) {
  const int choice = LoadPanel(0, "test.uir", kOtherPanel);
  InstallPopup(choice);
  headless::AnswerPress(2);  // the "OK" button, which has no callback
  std::vector<std::string> unanswered;
  headless::Run([&] {
    int panel = 0, control = 0;
    EXPECT_EQ(GetUserEvent(1, &panel, &control), EVENT_COMMIT);
    EXPECT_EQ(panel, choice);
    EXPECT_EQ(control, 2);
    EXPECT_EQ(GetUserEvent(0, &panel, &control), 0);  // nothing pending
    headless::OnUnansweredQuestion([&unanswered](const std::string& what) { unanswered.push_back(what); });
    headless::SetIdleTimeout(0.05);
    EXPECT_EQ(GetUserEvent(1, &panel, &control), UIE_NO_EVENT);  // nothing can come: no hang
  });
  EXPECT_EQ(unanswered.size(), 1u) << "a wait for a press nobody scripted is reported";
}

TEST_F(EventsTest, CommitsOutsideAPopUpDoNotWaitForALaterGetUserEvent) {
  const int panel = LoadTestPanel();
  const int choice = LoadPanel(0, "test.uir", kOtherPanel);
  DisplayPanel(choice);
  headless::Commit(choice, 2);  // not a pop-up yet: nobody asks for this press
  headless::Commit(panel, Check);  // no callback either
  InstallPopup(choice);
  headless::Run([&] {
    int eventPanel = 0, control = 0;
    EXPECT_EQ(GetUserEvent(0, &eventPanel, &control), 0) << "no stale press";
  });
  headless::Commit(choice, 2);
  headless::Run([&] {
    int eventPanel = 0, control = 0;
    EXPECT_EQ(GetUserEvent(0, &eventPanel, &control), EVENT_COMMIT);
    EXPECT_EQ(eventPanel, choice);
  });
}

TEST_F(EventsTest, DeferredCallsFromAnotherThreadRunInTheEventLoop) {
  std::thread::id ranOn;
  static int code = 7;
  std::thread poster([&ranOn] {
    PostDeferredCall([&ranOn](void* data) {
      ranOn = std::this_thread::get_id();
      QuitUserInterface(*static_cast<int*>(data));
    }, &code);
  });
  poster.join();
  int result = 0;
  headless::Run([&result] { result = RunUserInterface(); });
  EXPECT_EQ(result, 7);
  EXPECT_EQ(ranOn, headless::UiThreadId());
  EXPECT_NE(ranOn, std::this_thread::get_id());
}

// As in a real modal loop, what arrives while a question is open is handled
// before the answer: calls posted by other threads and the user's actions.
TEST_F(EventsTest, AnOpenQuestionHandlesWhatArrivesMeanwhile) {
  headless::Post([] { GenericMessagePopup("WARNING !", "Quit?", "Yes", "No"); });
  ASSERT_TRUE(headless::WaitForOpenQuestions(1));
  EXPECT_EQ(headless::OpenQuestions().size(), 1u);
  std::thread([] { MessagePopup("COMMUNICATION ERROR", "No dialog with the scope!\n"); }).join();
  headless::WhileOpen([] { MessagePopup("INFORMATION", "while open"); });
  headless::AnswerButton(2);
  ASSERT_TRUE(headless::WaitForOpenQuestions(0));
  headless::Sync();
  const std::vector<headless::PopupRecord> shown = headless::Popups();
  ASSERT_EQ(shown.size(), 3u);
  EXPECT_EQ(shown[0].title, "COMMUNICATION ERROR");
  EXPECT_EQ(shown[1].text, "while open");
  EXPECT_EQ(shown[2].title, "WARNING !");
  EXPECT_EQ(shown[2].result, 2);
  EXPECT_TRUE(headless::OpenQuestions().empty());
}

}  // namespace
