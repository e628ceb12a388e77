// Opening, laying out and closing the XY window.
#include "display/XYWindow.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <mutex>
#include <string>

#include "acquisition/DisplayMirror.h"
#include "acquisition/MainPanelHandle.h"
#include "display/ChannelDisplayScale.h"
#include "display/Colours.h"
#include "display/Cursors.h"
#include "display/Formatting.h"
#include "display/Markers.h"
#include "display/XYPanel.h"
#include "display/XYWindowParts.h"
#include "layout/PanelIds.h"
#include "link/InstrumentSession.h"
#include "link/InstrumentSetup.h"
#include "platform/ui/UserInterface.h"

namespace {

// The window's title bar must stay below the desktop's top bar.
constexpr int kLowestTop = 22;
constexpr std::array<const char*, 3> kCouplingLabels = {"AC", "DC", "GND"};

// Opening, closing and the quit all run on the user-interface thread.
XYRect rememberedRect;

void CheckXYMenuItem(bool checked) {
  const int mainPanel = MainPanelHandle.load();
  if (mainPanel <= 0) return;
  const int menuBar = GetPanelMenuBar(mainPanel);
  if (menuBar > 0) SetMenuBarAttribute(menuBar, MainMenuBar::XyItem, ATTR_CHECKED, checked ? 1 : 0);
}

void SetXYStateBit(bool on) {
  std::lock_guard lock(SetupRecordMutex);
  const auto state = LoadField(ProgramSetup.xyState);
  StoreField(ProgramSetup.xyState, on ? (state | kXYStateBit) : (state & ~kXYStateBit));
}

XYPanelControls PanelControls() {
  XYPanelControls controls;
  controls.graph = XYPanel::XYGraph;
  controls.xMarker = {XYPanel::Ch1XYXMarker, XYPanel::Ch2XYXMarker};
  controls.xLabel = {XYPanel::Ch1XYXLabel, XYPanel::Ch2XYXLabel};
  controls.yMarker = {XYPanel::Ch1XYYMarker, XYPanel::Ch2XYYMarker};
  controls.yLabel = {XYPanel::Ch1XYYLabel, XYPanel::Ch2XYYLabel};
  controls.xReferenceCaption = XYPanel::XYReferenceXLabel;
  controls.yReferenceCaption = XYPanel::XYReferenceYLabel;
  return controls;
}

void PlacePanel(int panel) {
  const XYRect rect = RememberedXYRect();
  SetPanelPos(panel, std::max(rect.top, kLowestTop), std::max(rect.left, 0));
  SetPanelSize(panel, rect.height, rect.width);
}

// "CH1: 1V-DC": the source's sensitivity and coupling as the main panel labels them.
std::string AxisCaption(int source) {
  const ChannelDisplayScale scale = LoadChannelDisplayScale(source);
  std::string sensitivity;
  if (scale.voltsPerDivIndex < kSensitivityCount)
    FormatSensitivity(TheInstrument.VoltsPerDivTable[scale.voltsPerDivIndex], TheInstrument.modelNumber, sensitivity);
  const char* coupling = scale.couplingIndex < kCouplingLabels.size() ? kCouplingLabels[scale.couplingIndex] : "";
  return std::string(XYChannelName(source)) + ": " + sensitivity + "-" + coupling;
}

void ColourPanel(int panel, const XYSources& sources) {
  const XYPanelControls controls = PanelControls();
  for (std::size_t channel = 0; channel < kChannels; ++channel) {
    const auto colour = static_cast<int>(ChannelColour[channel]);
    for (int marker : {controls.xMarker[channel], controls.yMarker[channel]})
      SetCtrlAttribute(panel, marker, ATTR_FRAME_COLOR, colour);
    for (int label : {controls.xLabel[channel], controls.yLabel[channel]})
      SetCtrlAttribute(panel, label, ATTR_TEXT_COLOR, colour);
  }
  SetCtrlAttribute(panel, XYPanel::XYSourceXCaption, ATTR_TEXT_COLOR, XYSourceColour(sources.x));
  SetCtrlAttribute(panel, XYPanel::XYSourceYCaption, ATTR_TEXT_COLOR, XYSourceColour(sources.y));
  for (int control : {XYPanel::XYReadoutX1, XYPanel::XYReadoutY1})
    SetCtrlAttribute(panel, control, ATTR_TEXT_COLOR, kFirstCursorColour);
  for (int control : {XYPanel::XYReadoutX2, XYPanel::XYReadoutY2})
    SetCtrlAttribute(panel, control, ATTR_TEXT_COLOR, kSecondCursorColour);
  SetCtrlAttribute(panel, XYPanel::XYAxisXCaption, ATTR_TEXT_COLOR, XYSourceColour(sources.x));
  SetCtrlAttribute(panel, XYPanel::XYAxisYCaption, ATTR_TEXT_COLOR, XYSourceColour(sources.y));
}

void CloseXYPanel(int panel) {
  SetXYStateBit(false);
  // Cleared first: the acquisition thread stops drawing on the panel before it goes.
  XYPanelOpen = 0;
  XYRect rect;
  GetPanelAttribute(panel, ATTR_TOP, &rect.top);
  GetPanelAttribute(panel, ATTR_LEFT, &rect.left);
  GetPanelAttribute(panel, ATTR_HEIGHT, &rect.height);
  GetPanelAttribute(panel, ATTR_WIDTH, &rect.width);
  SetRememberedXYRect(rect);
  DiscardPanel(panel);
  CheckXYMenuItem(false);
}

void LayOutXYPanel(int panel) {
  const bool cursorsExist = XYCursor1.load() != 0 && XYCursor2.load() != 0;
  if (cursorsExist) SaveXYCursorPositions(panel);
  int height = 0, width = 0;
  GetPanelAttribute(panel, ATTR_HEIGHT, &height);
  GetPanelAttribute(panel, ATTR_WIDTH, &width);
  const int column = XYGraphLeft.load();
  SetCtrlAttribute(panel, XYPanel::XYGraph, ATTR_HEIGHT, height);
  SetCtrlAttribute(panel, XYPanel::XYGraph, ATTR_WIDTH, width - column + kXYPlotInset);
  for (int caption : {XYPanel::XYAxisXCaption, XYPanel::XYAxisYCaption})
    SetCtrlAttribute(panel, caption, ATTR_LEFT, column + kXYPlotInset);
  if (cursorsExist) RestoreXYCursorPositions(panel);
  PlaceXYMarkers();
  ProcessDrawEvents();
}

}  // namespace

void SetRememberedXYRect(const XYRect& rect) { rememberedRect = rect; }

XYRect RememberedXYRect() { return rememberedRect; }

const char* XYChannelName(int channel) { return channel == 1 ? "CH2" : "CH1"; }

int XYSourceColour(int source) { return static_cast<int>(ChannelColour[source == 1 ? 1 : 0]); }

XYSources CurrentXYSources() {
  return {LoadField(ProgramSetup.xySourceX) == 1 ? 1 : 0, LoadField(ProgramSetup.xySourceY) == 1 ? 1 : 0};
}

void ShowXYAxisCaptions() {
  const int panel = XYPanelOpen.load();
  if (panel <= 0) return;
  const XYSources sources = CurrentXYSources();
  SetCtrlVal(panel, XYPanel::XYAxisXCaption, AxisCaption(sources.x));
  SetCtrlVal(panel, XYPanel::XYAxisYCaption, AxisCaption(sources.y));
}

void OpenXYPanel() {
  if (XYPanelOpen.load() > 0) return;
  const int panel = LoadPanel(0, PanelFileName, XYPanel::Resource);
  if (panel <= 0) return;
  PlacePanel(panel);
  SetXYPanelControls(PanelControls());
  XYPanelOpen = panel;
  const XYSources sources = CurrentXYSources();
  ColourPanel(panel, sources);
  ShowXYAxisCaptions();
  const std::string title =
      std::string("- XY : X=") + XYChannelName(sources.x) + ", Y=" + XYChannelName(sources.y);
  SetPanelAttribute(panel, ATTR_TITLE, title);
  ConfigureXYCursors();
  AjustTraceXY(panel, EVENT_PANEL_SIZE, nullptr, 0, 0);
  DisplayPanel(panel);
  CheckXYMenuItem(true);
}

void ToggleXYMode() {
  if (XYPanelOpen.load() > 0) {
    AjustTraceXY(XYPanelOpen.load(), EVENT_CLOSE, nullptr, 0, 0);
    return;
  }
  SetXYStateBit(true);
  StoreField(ProgramSetup.xySourceX, 0);
  StoreField(ProgramSetup.xySourceY, 1);
  OpenXYPanel();
}

int AjustTraceXY(int /*panel*/, int event, void* /*callbackData*/, int /*eventData1*/, int /*eventData2*/) {
  // Also called directly at shutdown and by the menu: the open window is the one meant.
  const int panel = XYPanelOpen.load();
  if (panel <= 0) return 0;
  if (event == EVENT_CLOSE) CloseXYPanel(panel);
  else if (event == EVENT_PANEL_SIZE) LayOutXYPanel(panel);
  return 0;
}
