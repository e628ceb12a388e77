// The XY cursors' readouts: each cursor's place in the units of the X and Y
// source channels, and their differences.
#include <array>
#include <cmath>
#include <string>
#include <string_view>

#include "acquisition/DisplayMirror.h"
#include "display/ChannelDisplayScale.h"
#include "display/Formatting.h"
#include "display/XYPanel.h"
#include "display/XYWindow.h"
#include "display/XYWindowParts.h"
#include "layout/PanelIds.h"
#include "link/InstrumentSession.h"
#include "link/InstrumentSetup.h"
#include "platform/ui/UserInterface.h"

namespace {

// XYGraph spans its 8 divisions with 255 codes around the centre code 128.
constexpr double kCentreCode = 128.0;
constexpr double kCodesPerScreen = 255.0;
constexpr double kDivisionsPerScreen = 8.0;

struct AxisReadout {
  std::array<int, 3> controls;              // first, second, difference
  std::array<std::string_view, 3> labels;   // five characters each
  std::array<std::string_view, 3> unshown;  // what each reads while its source is off
};

constexpr AxisReadout kXReadout = {{XYPanel::XYReadoutX1, XYPanel::XYReadoutX2, XYPanel::XYReadoutDX},
                                   {"X1 = ", "X2 = ", "dX = "},
                                   {"X1 = ...", "X2 = ...", "dX = ..."}};
constexpr AxisReadout kYReadout = {{XYPanel::XYReadoutY1, XYPanel::XYReadoutY2, XYPanel::XYReadoutDY},
                                   {"Y1 = ", "Y2 = ", "dY = "},
                                   {"Y1 = ...", "Y2 = ", "dY = "}};

bool Displayed(int channel) {
  return LoadField(channel == 0 ? ProgramSetup.ch1Displayed : ProgramSetup.ch2Displayed) != 0;
}

double VoltsPerDivision(int channel) {
  const ChannelDisplayScale scale = LoadChannelDisplayScale(channel);
  if (scale.voltsPerDivIndex >= kSensitivityCount) return 0.0;
  return scale.probeFactor * TheInstrument.VoltsPerDivTable[scale.voltsPerDivIndex];
}

std::string Line(std::string_view label, double value, std::string_view unit) {
  std::string text;
  FormatEngineering(value, unit, text);
  return std::string(label) + text;
}

// Only whole divisions of the channel's position count here, unlike the
// main cursors.
double Divisions(double code, int channel) {
  const int wholeDivisions = Mirror.VerticalPositionSeen[static_cast<std::size_t>(channel)].load() / 22;
  return (code - kCentreCode) / kCodesPerScreen * kDivisionsPerScreen - wholeDivisions;
}

void WriteAxis(int panel, const AxisReadout& axis, int source, double first, double second) {
  if (!Displayed(source)) {
    for (std::size_t i = 0; i < axis.controls.size(); ++i) SetCtrlVal(panel, axis.controls[i], std::string(axis.unshown[i]));
    return;
  }
  const double perDivision = VoltsPerDivision(source);
  const std::string unit(LoadChannelDisplayScale(source).unit.data());
  const double d1 = Divisions(first, source);
  const double d2 = Divisions(second, source);
  SetCtrlVal(panel, axis.controls[0], Line(axis.labels[0], perDivision * d1, unit));
  SetCtrlVal(panel, axis.controls[1], Line(axis.labels[1], perDivision * d2, unit));
  SetCtrlVal(panel, axis.controls[2], Line(axis.labels[2], perDivision * std::fabs(d2 - d1), unit));
}

}  // namespace

void UpdateXYReadouts() {
  const int panel = XYPanelOpen.load();
  const int first = XYCursor1.load();
  const int second = XYCursor2.load();
  if (panel <= 0 || first == 0) return;
  double x1 = 0.0, y1 = 0.0, x2 = 0.0, y2 = 0.0;
  if (GetGraphCursor(panel, XYPanel::XYGraph, first, &x1, &y1) < 0) return;
  if (GetGraphCursor(panel, XYPanel::XYGraph, second, &x2, &y2) < 0) return;
  const XYSources sources = CurrentXYSources();
  WriteAxis(panel, kXReadout, sources.x, x1, x2);
  WriteAxis(panel, kYReadout, sources.y, y1, y2);
}
