// Shows the main panel as the program will: two channels drawn as bands with a
// persistence trail, a reference trace, the trigger marker and two measurement
// cursors, refreshed at 20 frames per second from a background thread.
// Usage: ui_demo [seconds]   (default 5; 0 runs until the window is closed)
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "layout/PanelIds.h"
#include "platform/ui/UserInterface.h"
#include "platform/ui/qt/QtFrontend.h"

namespace {

constexpr int kPoints = 2500;
constexpr int kTrail = 8;
const int kTrailColours[2][kTrail] = {
    {0xFF0000, 0xFF2020, 0xFF4040, 0xFF6060, 0xFF8080, 0xFFA0A0, 0xFFC0C0, 0xFFE0E0},
    {0x00C000, 0x00E000, 0x00FF00, 0x40FF40, 0x80FF80, 0xA0FFA0, 0xC0FFC0, 0xE0FFE0}};

int mainPanel = 0;
std::atomic<int> running{1};

void MakeBand(int channel, int frame, std::vector<int>& y) {
  for (int k = 0; k < kPoints / 2; ++k) {
    double centre;
    if (channel == 0) centre = 160 + 50 * std::sin(2 * M_PI * (k + frame * 3) / 250.0);
    else centre = ((k + frame * 2) / 125) % 2 ? 60 : 100;
    const int noise = (k * 7 + frame * 13) % 5;
    y[static_cast<std::size_t>(k)] = static_cast<int>(centre) - 3 - noise;
    y[static_cast<std::size_t>(kPoints - 1 - k)] = static_cast<int>(centre) + 3 + noise;
  }
}

int Acquisition(void*) {
  std::vector<int> x(kPoints), y(kPoints);
  for (int k = 0; k < kPoints / 2; ++k) x[static_cast<std::size_t>(k)] = x[static_cast<std::size_t>(kPoints - 1 - k)] = 2 * k;
  int trail[2][kTrail] = {};
  for (int frame = 0; running.load() != 0; ++frame) {
    const int slot = frame % kTrail;
    for (int channel = 0; channel < 2; ++channel) {
      if (trail[channel][slot] != 0) DeleteGraphPlot(mainPanel, MainPanel::TraceGraph, trail[channel][slot], VAL_DELAYED_DRAW);
      MakeBand(channel, frame, y);
      trail[channel][slot] = PlotPolygon(mainPanel, MainPanel::TraceGraph, x.data(), y.data(), kPoints,
                                         kTrailColours[channel][0], kTrailColours[channel][0]);
      for (int age = 1; age < kTrail; ++age) {
        const int plot = trail[channel][(slot - age + kTrail) % kTrail];
        if (plot == 0) continue;
        SetPlotAttribute(mainPanel, MainPanel::TraceGraph, plot, ATTR_TRACE_COLOR, kTrailColours[channel][age]);
        SetPlotAttribute(mainPanel, MainPanel::TraceGraph, plot, ATTR_PLOT_FILL_COLOR, kTrailColours[channel][age]);
      }
    }
    SetCtrlVal(mainPanel, MainPanel::AcqStateText, frame % 20 < 15 ? "RUN" : "READY");
    SetCtrlVal(mainPanel, MainPanel::AcquisitionLed, frame % 20 < 15 ? 1 : 0);
    Delay(0.05);
  }
  return 0;
}

void SetUpPanel() {
  SetCtrlVal(mainPanel, MainPanel::TimebaseText, "1.00ms/div");
  std::vector<int> x(kPoints), reference(kPoints);
  for (int k = 0; k < kPoints / 2; ++k) {
    x[static_cast<std::size_t>(k)] = x[static_cast<std::size_t>(kPoints - 1 - k)] = 2 * k;
    const int centre = 200 + static_cast<int>(20 * std::cos(2 * M_PI * k / 625.0));
    reference[static_cast<std::size_t>(k)] = centre - 2;
    reference[static_cast<std::size_t>(kPoints - 1 - k)] = centre + 2;
  }
  PlotPolygon(mainPanel, MainPanel::TraceGraph, x.data(), reference.data(), kPoints, 0xFF8080, 0xFF8080);
  // The trigger marker (cursor 1) and the two measurement cursors.
  SetCtrlAttribute(mainPanel, MainPanel::TraceGraph, ATTR_NUM_CURSORS, 3);
  SetGraphCursor(mainPanel, MainPanel::TraceGraph, 1, 1250, 160);
  SetCursorAttribute(mainPanel, MainPanel::TraceGraph, 1, ATTR_CURSOR_POINT_STYLE, VAL_SOLID_DIAMOND);
  const int colours[] = {0x0000FF, 0x800080};
  const double places[][2] = {{700, 190}, {1450, 130}};
  for (int cursor = 2; cursor <= 3; ++cursor) {
    SetCursorAttribute(mainPanel, MainPanel::TraceGraph, cursor, ATTR_CURSOR_COLOR, colours[cursor - 2]);
    SetCursorAttribute(mainPanel, MainPanel::TraceGraph, cursor, ATTR_CROSS_HAIR_STYLE, VAL_LONG_CROSS);
    SetCursorAttribute(mainPanel, MainPanel::TraceGraph, cursor, ATTR_CURSOR_POINT_STYLE, VAL_NO_POINT);
    SetGraphCursor(mainPanel, MainPanel::TraceGraph, cursor, places[cursor - 2][0], places[cursor - 2][1]);
  }
}

}  // namespace

int main(int argc, char* argv[]) {
  const double seconds = argc > 1 ? std::atof(argv[1]) : 5.0;
  UseQtFrontend(argc, argv);
  RegisterCallback("AjustTrace", PanelCallback([](int, int event, void*, int, int) {
                     if (event == EVENT_CLOSE) QuitUserInterface(0);
                     return 0;
                   }));
  InstallMainCallback([](int, int, int event, void*, int, int) {
    if (event == EVENT_END_TASK) QuitUserInterface(0);
    return 0;
  }, nullptr, 0);
  mainPanel = LoadPanel(0, PanelFileName, MainPanel::Resource);
  if (mainPanel < 0) {
    MessagePopup("FILE ERROR", "FATAL RUNTIME ERROR\n\nUIR File not found !\n");
    return 1;
  }
  SetUpPanel();
  DisplayPanel(mainPanel);
  CmtThreadPoolHandle pool = 0;
  CmtNewThreadPool(2, &pool);  // the acquisition, and the clock that ends the demo
  CmtScheduleThreadPoolFunction(pool, Acquisition, nullptr, nullptr);
  if (seconds > 0) {
    CmtScheduleThreadPoolFunction(pool, [](void* limit) {
      const double end = Timer() + *static_cast<double*>(limit);
      while (running.load() != 0 && Timer() < end) Delay(0.05);
      PostDeferredCall([](void*) { QuitUserInterface(0); }, nullptr);
      return 0;
    }, const_cast<double*>(&seconds), nullptr);
  }
  const int result = RunUserInterface();
  running = 0;
  CmtDiscardThreadPool(pool);
  DiscardPanel(mainPanel);
  return result;
}
