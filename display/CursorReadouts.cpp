// The measurement cursors' readouts: times, their difference and its
// inverse, and each channel's two values and their difference.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <string>
#include <string_view>

#include "acquisition/ChannelSamples.h"
#include "acquisition/DisplayMirror.h"
#include "acquisition/MainPanelHandle.h"
#include "display/ChannelDisplayScale.h"
#include "display/Cursors.h"
#include "display/Formatting.h"
#include "display/ReadoutControls.h"
#include "display/ZoomRecord.h"
#include "layout/PanelIds.h"
#include "link/InstrumentSession.h"
#include "link/InstrumentSetup.h"
#include "platform/ui/UserInterface.h"

namespace {

// Acquisitions never run faster than 100 ns/div: faster timebases are zooms
// of it, and the times are those of the acquisition.
constexpr int kFastestTimedIndex = 7;
constexpr double kFastestTimedSeconds = 1e-7;

struct CursorPoint {
  double x = 0.0;
  double y = 0.0;
};

struct Readout {
  int panel;
  bool tracking;
  int reference;  // 0 CH1, 1 CH2
  CursorPoint first, second;
};

// "<label><value><unit>", or the label alone when the value has no text.
std::string Line(std::string_view label, double value, std::string_view unit) {
  std::string text;
  FormatEngineering(value, unit, text);
  return std::string(label) + text;
}

bool LoadedTrace(int channel) {
  return LoadField(channel == 0 ? ProgramSetup.ch1LoadedTrace : ProgramSetup.ch2LoadedTrace) != 0;
}

bool Displayed(int channel) {
  return LoadField(channel == 0 ? ProgramSetup.ch1Displayed : ProgramSetup.ch2Displayed) != 0;
}

// The cursor sits on the reference channel's trace as shown, between two
// samples on the straight line joining them.
void TrackTrace(const Readout& readout, int cursor, CursorPoint& point) {
  const ChannelBlocks blocks = ChannelSamples.Channel(readout.reference);
  const SampleBlock& shown = Mirror.ZoomActive.load() != 0 ? blocks.blockB : blocks.blockA;
  // The graph lets a cursor reach x = 2500, one past the last sample.
  const double x = std::clamp(point.x, 0.0, static_cast<double>(kBlockPoints - 1));
  const auto i = static_cast<std::size_t>(x);
  const double f = x - static_cast<double>(i);
  double y = shown[i];
  if (i + 1 < kBlockPoints) y += f * (shown[i + 1] - static_cast<double>(shown[i]));
  point.y = std::max(std::min(y, 255.0), 1.0);
  SetGraphCursor(readout.panel, MainPanel::TraceGraph, cursor, point.x, point.y);
}

double SecondsPerDivision(const Readout& readout) {
  int index = EffectiveTimebaseIndex();
  if (LoadField(ProgramSetup.autoMeasurementsOn) == 0 && LoadedTrace(readout.reference))
    index = TimebaseIndexInTable(LoadChannelDisplayScale(readout.reference).storedTraceTimebaseIndex);
  return index < kFastestTimedIndex ? kFastestTimedSeconds : SecondsPerDivTable[static_cast<std::size_t>(index)];
}

using GroupTexts = std::array<std::string, 4>;

void WriteGroup(int panel, const ReadoutGroup& group, const GroupTexts& texts) {
  for (std::size_t line = 0; line < texts.size(); ++line) SetCtrlVal(panel, group.lines[line], texts[line]);
}

void WriteTimeReadouts(const Readout& readout) {
  const double perDivision = SecondsPerDivision(readout);
  const ZoomPlace zoom = RecordedZoom();
  const double perPoint = perDivision * zoom.factor / kRecordPointsPerDivision;
  const double start = perDivision * zoom.position / kRecordPointsPerDivision;
  const double span = perPoint * std::fabs(readout.second.x - readout.first.x);
  WriteGroup(readout.panel, kTimeReadouts,
             {Line("t1 = ", perPoint * readout.first.x + start, "s"),
              Line("t2 = ", perPoint * readout.second.x + start, "s"), Line("dt = ", span, "s"),
              Line("1/dt = ", 1.0 / span, "Hz")});
}

// Divisions from the centre line of a cursor's code.
double Divisions(double y) { return (y - 128.0) / 256.0 * 8.0; }

GroupTexts ChannelTexts(const Readout& readout, int channel) {
  const char* header = channel == 0 ? (LoadedTrace(0) ? "MEM1" : "CH1") : (LoadedTrace(1) ? "MEM2" : "CH2");
  if (!Displayed(channel)) return {header, "Y1 = ...", "Y2 = ...", "dY = ..."};
  const ChannelDisplayScale scale = LoadChannelDisplayScale(channel);
  const double voltsPerDiv =
      scale.voltsPerDivIndex < kSensitivityCount ? TheInstrument.VoltsPerDivTable[scale.voltsPerDivIndex] : 0.0;
  const double perDivision = scale.probeFactor * voltsPerDiv;
  const double offset = Mirror.VerticalPositionSeen[static_cast<std::size_t>(channel)].load() / 22.0;
  const double d1 = Divisions(readout.first.y);
  const double d2 = Divisions(readout.second.y);
  const std::string_view unit(scale.unit.data());
  return {header, Line("Y1 = ", perDivision * (d1 - offset), unit), Line("Y2 = ", perDivision * (d2 - offset), unit),
          Line("dY = ", perDivision * std::fabs(d2 - d1), unit)};
}

void WriteChannelReadouts(const Readout& readout, int channel) {
  WriteGroup(readout.panel, kChannelReadouts[static_cast<std::size_t>(channel)], ChannelTexts(readout, channel));
}

}  // namespace

void UpdateCursorReadouts() {
  const int first = CursorT1.load();
  const int second = CursorT2.load();
  Readout readout{MainPanelHandle.load(), false, 0, {}, {}};
  if (first == 0 || readout.panel <= 0) return;
  GetGraphCursor(readout.panel, MainPanel::TraceGraph, first, &readout.first.x, &readout.first.y);
  GetGraphCursor(readout.panel, MainPanel::TraceGraph, second, &readout.second.x, &readout.second.y);
  readout.tracking = CursorsTrack();
  readout.reference = CursorReferenceChannel();
  if (readout.tracking) {
    TrackTrace(readout, first, readout.first);
    TrackTrace(readout, second, readout.second);
  }
  WriteTimeReadouts(readout);
  for (int channel = 0; channel < kChannels; ++channel)
    if (!readout.tracking || channel == readout.reference) WriteChannelReadouts(readout, channel);
}
