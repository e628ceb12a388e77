// Repaint cost of the trace graph in a main window of 720 x 580 and of
// 1920 x 1080 pixels, holding 16 filled bands of 2500 points (two channels
// with a full persistence trail), drawn offscreen exactly as the window draws
// them. The graph's size follows the window as the resize rules place it.
#include <benchmark/benchmark.h>

#include <QImage>

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

// The trace graph in its widget, painted into an offscreen picture.
struct GraphOnScreen {
  uimodel::Control control;
  uiqt::GraphView view{1, 2, nullptr};
  QImage target;

  explicit GraphOnScreen(const benchmark::State& state)
      : control(TraceGraph(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)))) {
    view.resize(control.width, control.height);
    target = QImage(view.size(), QImage::Format_RGB32);
  }
  uimodel::Graph& Graph() { return *control.graph; }
  void Repaint() {
    view.Show(control);
    view.render(&target);
  }
};

// A recolouring (what the persistence trail does every frame) forces a full repaint.
void BM_FullRepaint(benchmark::State& state) {
  GraphOnScreen screen(state);
  int colour = 0;
  for (auto _ : state) {
    uimodel::Graph& graph = screen.Graph();
    graph.plots[0].color = graph.plots[0].fillColor = (colour++ & 1) ? 0xFF0000 : 0xFF2020;
    graph.layerRevision = ++graph.plotRevision;
    screen.Repaint();
  }
}
BENCHMARK(BM_FullRepaint)->Args({720, 580})->Args({1920, 1080})->Unit(benchmark::kMillisecond);

// One acquisition frame: the oldest band goes, a new one comes, everything is redrawn.
void BM_FrameWithNewBand(benchmark::State& state) {
  GraphOnScreen screen(state);
  int seed = kBands;
  for (auto _ : state) {
    uimodel::Graph& graph = screen.Graph();
    graph.plots.erase(graph.plots.begin());
    uimodel::Plot plot = graph.plots.back();
    plot.handle = graph.nextPlotHandle++;
    plot.points = Band(seed++);
    graph.plots.push_back(plot);
    graph.layerRevision = ++graph.plotRevision;
    screen.Repaint();
  }
}
BENCHMARK(BM_FrameWithNewBand)->Args({720, 580})->Args({1920, 1080})->Unit(benchmark::kMillisecond);

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
}
BENCHMARK(BM_CursorMoveRepaint)->Args({720, 580})->Args({1920, 1080})->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return RunOffscreenBenchmarks(argc, argv); }
