// One acquisition frame's processing on the acquisition thread's side: the
// header parsed, the mirror and samples updated, the markers and measurements
// redrawn when due, and both channels drawn as bands into the toolkit model
// (headless), with persistence off and on. Two frames alternate so that the
// samples change every time, as they do on a live signal.
#include <benchmark/benchmark.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "acquisition/FrameHeader.h"
#include "acquisition/FrameProcessing.h"
#include "acquisition/MainPanelHandle.h"
#include "display/Cursors.h"
#include "display/DisplayState.h"
#include "display/FrameDisplayHooks.h"
#include "display/TraceDrawing.h"
#include "layout/PanelIds.h"
#include "link/InstrumentSetup.h"
#include "platform/ui/Headless.h"
#include "platform/ui/UserInterface.h"

namespace {

// Both channels, one block each, and the measurement block.
std::vector<std::uint8_t> Frame(double phase) {
  const std::string header = "3,0,0,0,0,3,2500,0,0,0,0,-25000,6,0,0,";
  std::vector<std::uint8_t> frame(header.begin(), header.end());
  for (int channel = 0; channel < 2; ++channel)
    for (int k = 0; k < 1250; ++k) {
      const double centre = 128 + (60 + 20 * channel) * std::sin(2 * 3.14159265 * k / 250.0 + phase);
      frame.push_back(static_cast<std::uint8_t>(centre - 2));
      frame.push_back(static_cast<std::uint8_t>(centre + 2));
    }
  frame.resize(frame.size() + 96, 0);
  return frame;
}

void BM_OneFrame(benchmark::State& state) {
  headless::Use();
  headless::Reset();
  const int panel = LoadPanel(0, ORNI_PANEL_FILE, MainPanel::Resource);
  MainPanelHandle = panel;
  StoreField(ProgramSetup.ch1Displayed, 1);
  StoreField(ProgramSetup.ch2Displayed, 1);
  ConnectDisplayToAcquisition();
  ResetDrawingState();
  PersistenceOn = static_cast<int>(state.range(0));
  const std::array<std::vector<std::uint8_t>, 2> frames = {Frame(0.0), Frame(0.3)};
  int next = 0;
  for (auto _ : state) {
    const std::vector<std::uint8_t>& frame = frames[static_cast<std::size_t>(next ^= 1)];
    const auto header = ParseFrameHeader(frame);
    ProcessFrame(*header, frame);
  }
  state.SetLabel(state.range(0) != 0 ? "persistence on" : "persistence off");
  MainPanelHandle = 0;
  headless::Reset();
}
BENCHMARK(BM_OneFrame)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
