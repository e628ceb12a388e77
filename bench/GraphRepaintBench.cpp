// Repaint cost of the trace graph in a main window of 720 x 580 and of
// 1920 x 1080 pixels, holding 16 filled bands of 2500 points (two channels
// with a full persistence trail). The graph's size follows the window as the
// resize rules place it. A repaint is what a frame costs the user: the plot
// layer's update, then the paint of the region it reports into the window's
// backing store and the flush of that store. On the offscreen platform the
// flush copies nothing; under a display (QT_QPA_PLATFORM=xcb) it includes
// handing the pixels to the display server, not the server's own copy.
// Counters per repaint: paint events, painted share of the graph, rectangles
// and pixels painted; for the layer alone, the pixels one frame really
// changes against those it reports changed.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QImage>
#include <QPaintEvent>

#include <cmath>
#include <cstdlib>
#include <memory>

#include "OffscreenBenchmarkMain.h"
#include "platform/ui/Model.h"
#include "platform/ui/qt/GraphView.h"

namespace {

constexpr int kBands = 16, kPoints = 2500;
// The graph beside the 268-pixel control column: width w + 10 - 268, height h - 68.
constexpr int kMarkerColumn = 268;
int GraphWidth(int windowWidth) { return windowWidth + 10 - kMarkerColumn; }
int GraphHeight(int windowHeight) { return windowHeight - 68; }

std::shared_ptr<const uimodel::PlotPoints> Band(int seed) {
  auto points = std::make_shared<uimodel::PlotPoints>();
  points->x.resize(kPoints);
  points->y.resize(kPoints);
  for (int k = 0; k < kPoints / 2; ++k) {
    // A sine of one period per division, a little noisy, shifted per band like a persistence trail.
    const double centre = 128 + 80 * std::sin(2 * 3.14159265 * k / 125.0 + seed * 0.05) + (k * 7 + seed) % 5;
    points->x[static_cast<std::size_t>(k)] = points->x[static_cast<std::size_t>(kPoints - 1 - k)] = 2 * k;
    points->y[static_cast<std::size_t>(k)] = centre - 4 - seed % 5;
    points->y[static_cast<std::size_t>(kPoints - 1 - k)] = centre + 4 + seed % 3;
  }
  points->minX = 0;
  points->maxX = kPoints - 2;
  points->minY = 0;
  points->maxY = 255;
  return points;
}

uimodel::Control TraceGraph(int windowWidth, int windowHeight) {
  uimodel::Control control = uimodel::MakeControl(CTRL_GRAPH);
  control.width = GraphWidth(windowWidth);
  control.height = GraphHeight(windowHeight);
  uimodel::Graph& graph = *control.graph;
  graph.x = {0, 2500, VAL_MANUAL, 10, true, false};
  graph.y = {0, 256, VAL_MANUAL, 8, true, false};
  for (int i = 0; i < kBands; ++i) {
    uimodel::Plot plot;
    plot.handle = graph.nextPlotHandle++;
    plot.points = Band(i);
    plot.color = plot.fillColor = i < kBands / 2 ? 0xFF0000 + 0x2020 * i : 0x00C000 + 0x200020 * (i - kBands / 2);
    graph.plots.push_back(plot);
  }
  graph.cursors.resize(3);
  return control;
}

// Counts what the graph's paint events cover.
class PaintedArea : public QObject {
 public:
  double pixels = 0, rects = 0;
  int paints = 0;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() != QEvent::Paint) return false;
    ++paints;
    rects += static_cast<QPaintEvent*>(event)->region().rectCount();
    for (const QRect& rect : static_cast<QPaintEvent*>(event)->region()) pixels += rect.width() * rect.height();
    return false;
  }
};

// The trace graph as a window of its own on the platform's screen.
struct GraphOnScreen {
  uimodel::Control control;
  uiqt::GraphView view{1, 2, nullptr};
  PaintedArea painted;

  explicit GraphOnScreen(const benchmark::State& state)
      : control(TraceGraph(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)))) {
    view.resize(control.width, control.height);
    view.show();
    Repaint();
    view.installEventFilter(&painted);
  }
  ~GraphOnScreen() { view.removeEventFilter(&painted); }
  uimodel::Graph& Graph() { return *control.graph; }
  void Repaint() {
    view.Show(control);
    QCoreApplication::processEvents();  // the update request: paint and flush
  }
  void Report(benchmark::State& state) const {
    const double area = static_cast<double>(control.width) * control.height;
    state.counters["paints"] = benchmark::Counter(painted.paints, benchmark::Counter::kAvgIterations);
    state.counters["share"] = benchmark::Counter(painted.pixels / area, benchmark::Counter::kAvgIterations);
    state.counters["rects"] = benchmark::Counter(painted.rects, benchmark::Counter::kAvgIterations);
    state.counters["pixels"] = benchmark::Counter(painted.pixels, benchmark::Counter::kAvgIterations);
  }
};

// One acquisition frame: the oldest band goes, a new one comes.
void NextBand(uimodel::Graph& graph, int seed) {
  graph.plots.erase(graph.plots.begin());
  uimodel::Plot plot = graph.plots.back();
  plot.handle = graph.nextPlotHandle++;
  plot.points = Band(seed);
  graph.plots.push_back(plot);
  graph.layerRevision = ++graph.plotRevision;
}

// A recolouring (what the persistence trail does every frame): the bands repainted.
void BM_FullRepaint(benchmark::State& state) {
  GraphOnScreen screen(state);
  int colour = 0;
  for (auto _ : state) {
    uimodel::Graph& graph = screen.Graph();
    graph.plots[0].color = graph.plots[0].fillColor = (colour++ & 1) ? 0xFF0000 : 0xFF2020;
    graph.layerRevision = ++graph.plotRevision;
    screen.Repaint();
  }
  screen.Report(state);
}
BENCHMARK(BM_FullRepaint)->Args({720, 580})->Args({1920, 1080})->Unit(benchmark::kMillisecond);

// One acquisition frame, all of it: layer, paint and flush.
void BM_FrameWithNewBand(benchmark::State& state) {
  GraphOnScreen screen(state);
  int seed = kBands;
  for (auto _ : state) {
    NextBand(screen.Graph(), seed++);
    screen.Repaint();
  }
  screen.Report(state);
}
BENCHMARK(BM_FrameWithNewBand)->Args({720, 580})->Args({1920, 1080})->Unit(benchmark::kMillisecond);

// A persistence frame: every band of the trail fades a step, a new one comes.
void BM_TrailFrame(benchmark::State& state) {
  GraphOnScreen screen(state);
  int seed = kBands;
  for (auto _ : state) {
    uimodel::Graph& graph = screen.Graph();
    for (std::size_t i = 0; i < graph.plots.size(); ++i)
      graph.plots[i].color = graph.plots[i].fillColor = 0x100000 * static_cast<int>((i + seed) % kBands) + 0x2000;
    NextBand(graph, seed++);
    screen.Repaint();
  }
  screen.Report(state);
}
BENCHMARK(BM_TrailFrame)->Args({720, 580})->Args({1920, 1080})->Unit(benchmark::kMillisecond);

// The plot layer's share of BM_FrameWithNewBand: restore, bands, changed region.
void BM_LayerOfFrame(benchmark::State& state) {
  uimodel::Control control = TraceGraph(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  const uimodel::PlotArea area = uimodel::ComputePlotArea(control);
  uiqt::PlotLayer layer;
  int seed = kBands;
  for (auto _ : state) {
    NextBand(*control.graph, seed++);
    layer.Update(*control.graph, QSize(area.width, area.height));
    benchmark::DoNotOptimize(layer.TakeChanged());
  }
  // What one more frame really changes, against what the layer reports.
  const QImage before = layer.Image().copy();
  NextBand(*control.graph, seed);
  layer.Update(*control.graph, QSize(area.width, area.height));
  double changed = 0, reported = 0;
  for (int y = 0; y < before.height(); ++y)
    for (int x = 0; x < before.width(); ++x) changed += before.pixel(x, y) != layer.Image().pixel(x, y);
  for (const QRect& rect : layer.TakeChanged()) reported += rect.width() * rect.height();
  state.counters["changed"] = changed;
  state.counters["reported"] = reported;
}
BENCHMARK(BM_LayerOfFrame)->Args({720, 580})->Args({1920, 1080})->Unit(benchmark::kMillisecond);

// A dragged cursor: the plot layer is reused, only the picture is composed again.
void BM_CursorMoveRepaint(benchmark::State& state) {
  GraphOnScreen screen(state);
  screen.Repaint();
  double x = 0;
  for (auto _ : state) {
    uimodel::Graph& graph = screen.Graph();
    graph.cursors[1].x = x = x > 2400 ? 0 : x + 10;
    ++graph.cursorRevision;
    screen.Repaint();
  }
  screen.Report(state);
}
BENCHMARK(BM_CursorMoveRepaint)->Args({720, 580})->Args({1920, 1080})->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return RunOffscreenBenchmarks(argc, argv); }
