#include <gtest/gtest.h>
#include <signal.h>

#include <QApplication>
#include <QComboBox>
#include <QDial>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>

#include <QMenuBar>
#include <QMessageBox>
#include <QWindow>

#include <atomic>
#include <cmath>
#include <functional>
#include <future>
#include <memory>
#include <chrono>
#include <thread>

#include "layout/PanelIds.h"
#include "platform/ui/Frontend.h"
#include "platform/ui/UserInterface.h"
#include "platform/ui/qt/GraphView.h"
#include "platform/ui/qt/PanelWindow.h"

namespace {

template <class Condition>
bool PumpUntil(Condition condition, int milliseconds = 3000) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
  while (!condition()) {
    if (std::chrono::steady_clock::now() > end) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

uiqt::PanelWindow* WindowOf(int panel) {
  for (QWidget* widget : QApplication::allWidgets())
    if (auto* window = dynamic_cast<uiqt::PanelWindow*>(widget); window != nullptr && window->Handle() == panel)
      return window;
  return nullptr;
}

template <class Widget>
Widget* FindIn(int panel) {
  uiqt::PanelWindow* window = WindowOf(panel);
  if (window == nullptr) return nullptr;
  for (QWidget* child : window->findChildren<QWidget*>())
    if (auto* match = dynamic_cast<Widget*>(child)) return match;
  return nullptr;
}

void SendMouse(QWidget* widget, QEvent::Type type, QPoint at) {
  QMouseEvent event(type, QPointF(at), widget->mapToGlobal(QPointF(at)), Qt::LeftButton,
                    type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(widget, &event);
}

struct Recorded {
  std::vector<std::array<int, 4>> events;  // control, event, data1, data2
  CtrlCallback Callback() {
    return [this](int, int control, int event, void*, int data1, int data2) {
      events.push_back({control, event, data1, data2});
      return 0;
    };
  }
};

class QtFrontendTest : public ::testing::Test {
 protected:
  void TearDown() override {
    for (int panel : panels_) DiscardPanel(panel);
    ProcessDrawEvents();
  }
  int Load(int resource) {
    const int panel = LoadPanel(0, ORNI_PANEL_FILE, resource);
    EXPECT_GT(panel, 0);
    panels_.push_back(panel);
    return panel;
  }
  // The main panel on screen, with its client area; null when it is not there.
  QWidget* ShowMainPanel(int* panel) {
    *panel = Load(MainPanel::Resource);
    DisplayPanel(*panel);
    ProcessDrawEvents();
    uiqt::PanelWindow* window = WindowOf(*panel);
    return window != nullptr ? window->Client() : nullptr;
  }
  std::vector<int> panels_;
};

TEST_F(QtFrontendTest, WindowsFollowChangesMadeOnAnotherThread) {
  const int panel = Load(MainPanel::Resource);
  DisplayPanel(panel);
  std::atomic<bool> done{false};
  std::thread acquisition([&] {
    std::vector<int> x(2500), y(2500);
    for (int k = 0; k < 1250; ++k) {
      x[static_cast<std::size_t>(k)] = x[static_cast<std::size_t>(2499 - k)] = 2 * k;
      y[static_cast<std::size_t>(k)] = 100;
      y[static_cast<std::size_t>(2499 - k)] = 156;
    }
    int plot = 0;
    for (int frame = 0; frame < 200; ++frame) {
      SetCtrlVal(panel, MainPanel::AcqStateText, frame % 2 ? "RUN" : "READY");
      SetCtrlVal(panel, MainPanel::AcquisitionLed, frame % 2);
      if (plot > 0) DeleteGraphPlot(panel, MainPanel::TraceGraph, plot, VAL_DELAYED_DRAW);
      plot = PlotPolygon(panel, MainPanel::TraceGraph, x.data(), y.data(), 2500, 0xFF0000, 0xFF0000);
      SetGraphCursor(panel, MainPanel::TraceGraph, 1, frame * 10, 200);
      std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    SetCtrlVal(panel, MainPanel::AcqStateText, "STOP");
    done = true;
  });
  PumpUntil([&] { return done.load(); }, 20000);
  acquisition.join();
  ProcessDrawEvents();

  uiqt::PanelWindow* window = WindowOf(panel);
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(window->isVisible());
  EXPECT_EQ(window->windowTitle(), QString("ORNIKELVARINLAB v1.00"));
  bool stopShown = false;
  for (QLabel* label : window->findChildren<QLabel*>()) stopShown = stopShown || label->text() == "STOP";
  EXPECT_TRUE(stopShown);

  auto* graph = FindIn<uiqt::GraphView>(panel);
  ASSERT_NE(graph, nullptr);
  const QImage picture = graph->grab().toImage();
  EXPECT_EQ(picture.pixelColor(graph->ToPixels(1250, 128).toPoint()), QColor(0xFF, 0, 0));  // inside the band
  EXPECT_EQ(picture.pixelColor(graph->ToPixels(625, 40).toPoint()), QColor(0, 0, 0));       // below it
  int plots = 0;
  GetCtrlAttribute(panel, MainPanel::TraceGraph, ATTR_NUM_PLOTS, &plots);
  EXPECT_EQ(plots, 1);
}

// The events the panel's callback receives go to `events`.
void LogPanelEvents(int panel, std::vector<int>& events) {
  InstallPanelCallback(panel, [&events](int, int event, void*, int, int) {
    events.push_back(event);
    return 0;
  }, nullptr);
}

TEST_F(QtFrontendTest, ClosingTheWindowAsksThePanelAndResizingTellsIt) {
  const int panel = Load(MainPanel::Resource);
  std::vector<int> events;
  LogPanelEvents(panel, events);
  DisplayPanel(panel);
  ProcessDrawEvents();
  uiqt::PanelWindow* window = WindowOf(panel);
  ASSERT_NE(window, nullptr);
  window->close();
  EXPECT_EQ(events, std::vector<int>{EVENT_CLOSE});
  EXPECT_TRUE(window->isVisible());  // the window does not close by itself

  window->resize(700, 600);
  PumpUntil([&] { return events.size() == 2; });
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[1], EVENT_PANEL_SIZE);
  int width = 0;
  GetPanelAttribute(panel, ATTR_WIDTH, &width);
  EXPECT_EQ(width, 700);
}

TEST_F(QtFrontendTest, ButtonPressOnAPopUpIsTheNextUserEvent) {
  const int panel = Load(LanguagePanel::Resource);
  InstallPopup(panel);
  ProcessDrawEvents();
  uiqt::PanelWindow* window = WindowOf(panel);
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window->windowModality(), Qt::ApplicationModal);
  QPushButton* german = nullptr;
  for (QPushButton* button : window->findChildren<QPushButton*>())
    if (button->text() == "Deutsch") german = button;
  ASSERT_NE(german, nullptr);
  QTimer::singleShot(0, german, &QPushButton::click);
  int eventPanel = 0, control = 0;
  EXPECT_EQ(GetUserEvent(1, &eventPanel, &control), EVENT_COMMIT);
  EXPECT_EQ(eventPanel, panel);
  EXPECT_EQ(control, LanguagePanel::GermanButton);
  RemovePopup(0);
  ProcessDrawEvents();
  EXPECT_FALSE(window->isVisible());
}

TEST_F(QtFrontendTest, DraggingACursorSendsValueChangedThenCommit) {
  const int panel = Load(MainPanel::Resource);
  Recorded recorded;
  InstallCtrlCallback(panel, MainPanel::TraceGraph, recorded.Callback(), nullptr);
  SetCtrlAttribute(panel, MainPanel::TraceGraph, ATTR_NUM_CURSORS, 2);
  SetGraphCursor(panel, MainPanel::TraceGraph, 2, 500, 64);
  DisplayPanel(panel);
  ProcessDrawEvents();
  auto* graph = FindIn<uiqt::GraphView>(panel);
  ASSERT_NE(graph, nullptr);
  const QPoint start = graph->ToPixels(500, 64).toPoint();
  const QPoint end = graph->ToPixels(2000, 192).toPoint();
  SendMouse(graph, QEvent::MouseButtonPress, start);
  SendMouse(graph, QEvent::MouseMove, (start + end) / 2);
  SendMouse(graph, QEvent::MouseMove, end);
  SendMouse(graph, QEvent::MouseButtonRelease, end);
  ASSERT_GE(recorded.events.size(), 3u);
  std::vector<int> kinds;
  for (const auto& event : recorded.events)
    if (event[1] != EVENT_LEFT_CLICK && event[1] != EVENT_GOT_FOCUS) kinds.push_back(event[1]);
  EXPECT_EQ(kinds, (std::vector<int>{EVENT_VAL_CHANGED, EVENT_VAL_CHANGED, EVENT_COMMIT}));
  double x = 0, y = 0;
  GetGraphCursor(panel, MainPanel::TraceGraph, 2, &x, &y);
  EXPECT_NEAR(x, 2000, 5);
  EXPECT_NEAR(y, 192, 1);
  int active = 0;
  GetActiveGraphCursor(panel, MainPanel::TraceGraph, &active);
  EXPECT_EQ(active, 2);
}

TEST_F(QtFrontendTest, DraggingAMarkerSendsDropThenDroppedWithTopAndLeft) {
  const int panel = Load(MainPanel::Resource);
  const int marker = NewCtrl(panel, CTRL_MARKER, "", 200, 258);
  Recorded recorded;
  InstallCtrlCallback(panel, marker, recorded.Callback(), nullptr);
  DisplayPanel(panel);
  ProcessDrawEvents();
  uiqt::PanelWindow* window = WindowOf(panel);
  QWidget* body = nullptr;
  for (QWidget* child : window->Client()->findChildren<QWidget*>())
    if (child->geometry().topLeft() == QPoint(258, 200)) body = child;
  ASSERT_NE(body, nullptr);
  SendMouse(body, QEvent::MouseButtonPress, QPoint(2, 3));
  SendMouse(body, QEvent::MouseMove, QPoint(2, 33));
  SendMouse(body, QEvent::MouseButtonRelease, QPoint(2, 53));
  std::vector<std::array<int, 4>> drops;
  for (const auto& event : recorded.events)
    if (event[1] == EVENT_DROP || event[1] == EVENT_DROPPED) drops.push_back(event);
  ASSERT_EQ(drops.size(), 2u);
  EXPECT_EQ(drops[0], (std::array<int, 4>{marker, EVENT_DROP, 230, 258}));
  EXPECT_EQ(drops[1], (std::array<int, 4>{marker, EVENT_DROPPED, 250, 258}));
}

TEST_F(QtFrontendTest, QuestionsAnswerEnterWithTheFirstButtonAndEscapeWithTheLast) {
  auto pressLater = [](Qt::Key key) {
    QTimer::singleShot(50, [key] {
      QWidget* box = QApplication::activeModalWidget();
      if (box == nullptr) return;
      QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
      QCoreApplication::sendEvent(box, &press);
    });
  };
  pressLater(Qt::Key_Return);
  EXPECT_EQ(GenericMessagePopup("WARNING !", "Are you sure you want to quit ORNIKELVARINLAB ?\n", "Yes", "No"), 1);
  pressLater(Qt::Key_Escape);
  EXPECT_EQ(GenericMessagePopup("WARNING !", "Are you sure you want to quit ORNIKELVARINLAB ?\n", "Yes", "No"), 2);
  pressLater(Qt::Key_Escape);
  EXPECT_EQ(GenericMessagePopup("Save", "Choose the channel :", "CH1", "CH2", "Other"), 3);
}

TEST_F(QtFrontendTest, FunctionKeysReachThePanelCallback) {
  const int panel = Load(MainPanel::Resource);
  std::vector<int> keys;
  InstallPanelCallback(panel, [&keys](int, int event, void*, int data1, int) {
    if (event == EVENT_KEYPRESS) keys.push_back(data1);
    return 0;
  }, nullptr);
  DisplayPanel(panel);
  SetActivePanel(panel);
  ProcessDrawEvents();
  uiqt::PanelWindow* window = WindowOf(panel);
  window->activateWindow();
  QApplication::setActiveWindow(window);
  PumpUntil([] { return QApplication::activeWindow() != nullptr; }, 500);
  QWidget* target = QApplication::focusWidget() != nullptr ? QApplication::focusWidget() : window;
  QKeyEvent press(QEvent::KeyPress, Qt::Key_F11, Qt::NoModifier);
  QCoreApplication::sendEvent(target, &press);
  EXPECT_EQ(keys, std::vector<int>{VAL_F11_VKEY});
}

TEST_F(QtFrontendTest, QuitFromAnotherThreadEndsTheLoopWithoutClosingPanels) {
  const int panel = Load(MainPanel::Resource);
  std::vector<int> events;
  LogPanelEvents(panel, events);
  DisplayPanel(panel);
  std::thread stopper([] {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    QuitUserInterface(5);
  });
  EXPECT_EQ(RunUserInterface(), 5);
  stopper.join();
  EXPECT_TRUE(events.empty());  // no EVENT_CLOSE on the way out
  ASSERT_NE(WindowOf(panel), nullptr);
  EXPECT_TRUE(WindowOf(panel)->isVisible());
}

// The session's end and Ctrl+C in the terminal both ask the program to quit
// its own way (the question, then the quit sequence), never end it outright.
TEST_F(QtFrontendTest, EndOfSessionAndInterruptSignalsReachTheMainCallback) {
  std::atomic<int> received{0};
  InstallMainCallback([&received](int panel, int control, int event, void*, int, int) {
    if (event == EVENT_END_TASK && panel == 0 && control == 0) ++received;
    return 0;
  }, nullptr, 0);
  int expected = 0;
  for (const int signal : {SIGTERM, SIGINT}) {
    ::raise(signal);
    ++expected;
    EXPECT_TRUE(PumpUntil([&] { return received.load() == expected; })) << "signal " << signal;
  }
  InstallMainCallback(nullptr, nullptr, 0);
}

// Bands are painted column by column; the picture must be that of the filled,
// outlined polygon, which the general path draws with QPainter.
TEST_F(QtFrontendTest, BandsLookLikeTheirFilledPolygons) {
  uimodel::Graph graph;
  graph.x = {0, 2500, VAL_MANUAL, 10, false, false};
  graph.y = {0, 256, VAL_MANUAL, 8, false, false};
  auto points = std::make_shared<uimodel::PlotPoints>();
  for (int k = 0; k < 1250; ++k) {
    const double centre = 128 + 90 * std::sin(k / 60.0) + (k % 7);
    points->x.push_back(2 * k);
    points->y.push_back(centre - 2 - k % 3);
  }
  for (int k = 1249; k >= 0; --k) {
    points->x.push_back(2 * k);
    points->y.push_back(128 + 90 * std::sin(k / 60.0) + (k % 7) + 3 + k % 4);
  }
  uimodel::Plot band;
  band.handle = 1;
  band.points = points;
  band.color = band.fillColor = 0xFF0000;  // the band path
  graph.plots = {band};
  uiqt::PlotLayer fast, general;
  fast.Rebuild(graph, QSize(700, 500));
  graph.plots[0].fillColor = 0xFF0001;  // fill differs from outline: the general path
  general.Rebuild(graph, QSize(700, 500));
  // Column by column both pictures cover the same rows, give or take what a
  // steep edge moves within one column.
  auto spans = [](const QImage& image) {
    std::vector<std::pair<int, int>> result(static_cast<std::size_t>(image.width()), {-1, -1});
    for (int x = 0; x < image.width(); ++x)
      for (int y = 0; y < image.height(); ++y)
        if ((image.pixel(x, y) & 0xFFFFFF) != 0) {
          auto& [first, last] = result[static_cast<std::size_t>(x)];
          if (first < 0) first = y;
          last = y;
        }
    return result;
  };
  const auto fastSpans = spans(fast.Image()), generalSpans = spans(general.Image());
  int columns = 0, outside = 0, worst = 0;
  for (std::size_t x = 1; x + 1 < fastSpans.size(); ++x) {
    ASSERT_EQ(fastSpans[x].first < 0, generalSpans[x].first < 0) << "column " << x;
    if (fastSpans[x].first < 0) continue;
    ++columns;
    for (bool top : {true, false}) {
      auto edge = [top](const std::pair<int, int>& span) { return top ? span.first : span.second; };
      const int low = std::min({edge(generalSpans[x - 1]), edge(generalSpans[x]), edge(generalSpans[x + 1])});
      const int high = std::max({edge(generalSpans[x - 1]), edge(generalSpans[x]), edge(generalSpans[x + 1])});
      const int excess = std::max(low - 1 - edge(fastSpans[x]), edge(fastSpans[x]) - high - 1);
      outside += excess > 0;
      worst = std::max(worst, excess);
    }
  }
  EXPECT_GT(columns, 690);
  EXPECT_LT(outside, columns / 10);  // a few edge pixels of the steepest, noisiest places
  EXPECT_LE(worst, 6);               // at most half a steep edge's drop within one column
}

TEST_F(QtFrontendTest, PanelPictureShowsTheWindowContents) {
  const int panel = Load(MainPanel::Resource);
  DisplayPanel(panel);
  int bitmap = 0, width = 0, height = 0;
  ASSERT_EQ(GetPanelDisplayBitmap(panel, VAL_FULL_PANEL, &bitmap), 0);
  GetBitmapSize(bitmap, &width, &height);
  EXPECT_EQ(width, 990);
  EXPECT_EQ(height, 650);
  std::vector<std::uint32_t> pixels;
  GetBitmapPixels(bitmap, &pixels);
  EXPECT_EQ(pixels[static_cast<std::size_t>(300 * width + 600)], 0x000000u);  // inside the trace graph
  EXPECT_EQ(ClipboardPutBitmap(bitmap), 0);
  DiscardBitmap(bitmap);
}

// A deletion with delayed drawing, followed by nothing else, still leaves the
// screen within a frame or so, whichever thread made it.
TEST_F(QtFrontendTest, DelayedDrawingReachesTheScreenOnItsOwn) {
  const int panel = Load(MainPanel::Resource);
  DisplayPanel(panel);
  std::vector<double> x(2500), y(2500);
  for (int k = 0; k < 1250; ++k) {
    x[static_cast<std::size_t>(k)] = x[static_cast<std::size_t>(2499 - k)] = 2 * k;
    y[static_cast<std::size_t>(k)] = 100;
    y[static_cast<std::size_t>(2499 - k)] = 156;
  }
  const struct {
    const char* name;
    std::function<void(std::function<void()>)> run;
  } rows[] = {
      {"user-interface thread", [](std::function<void()> change) { change(); }},
      {"acquisition thread", [](std::function<void()> change) { std::thread(change).join(); }},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const int plot = PlotPolygon(panel, MainPanel::TraceGraph, x.data(), y.data(), 2500, 0xFF0000, 0xFF0000);
    ProcessDrawEvents();
    QCoreApplication::processEvents();  // no synchronisation is left queued by the plotting
    auto* graph = FindIn<uiqt::GraphView>(panel);
    ASSERT_NE(graph, nullptr);
    auto bandShown = [graph] {
      return graph->grab().toImage().pixelColor(graph->ToPixels(600, 120).toPoint()) == QColor(0xFF, 0, 0);
    };
    ASSERT_TRUE(bandShown());
    row.run([&] { DeleteGraphPlot(panel, MainPanel::TraceGraph, plot, VAL_DELAYED_DRAW); });
    EXPECT_TRUE(PumpUntil([&] { return !bandShown(); }, 1000)) << "the deleted band is still drawn";
  }
}

// Runs `call` on another thread while this one waits without handling events,
// as the user-interface thread does when it joins the acquisition thread.
// False when the call waited for this thread (it is then let finish).
bool ReturnsWithoutTheUiThread(const std::function<void()>& call) {
  std::packaged_task<void()> task(call);
  std::future<void> done = task.get_future();
  std::thread caller(std::move(task));
  const bool returned = done.wait_for(std::chrono::seconds(2)) == std::future_status::ready;
  if (!returned) {  // a regression: answer whatever it is waiting for so the test can go on
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [] {
      if (QWidget* box = QApplication::activeModalWidget()) box->close();
    });
    closer.start(20);
    PumpUntil([&] { return done.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }, 20000);
  }
  caller.join();
  return returned;
}

// Questions, file dialogs and printing are refused; a message box returns at
// once and is shown later.
TEST_F(QtFrontendTest, OffTheUserInterfaceThreadNothingWaitsForIt) {
  uimodel::Frontend& frontend = uimodel::CurrentFrontend();
  int message = -1, question = 0, file = 0, print = 0;
  std::string path = "left over", defaultPrinter = "left over";
  std::vector<std::string> printers{"left over"};
  EXPECT_TRUE(ReturnsWithoutTheUiThread([&] {
    message = frontend.MessagePopup("COMMUNICATION ERROR", "The link was lost.");
    question = frontend.GenericMessagePopup({"WARNING !", "Quit ?", {"Yes", "No"}, 1, 2});
    file = frontend.FileSelectPopup({"/tmp", "*.txt", "*.txt", "Save", VAL_SAVE_BUTTON}, &path);
    uimodel::PrintRequest request;
    request.printer = "/tmp/never-printed.pdf";
    request.pages = {{}};
    print = frontend.PrintReport(request);
    printers = frontend.Printers(&defaultPrinter);
  }));
  EXPECT_EQ(question, UIE_NOT_ON_UI_THREAD);
  EXPECT_EQ(file, UIE_NOT_ON_UI_THREAD);
  EXPECT_EQ(path, "");
  EXPECT_EQ(print, kNIReportErrNotOnUiThread);
  EXPECT_TRUE(printers.empty());
  EXPECT_EQ(defaultPrinter, "");
  EXPECT_EQ(message, 0);
  QString shown;
  QTimer reader;
  QObject::connect(&reader, &QTimer::timeout, [&shown] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      shown = box->windowTitle() + "|" + box->text();
      box->close();
    }
  });
  reader.start(10);
  EXPECT_TRUE(PumpUntil([&] { return !shown.isEmpty(); }));
  EXPECT_EQ(shown, QString("COMMUNICATION ERROR|The link was lost."));
}

// A window just shown is mapped and drawn before ProcessDrawEvents returns, as
// the splash panel must be before the instrument search holds the thread; what
// another thread posted meanwhile waits until afterwards.
TEST_F(QtFrontendTest, ProcessDrawEventsPutsANewWindowOnScreenAndRunsNoPostedCall) {
  const int panel = Load(SplashPanel::Resource);
  SetCtrlVal(panel, SplashPanel::AboutTitleText, "ORNIKELVARINLAB v1.00");
  std::atomic<bool> posted{false};
  std::thread([&posted] {
    PostDeferredCall([](void* flag) { static_cast<std::atomic<bool>*>(flag)->store(true); }, &posted);
  }).join();
  InstallPopup(panel);
  ProcessDrawEvents();
  uiqt::PanelWindow* window = WindowOf(panel);
  ASSERT_NE(window, nullptr);
  ASSERT_NE(window->windowHandle(), nullptr);
  EXPECT_TRUE(window->isVisible());
  EXPECT_TRUE(window->windowHandle()->isExposed());
  EXPECT_FALSE(posted.load());
  EXPECT_TRUE(PumpUntil([&] { return posted.load(); }));
  RemovePopup(0);
}

// Screen readers and UI automation find each widget by its layout name and read
// the label the user sees, in the current language.
TEST_F(QtFrontendTest, WidgetsCarryTheirLayoutNamesAndAccessibleNames) {
  const int panel = Load(MainPanel::Resource);
  LoadMenuBar(panel, ORNI_PANEL_FILE, MainMenuBar::Resource);
  DisplayPanel(panel);
  ProcessDrawEvents();
  uiqt::PanelWindow* window = WindowOf(panel);
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window->objectName(), QString("MainPanel"));
  EXPECT_EQ(window->accessibleName(), QString("ORNIKELVARINLAB v1.00"));
  std::vector<std::pair<std::string, std::string>> controls;  // name, label
  {
    uimodel::Store& store = uimodel::TheStore();
    std::lock_guard lock(store.mutex);
    const uimodel::Panel* model = store.FindPanel(panel);
    ASSERT_NE(model, nullptr);
    for (const auto& [id, control] : model->controls) controls.emplace_back(control.name, control.label);
  }
  ASSERT_GT(controls.size(), 10u);
  int labelled = 0;
  for (const auto& [name, label] : controls) {
    SCOPED_TRACE(name);
    const QList<QWidget*> found = window->Client()->findChildren<QWidget*>(QString::fromStdString(name));
    ASSERT_EQ(found.size(), 1);
    EXPECT_FALSE(found.first()->accessibleName().isEmpty());
    if (label.empty()) continue;
    ++labelled;
    EXPECT_EQ(found.first()->accessibleName(), QString::fromLatin1(label.c_str()));
  }
  EXPECT_GE(labelled, 1);
  // Nothing visible names this indicator: its layout name is read as words.
  const auto* led = window->Client()->findChild<QWidget*>("AcquisitionLed");
  ASSERT_NE(led, nullptr);
  EXPECT_EQ(led->accessibleName(), QString("Acquisition led"));
  QMenuBar* bar = window->findChild<QMenuBar*>();
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(bar->objectName(), QString("MainMenuBar"));
  EXPECT_NE(bar->findChild<QAction*>("PrintItem"), nullptr);

  SetCtrlAttribute(panel, MainPanel::TraceGraph, ATTR_LABEL_TEXT, "Kurven");  // a language change
  ProcessDrawEvents();
  auto* graph = FindIn<uiqt::GraphView>(panel);
  ASSERT_NE(graph, nullptr);
  EXPECT_EQ(graph->objectName(), QString("TraceGraph"));
  EXPECT_EQ(graph->accessibleName(), QString("Kurven"));
}

// The first copies of the main panel's settings are dials; they keep the
// events of the ring or numeric they are.
TEST_F(QtFrontendTest, KnobsTurnLikeTheirRingsAndNumerics) {
  int panel = 0;
  QWidget* client = ShowMainPanel(&panel);
  ASSERT_NE(client, nullptr);
  Recorded recorded;
  InstallCtrlCallback(panel, MainPanel::Ch1SensitivityRing, recorded.Callback(), nullptr);
  InstallCtrlCallback(panel, MainPanel::Ch1OffsetInput, recorded.Callback(), nullptr);
  auto* sensitivity = client->findChild<QDial*>("Ch1SensitivityRing");
  auto* offset = client->findChild<QDial*>("Ch1OffsetInput");
  ASSERT_NE(sensitivity, nullptr);
  ASSERT_NE(offset, nullptr);
  EXPECT_NE(client->findChild<QComboBox*>("Ch1SensitivityRing2"), nullptr);  // the second copy stays a ring
  EXPECT_EQ(sensitivity->accessibleName(), QString("Sensitivity CH1"));
  EXPECT_EQ(sensitivity->maximum(), 13);  // one step per item
  auto events = [&recorded] {
    std::vector<std::array<int, 2>> kinds;  // control, event
    for (const auto& event : recorded.events)
      if (event[1] == EVENT_VAL_CHANGED || event[1] == EVENT_COMMIT) kinds.push_back({event[0], event[1]});
    recorded.events.clear();
    return kinds;
  };
  constexpr int ring = MainPanel::Ch1SensitivityRing, numeric = MainPanel::Ch1OffsetInput;

  sensitivity->setSliderDown(true);  // dragged: each position a value change
  sensitivity->setValue(2);
  sensitivity->setValue(3);
  EXPECT_EQ(events(), (std::vector<std::array<int, 2>>{{ring, EVENT_VAL_CHANGED}, {ring, EVENT_VAL_CHANGED}}));
  sensitivity->setSliderDown(false);  // let go
  EXPECT_EQ(events(), (std::vector<std::array<int, 2>>{{ring, EVENT_COMMIT}}));
  int index = 0;
  GetCtrlIndex(panel, ring, &index);
  EXPECT_EQ(index, 3);

  QKeyEvent up(QEvent::KeyPress, Qt::Key_Up, Qt::NoModifier);
  QCoreApplication::sendEvent(sensitivity, &up);  // a key step commits at once
  EXPECT_EQ(events(), (std::vector<std::array<int, 2>>{{ring, EVENT_VAL_CHANGED}, {ring, EVENT_COMMIT}}));
  GetCtrlIndex(panel, ring, &index);
  EXPECT_EQ(index, 4);

  // The offset turns in its increments of 0.1 division over -10..10.
  EXPECT_EQ(offset->maximum(), 200);
  QKeyEvent pageUp(QEvent::KeyPress, Qt::Key_PageUp, Qt::NoModifier);
  QCoreApplication::sendEvent(offset, &pageUp);
  EXPECT_EQ(events(), (std::vector<std::array<int, 2>>{{numeric, EVENT_VAL_CHANGED}, {numeric, EVENT_COMMIT}}));
  double value = 0;
  GetCtrlVal(panel, numeric, &value);
  EXPECT_NEAR(value, 2.0, 1e-9);
  SetCtrlVal(panel, numeric, -9.5);  // the program's value turns the dial
  ProcessDrawEvents();
  EXPECT_EQ(offset->value(), 5);
  EXPECT_TRUE(events().empty());
}

TEST_F(QtFrontendTest, SlopeButtonsShowEdgesAndAreNamedByTheirLabels) {
  int panel = 0;
  QWidget* client = ShowMainPanel(&panel);
  ASSERT_NE(client, nullptr);
  for (const char* name : {"RisingSlopeButton", "FallingSlopeButton"}) {
    SCOPED_TRACE(name);
    auto* button = client->findChild<QPushButton*>(name);
    ASSERT_NE(button, nullptr);
    EXPECT_FALSE(button->icon().isNull());
    EXPECT_TRUE(button->text().isEmpty());
  }
  auto* rising = client->findChild<QPushButton*>("RisingSlopeButton");
  const QImage picture = rising->icon().pixmap(rising->iconSize()).toImage();
  // A rising edge: ink low at the left, high at the right.
  auto inkRow = [&picture](int x) {
    for (int y = 0; y < picture.height(); ++y)
      if (qAlpha(picture.pixel(x, y)) > 128) return y;
    return -1;
  };
  EXPECT_GT(inkRow(3), inkRow(picture.width() - 4));
  EXPECT_EQ(rising->accessibleName(), QString("Rising slope"));
}

// Tab goes through the controls in the panel file's order, not the order of
// their ids (which also decide what lies on top).
TEST_F(QtFrontendTest, TabFollowsThePanelFilesOrder) {
  int panel = 0;
  QWidget* client = ShowMainPanel(&panel);
  ASSERT_NE(client, nullptr);
  std::vector<std::pair<int, std::string>> byPosition;
  {
    uimodel::Store& store = uimodel::TheStore();
    std::lock_guard lock(store.mutex);
    for (const auto& [id, control] : store.FindPanel(panel)->controls)
      byPosition.emplace_back(control.tabPosition, control.name);
  }
  std::sort(byPosition.begin(), byPosition.end());
  std::vector<QString> expected, visited;
  for (const auto& [position, name] : byPosition) {
    QWidget* widget = client->findChild<QWidget*>(QString::fromStdString(name));
    if (widget != nullptr && widget->isVisibleTo(client) && (widget->focusPolicy() & Qt::TabFocus))
      expected.push_back(widget->objectName());
  }
  ASSERT_GT(expected.size(), 20u);
  EXPECT_EQ(expected.front(), QString("Ch1SensitivityRing"));
  QWidget* at = client->findChild<QWidget*>(expected.front());
  for (std::size_t step = 0; step < 4 * expected.size() && visited.size() < expected.size(); ++step) {
    if (at->isVisibleTo(client) && (at->focusPolicy() & Qt::TabFocus) && !at->objectName().isEmpty() &&
        std::find(expected.begin(), expected.end(), at->objectName()) != expected.end())
      visited.push_back(at->objectName());
    at = at->nextInFocusChain();
  }
  EXPECT_EQ(visited, expected);
}

}  // namespace
