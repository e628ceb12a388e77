// The plot layer's rebuild copies back only what earlier bands covered, and
// the graph repaints only what the layer reports changed; both pictures must
// stay those drawn afresh, pixel for pixel.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>

#include <cmath>
#include <memory>
#include <string>

#include "platform/ui/Model.h"
#include "platform/ui/qt/GraphView.h"

namespace {

constexpr int kPoints = 2500;

// A noisy sine band, as the trace and its persistence trail are drawn; a
// large `lift` pushes it partly off the top of the plot.
std::shared_ptr<const uimodel::PlotPoints> Band(int seed, double lift = 0) {
  auto points = std::make_shared<uimodel::PlotPoints>();
  points->x.resize(kPoints);
  points->y.resize(kPoints);
  for (std::size_t k = 0; k < kPoints / 2; ++k) {
    const double centre = 128 + lift + 80 * std::sin(k / 20.0 + seed * 0.3) + static_cast<double>((k * 7 + seed) % 5);
    points->x[k] = points->x[kPoints - 1 - k] = 2.0 * static_cast<double>(k);
    points->y[k] = centre - 3 - seed % 4;
    points->y[kPoints - 1 - k] = centre + 3 + seed % 3;
  }
  return points;
}

uimodel::Plot Plot(uimodel::Graph& graph, std::shared_ptr<const uimodel::PlotPoints> points, int colour,
                   uimodel::PlotKind kind = uimodel::PlotKind::Polygon) {
  uimodel::Plot plot;
  plot.handle = graph.nextPlotHandle++;
  plot.kind = kind;
  plot.points = std::move(points);
  plot.color = plot.fillColor = colour;
  return plot;
}

class PlotLayerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    graph_.x = {0, 2500, VAL_MANUAL, 10, true, false};
    graph_.y = {0, 256, VAL_MANUAL, 8, true, false};
    graph_.gridColor = 0x808080;
    for (int seed = 0; seed < 4; ++seed) graph_.plots.push_back(Plot(graph_, Band(seed), 0xFF0000 + seed));
  }
  // One frame: the oldest band goes and a new one comes, everything redrawn.
  void NextFrame(int seed, double lift = 0) {
    graph_.plots.erase(graph_.plots.begin());
    graph_.plots.push_back(Plot(graph_, Band(seed, lift), 0x00C000 + seed));
    graph_.layerRevision = ++graph_.plotRevision;
  }
  void ExpectSameAsFresh(const char* step) {
    kept_.Update(graph_, kSize);
    uiqt::PlotLayer fresh;
    fresh.Rebuild(graph_, kSize);
    ASSERT_EQ(kept_.Image().size(), fresh.Image().size()) << step;
    EXPECT_TRUE(kept_.Image() == fresh.Image()) << step;
  }

  const QSize kSize{652, 512};
  uimodel::Graph graph_;
  uiqt::PlotLayer kept_;
};

TEST_F(PlotLayerTest, FramesOfBandsMatchAFreshDrawing) {
  ExpectSameAsFresh("first drawing");
  for (int seed = 4; seed < 12; ++seed) {
    NextFrame(seed, seed % 3 == 0 ? 140 : 0);  // every third band partly off the plot
    ExpectSameAsFresh("band frame");
  }
}

TEST_F(PlotLayerTest, PainterPlotsAndBackgroundChangesMatchAFreshDrawing) {
  ExpectSameAsFresh("first drawing");
  // A polyline goes through the painter, which may touch any pixel.
  graph_.plots.push_back(Plot(graph_, Band(20), 0xFFFF00, uimodel::PlotKind::Polyline));
  ++graph_.plotRevision;
  ExpectSameAsFresh("polyline added on top");
  NextFrame(21);
  ExpectSameAsFresh("frame with the polyline");
  graph_.plots.pop_back();
  NextFrame(22);
  ExpectSameAsFresh("polyline deleted");
  graph_.gridColor = 0x4040FF;
  NextFrame(23);
  ExpectSameAsFresh("grid recoloured");
  graph_.plotBackColor = 0x202020;
  graph_.x.grid = false;
  NextFrame(24);
  ExpectSameAsFresh("background recoloured, grid lines gone");
  NextFrame(25);
  ExpectSameAsFresh("band frame on the new background");
}

// Overlapping bands drawn together show what they show drawn one over the other.
TEST_F(PlotLayerTest, BandsDrawnTogetherMatchBandsAddedOneByOne) {
  uimodel::Graph growing = graph_;
  growing.plots.clear();
  uiqt::PlotLayer oneByOne;
  for (const uimodel::Plot& plot : graph_.plots) {
    growing.plots.push_back(plot);
    ++growing.plotRevision;
    oneByOne.Update(growing, kSize);
  }
  for (int seed = 4; seed < 8; ++seed) {
    const uimodel::Plot plot = Plot(graph_, Band(seed, seed == 5 ? 140 : 0), 0x0000FF + (seed << 8));
    graph_.plots.push_back(plot);
    growing.plots.push_back(plot);
    ++growing.plotRevision;
    oneByOne.Update(growing, kSize);
  }
  uiqt::PlotLayer together;
  together.Rebuild(graph_, kSize);
  EXPECT_TRUE(oneByOne.Image() == together.Image());
}

// Every pixel that differs from the previous picture lies in the reported region.
TEST_F(PlotLayerTest, ChangedRegionHoldsEveryChangedPixel) {
  kept_.Update(graph_, kSize);
  EXPECT_EQ(kept_.TakeChanged(), QRegion(QRect(QPoint(), kSize))) << "first drawing";
  const auto expectChangesInside = [this](const char* step, double mostShare) {
    const QImage before = kept_.Image().copy();
    kept_.Update(graph_, kSize);
    const QRegion changed = kept_.TakeChanged();
    EXPECT_TRUE(changed.subtracted(QRect(QPoint(), kSize)).isEmpty()) << step;
    int outside = 0;
    for (int y = 0; y < kSize.height(); ++y)
      for (int x = 0; x < kSize.width(); ++x)
        if (before.pixel(x, y) != kept_.Image().pixel(x, y) && !changed.contains(QPoint(x, y))) ++outside;
    EXPECT_EQ(outside, 0) << step;
    double area = 0;
    for (const QRect& rect : changed) area += rect.width() * rect.height();
    EXPECT_LE(area, mostShare * kSize.width() * kSize.height()) << step;
  };
  for (int seed = 4; seed < 8; ++seed) {
    NextFrame(seed, seed == 6 ? 140 : 0);
    expectChangesInside("band frame", 0.8);
  }
  graph_.plots.front().color = graph_.plots.front().fillColor = 0x0000FF;
  ++graph_.layerRevision;
  expectChangesInside("oldest band recoloured", 0.8);
  graph_.plots.push_back(Plot(graph_, Band(9), 0x00FF00));
  ++graph_.plotRevision;
  expectChangesInside("band added on top", 0.5);
  graph_.plots.push_back(Plot(graph_, Band(10), 0xFFFF00, uimodel::PlotKind::Polyline));
  ++graph_.plotRevision;
  expectChangesInside("polyline added on top", 1.0);
  graph_.plots.pop_back();
  NextFrame(11);
  expectChangesInside("polyline deleted", 1.0);
}

TEST_F(PlotLayerTest, ResizingMatchesAFreshDrawing) {
  ExpectSameAsFresh("first drawing");
  kept_.Update(graph_, QSize(300, 200));
  NextFrame(30);
  ExpectSameAsFresh("back to the first size");
  // An empty graph at another size, then bands again there.
  const std::vector<uimodel::Plot> plots = graph_.plots;
  graph_.plots.clear();
  ++graph_.layerRevision;
  kept_.Update(graph_, QSize(700, 300));
  graph_.plots = plots;
  ++graph_.layerRevision;
  kept_.Update(graph_, QSize(700, 300));
  uiqt::PlotLayer fresh;
  fresh.Rebuild(graph_, QSize(700, 300));
  EXPECT_TRUE(kept_.Image() == fresh.Image()) << "bands after an empty graph at a new size";
}

// The trace graph shown in a window: each frame repaints only the changed
// region, and the window must show what a full drawing of the graph shows.
class GraphRepaintTest : public ::testing::Test {
 protected:
  void SetUp() override {
    control_.width = 520;
    control_.height = 380;
    Graph().x = {0, 2500, VAL_MANUAL, 10, true, true};
    Graph().y = {0, 256, VAL_MANUAL, 8, true, true};
    for (int seed = 0; seed < 4; ++seed) Graph().plots.push_back(Plot(Graph(), Band(seed), 0xFF0000 + seed));
    Graph().cursors.resize(2);
    Graph().cursors[0] = {600, 100, VAL_RED, VAL_SOLID_SQUARE, VAL_LONG_CROSS, VAL_CURSOR_NORMAL, true};
    Graph().cursors[1] = {1800, 200, VAL_GREEN, VAL_EMPTY_CIRCLE, VAL_SHORT_CROSS, VAL_CURSOR_CLAMPED, true};
    view_.resize(control_.width, control_.height);
    view_.show();
    Frame();
  }
  uimodel::Graph& Graph() { return *control_.graph; }
  void Frame() {
    view_.Show(control_);
    QCoreApplication::processEvents();
  }
  // Persistence on: the trail fades, the oldest band goes, a new one comes.
  void TrailFrame(int seed) {
    for (uimodel::Plot& plot : Graph().plots) plot.color = plot.fillColor = (plot.color >> 1) & 0x7F7F7F;
    Graph().plots.erase(Graph().plots.begin());
    Graph().plots.push_back(Plot(Graph(), Band(seed), 0xFF2020));
    Graph().layerRevision = ++Graph().plotRevision;
    Frame();
  }
  // Persistence off: only the newest band.
  void SingleFrame(int seed, double lift = 0) {
    Graph().plots.clear();
    Graph().plots.push_back(Plot(Graph(), Band(seed, lift), 0x20FF20));
    Graph().layerRevision = ++Graph().plotRevision;
    Frame();
  }
  void MoveCursors(double dx, double dy) {
    for (uimodel::Cursor& cursor : Graph().cursors) {
      cursor.x += dx;
      cursor.y += dy;
    }
    ++Graph().cursorRevision;
  }
  void ExpectSameAsFresh(const std::string& step) {
    const QImage onScreen = view_.screen()->grabWindow(view_.winId()).toImage().convertToFormat(QImage::Format_RGB32);
    uiqt::GraphView fresh(1, 2, nullptr);
    fresh.resize(view_.size());
    fresh.Show(control_);
    const QImage drawn = fresh.grab().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(onScreen.size(), drawn.size()) << step;
    EXPECT_TRUE(onScreen == drawn) << step;
  }

  uimodel::Control control_ = uimodel::MakeControl(CTRL_GRAPH);
  uiqt::GraphView view_{1, 2, nullptr};
};

TEST_F(GraphRepaintTest, ChangedRegionsShowWhatAFullDrawingShows) {
  ExpectSameAsFresh("first drawing");
  for (int seed = 4; seed < 10; ++seed) {
    if (seed % 2 == 0) MoveCursors(90, 12);
    TrailFrame(seed);
    ExpectSameAsFresh("persistence frame " + std::to_string(seed));
  }
  for (int seed = 10; seed < 16; ++seed) {
    if (seed % 3 == 0) MoveCursors(-150, -20);
    SingleFrame(seed, seed % 4 == 0 ? 140 : 0);  // every fourth partly off the plot
    ExpectSameAsFresh("single trace frame " + std::to_string(seed));
  }
  MoveCursors(40, 5);
  Frame();
  ExpectSameAsFresh("cursors moved alone");
  Graph().plots.push_back(Plot(Graph(), Band(20), 0xFFFF00, uimodel::PlotKind::Polyline));
  ++Graph().plotRevision;
  Frame();
  ExpectSameAsFresh("polyline on top");
  Graph().y = {-100, 356, VAL_MANUAL, 8, true, true};
  SingleFrame(21);
  ExpectSameAsFresh("new vertical range and labels");
}

}  // namespace
