#include <vector>

#include "UiTestSupport.h"

using namespace uitest;

namespace {

using GraphTest = UiTest;

std::vector<int> Band(int low, int high) {
  std::vector<int> y(2500);
  for (int k = 0; k < 1250; ++k) {
    y[static_cast<std::size_t>(k)] = low;
    y[static_cast<std::size_t>(2499 - k)] = high;
  }
  return y;
}

std::vector<int> BandX() {
  std::vector<int> x(2500);
  for (int k = 0; k < 1250; ++k) x[static_cast<std::size_t>(k)] = x[static_cast<std::size_t>(2499 - k)] = 2 * k;
  return x;
}

TEST_F(GraphTest, PolygonsArePlottedRecolouredAndDeleted) {
  const int panel = LoadTestPanel();
  const std::vector<int> x = BandX(), low = Band(100, 120), high = Band(150, 160);
  const int first = PlotPolygon(panel, Graph, x.data(), low.data(), 2500, 0xFF0000, 0xFF0000);
  const int second = PlotPolygon(panel, Graph, x.data(), high.data(), 2500, 0x00C000, 0x00C000);
  ASSERT_GT(first, 0);
  ASSERT_GT(second, first);
  std::vector<headless::PlotInfo> plots = headless::Plots(panel, Graph);
  ASSERT_EQ(plots.size(), 2u);
  EXPECT_EQ(plots[0].x.size(), 2500u);
  EXPECT_DOUBLE_EQ(plots[0].x[2499], 0.0);
  EXPECT_DOUBLE_EQ(plots[0].y[2499], 120.0);
  EXPECT_EQ(plots[1].fillColor, 0x00C000);

  EXPECT_EQ(SetPlotAttribute(panel, Graph, first, ATTR_TRACE_COLOR, 0xFFE0E0), 0);
  EXPECT_EQ(SetPlotAttribute(panel, Graph, first, ATTR_PLOT_FILL_COLOR, 0xFFE0E0), 0);
  int colour = 0;
  GetPlotAttribute(panel, Graph, first, ATTR_PLOT_FILL_COLOR, &colour);
  EXPECT_EQ(colour, 0xFFE0E0);
  EXPECT_EQ(SetPlotAttribute(panel, Graph, 999, ATTR_TRACE_COLOR, 1), UIE_INVALID_PLOT);
  int count = 0;
  GetCtrlAttribute(panel, Graph, ATTR_NUM_PLOTS, &count);
  EXPECT_EQ(count, 2);

  EXPECT_EQ(DeleteGraphPlot(panel, Graph, first, VAL_IMMEDIATE_DRAW), 0);
  EXPECT_EQ(DeleteGraphPlot(panel, Graph, first, VAL_IMMEDIATE_DRAW), UIE_INVALID_PLOT);
  ASSERT_EQ(headless::Plots(panel, Graph).size(), 1u);
  EXPECT_EQ(headless::Plots(panel, Graph)[0].handle, second);
  const int rectangle = PlotRectangle(panel, Graph, 10, 251, 135, 5, VAL_BLACK, VAL_TRANSPARENT);
  plots = headless::Plots(panel, Graph);
  ASSERT_EQ(plots.size(), 2u);
  EXPECT_EQ(plots[1].handle, rectangle);
  EXPECT_EQ(plots[1].x, (std::vector<double>{10, 135, 135, 10}));
  EXPECT_EQ(plots[1].y, (std::vector<double>{251, 251, 5, 5}));
  EXPECT_EQ(DeleteGraphPlot(panel, Graph, VAL_ALL_PLOTS, VAL_IMMEDIATE_DRAW), 0);
  EXPECT_TRUE(headless::Plots(panel, Graph).empty());
  EXPECT_GT(PlotRectangle(panel, Graph, 0, 0, 1, 1, 0, 0), rectangle);  // handles are never reused

  EXPECT_EQ(PlotPolygon(panel, Graph, x.data(), low.data(), 0, 0, 0), UIE_INVALID_VALUE);
  EXPECT_EQ(PlotPolygon(panel, Graph, static_cast<int*>(nullptr), low.data(), 3, 0, 0), UIE_NULL_POINTER);
  EXPECT_EQ(PlotPolygon(panel, Number, x.data(), low.data(), 3, 0, 0), UIE_WRONG_CONTROL_KIND);
}

TEST_F(GraphTest, DelayedDeletionWaitsForTheNextRedraw) {
  const int panel = LoadTestPanel();
  const double x[] = {0, 10, 10}, y[] = {0, 0, 10};
  const int plot = PlotPolygon(panel, Graph, x, y, 3, VAL_RED, VAL_RED);
  headless::Sync();
  EXPECT_EQ(headless::DisplayedPlots(panel, Graph), std::vector<int>{plot});

  headless::Run([&] {
    DeleteGraphPlot(panel, Graph, plot, VAL_DELAYED_DRAW);
    EXPECT_TRUE(headless::Plots(panel, Graph).empty());
    EXPECT_EQ(headless::DisplayedPlots(panel, Graph), std::vector<int>{plot});  // still on screen
  });
  headless::Sync();  // nothing else changed: the deletion still reaches the screen
  EXPECT_TRUE(headless::DisplayedPlots(panel, Graph).empty());

  // A delayed deletion followed by a new plot costs one redraw, not two.
  int fresh = 0, redrawsAfterPlot = 0, before = 0;
  headless::Run([&] {
    before = headless::GraphRedraws(panel, Graph);
    const int old = PlotPolygon(panel, Graph, x, y, 3, VAL_RED, VAL_RED);
    ProcessDrawEvents();
    redrawsAfterPlot = headless::GraphRedraws(panel, Graph);
    DeleteGraphPlot(panel, Graph, old, VAL_DELAYED_DRAW);
    fresh = PlotPolygon(panel, Graph, x, y, 3, VAL_GREEN, VAL_GREEN);
  });
  headless::Sync();
  EXPECT_EQ(headless::GraphRedraws(panel, Graph), redrawsAfterPlot + 1);
  EXPECT_EQ(redrawsAfterPlot, before + 1);
  EXPECT_EQ(headless::DisplayedPlots(panel, Graph), std::vector<int>{fresh});

  // Moving the graph does not redraw its plots.
  const int redraws = headless::GraphRedraws(panel, Graph);
  SetCtrlAttribute(panel, Graph, ATTR_TOP, 126);
  headless::Sync();
  EXPECT_EQ(headless::GraphRedraws(panel, Graph), redraws);
}

TEST_F(GraphTest, CursorsAreSetReadAndClampedToTheAxes) {
  const int panel = LoadTestPanel();
  int count = 0;
  GetCtrlAttribute(panel, Graph, ATTR_NUM_CURSORS, &count);
  EXPECT_EQ(count, 2);
  double x = 0, y = 0;
  GetGraphCursor(panel, Graph, 2, &x, &y);
  EXPECT_DOUBLE_EQ(x, 100);
  EXPECT_DOUBLE_EQ(y, 50);
  EXPECT_EQ(SetGraphCursor(panel, Graph, 1, 1249.5, 128), 0);
  GetGraphCursor(panel, Graph, 1, &x, &y);
  EXPECT_DOUBLE_EQ(x, 1249.5);
  EXPECT_DOUBLE_EQ(y, 128);
  SetGraphCursor(panel, Graph, 1, 2600, -4);
  GetGraphCursor(panel, Graph, 1, &x, &y);
  EXPECT_DOUBLE_EQ(x, 2500);
  EXPECT_DOUBLE_EQ(y, 0);
  EXPECT_EQ(SetGraphCursor(panel, Graph, 3, 0, 0), UIE_INVALID_CURSOR);
  EXPECT_EQ(GetGraphCursor(panel, Graph, 0, &x, &y), UIE_INVALID_CURSOR);

  // Growing the cursor count keeps the existing positions.
  SetGraphCursor(panel, Graph, 2, 300, 200);
  SetCtrlAttribute(panel, Graph, ATTR_NUM_CURSORS, 3);
  GetGraphCursor(panel, Graph, 2, &x, &y);
  EXPECT_DOUBLE_EQ(x, 300);
  GetGraphCursor(panel, Graph, 3, &x, &y);
  EXPECT_GE(x, 0);
  EXPECT_LE(x, 2500);
  SetCtrlAttribute(panel, Graph, ATTR_NUM_CURSORS, 1);
  EXPECT_EQ(GetGraphCursor(panel, Graph, 2, &x, &y), UIE_INVALID_CURSOR);

  // Looks: colour, point style, cross-hair, normal or clamped.
  SetCursorAttribute(panel, Graph, 1, ATTR_CURSOR_COLOR, 0x0000FF);
  SetCursorAttribute(panel, Graph, 1, ATTR_CURSOR_MODE, VAL_CURSOR_CLAMPED);
  SetCursorAttribute(panel, Graph, 1, ATTR_CROSS_HAIR_STYLE, VAL_LONG_CROSS);
  SetCursorAttribute(panel, Graph, 1, ATTR_CURSOR_POINT_STYLE, VAL_SOLID_DIAMOND);
  SetCursorAttribute(panel, Graph, 1, ATTR_CURSOR_ENABLED, 0);
  int value = 0;
  GetCursorAttribute(panel, Graph, 1, ATTR_CURSOR_MODE, &value);
  EXPECT_EQ(value, VAL_CURSOR_CLAMPED);
  GetCursorAttribute(panel, Graph, 1, ATTR_CROSS_HAIR_STYLE, &value);
  EXPECT_EQ(value, VAL_LONG_CROSS);
  GetCursorAttribute(panel, Graph, 1, ATTR_CURSOR_ENABLED, &value);
  EXPECT_EQ(value, 0);
  EXPECT_EQ(SetCursorAttribute(panel, Graph, 1, ATTR_CURSOR_MODE, 7), UIE_INVALID_VALUE);

  // A narrower axis pulls the cursors inside it.
  SetGraphCursor(panel, Graph, 1, 2000, 250);
  SetAxisScalingMode(panel, Graph, VAL_XAXIS, VAL_MANUAL, 0, 1000);
  GetGraphCursor(panel, Graph, 1, &x, &y);
  EXPECT_DOUBLE_EQ(x, 1000);
  EXPECT_EQ(SetAxisScalingMode(panel, Graph, VAL_XAXIS, VAL_MANUAL, 5, 5), UIE_INVALID_VALUE);
}

TEST_F(GraphTest, PlotAreaAndAxesFollowTheGraphAttributes) {
  const int panel = LoadTestPanel();
  int width = 0, height = 0;
  GetCtrlAttribute(panel, Graph, ATTR_PLOT_AREA_WIDTH, &width);
  GetCtrlAttribute(panel, Graph, ATTR_PLOT_AREA_HEIGHT, &height);
  EXPECT_EQ(width, 400);  // one-pixel frame each side
  EXPECT_EQ(height, 320);
  SetCtrlAttribute(panel, Graph, ATTR_HEIGHT, 500);
  GetCtrlAttribute(panel, Graph, ATTR_PLOT_AREA_HEIGHT, &height);
  EXPECT_EQ(height, 498);
  SetCtrlAttribute(panel, Graph, ATTR_PLOT_MARGIN_TOP, 9);
  SetCtrlAttribute(panel, Graph, ATTR_PLOT_MARGIN_BOTTOM, 9);
  SetCtrlAttribute(panel, Graph, ATTR_PLOT_MARGIN_LEFT, 17);
  int top = 0, left = 0;
  GetCtrlAttribute(panel, Graph, ATTR_PLOT_AREA_HEIGHT, &height);
  GetCtrlAttribute(panel, Graph, ATTR_PLOT_AREA_TOP, &top);
  GetCtrlAttribute(panel, Graph, ATTR_PLOT_AREA_LEFT, &left);
  EXPECT_EQ(height, 482);
  EXPECT_EQ(top, 9);
  EXPECT_EQ(left, 17);
  EXPECT_EQ(SetCtrlAttribute(panel, Graph, ATTR_PLOT_MARGIN_RIGHT, -1), UIE_INVALID_VALUE);
  SetCtrlAttribute(panel, Graph, ATTR_YLABEL_VISIBLE, 1);
  GetCtrlAttribute(panel, Graph, ATTR_PLOT_AREA_WIDTH, &width);
  EXPECT_LT(width, 400 - 16);

  int divisions = 0;
  GetCtrlAttribute(panel, Graph, ATTR_XDIVISIONS, &divisions);
  EXPECT_EQ(divisions, 10);
  GetCtrlAttribute(panel, Graph, ATTR_YDIVISIONS, &divisions);
  EXPECT_EQ(divisions, 8);

  int mode = -1;
  double min = 0, max = 0;
  GetAxisScalingMode(panel, Graph, VAL_LEFT_YAXIS, &mode, &min, &max);
  EXPECT_EQ(mode, VAL_MANUAL);
  EXPECT_DOUBLE_EQ(max, 256);
  SetAxisScalingMode(panel, Graph, VAL_LEFT_YAXIS, VAL_AUTOSCALE, 0, 0);
  const double x[] = {0, 5}, y[] = {-3, 7};
  PlotXY(panel, Graph, x, y, 2, VAL_WHITE);
  GetAxisScalingMode(panel, Graph, VAL_LEFT_YAXIS, &mode, &min, &max);
  EXPECT_EQ(mode, VAL_AUTOSCALE);
  EXPECT_DOUBLE_EQ(min, -3);
  EXPECT_DOUBLE_EQ(max, 7);
}

}  // namespace
