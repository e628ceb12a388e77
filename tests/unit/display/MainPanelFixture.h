// The main panel loaded on the headless front-end with the display's state at
// its start; optionally the simulated instrument on the program's session.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "acquisition/ChannelSamples.h"
#include "acquisition/DisplayMirror.h"
#include "acquisition/MainPanelHandle.h"
#include "acquisition/ReferenceStore.h"
#include "display/Cursors.h"
#include "display/DisplayState.h"
#include "display/MainPanelLayout.h"
#include "display/Markers.h"
#include "display/TraceDrawing.h"
#include "display/XYPanel.h"
#include "layout/PanelIds.h"
#include "link/InstrumentSession.h"
#include "link/InstrumentSetup.h"
#include "link/LinkBusy.h"
#include "platform/ui/Headless.h"
#include "platform/ui/UserInterface.h"
#include "platform/visa/Backend.h"
#include "sim/Instrument.h"
#include "support/HeadlessTestSupport.h"

namespace displaytest {

using Ints = std::vector<int>;
inline constexpr int kOneMillisecond = 18;  // timebase index
// The measurement gate sent whenever the cursors are laid out again.
inline const std::string kGate = ":DISP:CURS:TIME1:POS 0\r:DISP:CURS:TIME2:POS 49999\r";

inline void ResetDisplayState() {
  Mirror.ChannelShown[0] = Mirror.ChannelShown[1] = 0;
  Mirror.ChannelMaskSeen = Mirror.TriggerSourceSeen = Mirror.ZoomActive = 0;
  Mirror.VerticalPositionSeen[0] = Mirror.VerticalPositionSeen[1] = 0;
  Mirror.TriggerLevelSeen[0] = Mirror.TriggerLevelSeen[1] = Mirror.TriggerPositionSeen = 0.0;
  Layout.MarkerColumn = 0;
  Layout.GraphWidthPx = kStartGraphWidth;
  Layout.GraphHeightPx = kStartGraphHeight;
  TriggerCursor = CursorT1 = CursorT2 = PersistenceOn = XYPanelOpen = XYGraphLeft = 0;
  SetXYPanelControls({});
  TriggerPointX = TriggerPointY = 0.0;
  ResetDrawingState();
  ProgramReferences.Replace(ReferenceData{});
  ChannelSamples.ClearChannel(0);
  ChannelSamples.ClearChannel(1);
  ProgramSetup = InstrumentSetup{};
  ProgramSetup.zoomFactor = 20.0f;
  ProgramSetup.ch1ProbeFactor = ProgramSetup.ch2ProbeFactor = 1.0f;
  SetPanelRefresher(nullptr);
  LinkBusy = 0;
}

// A commit as the main panel's callback received it, with the control's value then.
struct Commit {
  int control;
  double value;
  bool operator==(const Commit&) const = default;
};

class MainPanelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    headless::Use();
    headless::Reset();
    testsupport::FailOnUnansweredQuestions();
    ResetDisplayState();
    panel_ = LoadPanel(0, ORNI_PANEL_FILE, MainPanel::Resource);
    ASSERT_GT(panel_, 0);
    MainPanelHandle = panel_;
  }
  void TearDown() override {
    if (sim_) CloseInstrument(TheInstrument, &TheInstrument.session, 0);
    TheInstrument = InstrumentSession{};
    visa::ClearInstruments();
    MainPanelHandle = 0;
    ResetDisplayState();
    headless::Reset();
  }

  // The program's session on a simulated KVX162, its received bytes cleared.
  void ConnectInstrument() {
    visa::ClearInstruments();
    sim_ = std::make_shared<kvxsim::SimHandle>(kvxsim::InstrumentOptions{});
    visa::AddInstrument(sim_);
    TheInstrument = InstrumentSession{};
    ASSERT_EQ(OpenInstrument(TheInstrument, sim_->Descriptor().c_str(), &TheInstrument.session), 0);
    sim_->TakeReceived();
  }
  // Binds "ControleScope" to a stand-in that records the commits it gets.
  void RecordCommits() {
    RegisterCallback("ControleScope", CtrlCallback([this](int panel, int control, int event, void*, int, int) {
                       double value = 0;
                       GetCtrlVal(panel, control, &value);
                       if (event == EVENT_COMMIT) commits_.push_back({control, value});
                       return 0;
                     }));
  }
  std::vector<Commit> TakeCommits() { return std::exchange(commits_, {}); }

  std::string Received() {
    const std::vector<std::uint8_t> bytes = sim_->TakeReceived();
    return {bytes.begin(), bytes.end()};
  }

  // Of the main panel unless `panel` is given.
  int Attribute(int control, int attribute, int panel = 0) const {
    int value = -1;
    GetCtrlAttribute(panel != 0 ? panel : panel_, control, attribute, &value);
    return value;
  }
  // Attributes of one control, or one attribute of several controls, to compare at once.
  Ints Attributes(int control, std::initializer_list<int> attributes, int panel = 0) const {
    Ints values;
    for (int attribute : attributes) values.push_back(Attribute(control, attribute, panel));
    return values;
  }
  Ints OfEach(std::initializer_list<int> controls, int attribute, int panel = 0) const {
    Ints values;
    for (int control : controls) values.push_back(Attribute(control, attribute, panel));
    return values;
  }
  double Value(int control) const {
    double value = -1;
    GetCtrlVal(panel_, control, &value);
    return value;
  }
  std::string TextOf(int control) const {
    std::string text;
    GetCtrlVal(panel_, control, &text);
    return text;
  }
  std::pair<double, double> CursorAt(int cursor, int graph = MainPanel::TraceGraph) const {
    std::pair<double, double> place{-1, -1};
    GetGraphCursor(panel_, graph, cursor, &place.first, &place.second);
    return place;
  }
  int CursorAttribute(int cursor, int attribute) const {
    int value = -1;
    GetCursorAttribute(panel_, MainPanel::TraceGraph, cursor, attribute, &value);
    return value;
  }
  int PlotAreaHeight() const { return Attribute(MainPanel::TraceGraph, ATTR_PLOT_AREA_HEIGHT); }

  int panel_ = 0;
  std::shared_ptr<kvxsim::SimHandle> sim_;
  std::vector<Commit> commits_;
};

}  // namespace displaytest
