// The plot layer's rebuild copies back only what earlier bands covered; its
// picture must stay that of a layer drawn afresh, pixel for pixel.
#include <gtest/gtest.h>

#include <QImage>

#include <cmath>
#include <memory>

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

TEST_F(PlotLayerTest, ResizingMatchesAFreshDrawing) {
  ExpectSameAsFresh("first drawing");
  kept_.Update(graph_, QSize(300, 200));
  NextFrame(30);
  ExpectSameAsFresh("back to the first size");
}

}  // namespace
