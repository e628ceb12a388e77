#include "acquisition/FrameProcessing.h"

#include <array>
#include <mutex>

#include "acquisition/Acquisition.h"
#include "acquisition/AcquisitionSupport.h"
#include "acquisition/ChannelSamples.h"
#include "acquisition/DisplayMirror.h"
#include "acquisition/MainPanelHandle.h"
#include "catalogue/MessageCatalogue.h"
#include "layout/PanelIds.h"
#include "link/InstrumentSetup.h"
#include "platform/ui/UserInterface.h"

namespace {

constexpr int kStoppedRunState = 1;
constexpr int kStoppedPhase = 0;
constexpr int kLastPhase = 7;
constexpr int kLedOnAbovePhase = 4;
constexpr std::size_t kMeasurementBlockBytes = 96;

struct ChannelControls {
  int maskBit;
  int marker;
  int markerLabel;
};
constexpr std::array<ChannelControls, kChannels> kChannelControls = {{
    {0x1, MainPanel::Ch1PositionMarker, MainPanel::Ch1PositionLabel},
    {0x2, MainPanel::Ch2PositionMarker, MainPanel::Ch2PositionLabel},
}};

// What this frame found due; each note is acted on and cleared within it.
struct FrameNotes {
  bool redrawDue = false;
  bool cursorRefreshDue = false;
};

void ApplyRunStop(const FrameHeader& header, FrameNotes& notes) {
  if (header.RunStop == Mirror.RunStopSeen.load()) return;
  {
    std::lock_guard lock(SetupRecordMutex);
    StoreField(ProgramSetup.runState, header.RunStop);
  }
  Mirror.RunStopSeen.store(header.RunStop);
  notes.cursorRefreshDue = header.RunStop == kStoppedRunState;
  Mirror.StateSeen.store(-1);
}

void ShowPhase(const FrameHeader& header, int panel) {
  int phase = header.RunStop == kStoppedRunState ? kStoppedPhase : header.AcquisitionState;
  SetCtrlVal(panel, MainPanel::AcquisitionLed, phase > kLedOnAbovePhase ? 1 : 0);
  if (phase == Mirror.StateSeen.load()) return;
  if (phase > kLastPhase) phase = kLastPhase;
  // A negative phase has no row of its own: the catalogue gives the empty text.
  SetCtrlVal(panel, MainPanel::AcqStateText, AcquisitionStateText(phase, CurrentLanguage()));
  Mirror.StateSeen.store(phase);
}

void NoteChannelMask(const FrameHeader& header, FrameNotes& notes) {
  if (header.ChannelMask == Mirror.ChannelMaskSeen.load()) return;
  notes.redrawDue = true;
  Mirror.ChannelMaskSeen.store(header.ChannelMask);
}

void ApplyTrigger(const FrameHeader& header) {
  if (header.TriggerSource != Mirror.TriggerSourceSeen.load()) {
    Mirror.DisplayChanged.store(1);
    Mirror.TriggerSourceSeen.store(header.TriggerSource);
  }
  const int source = TriggerTableIndex(header.TriggerSource);
  const double level = header.TriggerLevel;
  const double position = header.TriggerPosition / kRecordPointsPerDivision;
  if (Mirror.TriggerLevelSeen[source].load() == level && Mirror.TriggerPositionSeen.load() == position) return;
  Mirror.TriggerLevelSeen[source].store(level);
  Mirror.TriggerPositionSeen.store(position);
  Mirror.DisplayChanged.store(1);
}

void ApplyVerticalPositions(const FrameHeader& header, FrameNotes& notes) {
  if (header.VerticalPosition[0] == Mirror.VerticalPositionSeen[0].load() &&
      header.VerticalPosition[1] == Mirror.VerticalPositionSeen[1].load())
    return;
  for (int channel = 0; channel < kChannels; ++channel)
    Mirror.VerticalPositionSeen[channel].store(header.VerticalPosition[channel]);
  Mirror.DisplayChanged.store(1);
  notes.redrawDue = true;
}

void RedrawWhatChanged(const FrameDisplay& display, FrameNotes& notes) {
  if (Mirror.DisplayChanged.exchange(0) != 0) CallIfSet(display.triggerMoved);
  if (!notes.redrawDue) return;
  notes.redrawDue = false;
  CallIfSet(display.redrawMarkers);
}

void FollowChannelMask(const FrameHeader& header, int channel, int panel) {
  const ChannelControls& controls = kChannelControls[channel];
  const int present = (header.ChannelMask & controls.maskBit) != 0 ? 1 : 0;
  if (present == Mirror.ChannelShown[channel].load()) return;
  Mirror.ChannelShown[channel].store(present);
  SetCtrlAttribute(panel, controls.marker, ATTR_VISIBLE, present);
  SetCtrlAttribute(panel, controls.markerLabel, ATTR_VISIBLE, present);
}

// Copies a present channel's block(s) at `offset` and moves the offset past
// them. Blocks that would run past the frame's end are not copied (the
// channel keeps its previous codes); the offset still moves, so nothing
// after them is taken from the wrong place.
void TakeChannelSamples(const FrameHeader& header, int channel, std::span<const std::uint8_t> frame,
                        std::size_t& offset) {
  const bool twoBlocks = header.PointsPerChannel == kTwoBlockPoints;
  const std::size_t bytes = twoBlocks ? 2 * kBlockPoints : kBlockPoints;
  const std::size_t start = offset;
  offset += bytes;
  Mirror.ChannelShown[channel].store(1);
  if (start > frame.size() || bytes > frame.size() - start) return;
  const auto blockA = frame.subspan(start).first<kBlockPoints>();
  const auto blockB = twoBlocks ? frame.subspan(start + kBlockPoints).first<kBlockPoints>() : blockA;
  ChannelSamples.Store(channel, blockA, blockB);
}

std::size_t TakeSamples(const FrameHeader& header, std::span<const std::uint8_t> frame, int panel) {
  std::size_t offset = header.length;
  for (int channel = 0; channel < kChannels; ++channel) {
    FollowChannelMask(header, channel, panel);
    const bool present = (header.ChannelMask & kChannelControls[channel].maskBit) != 0;
    if (present && (header.FrameFlags & kFrameHasSamples) != 0) TakeChannelSamples(header, channel, frame, offset);
  }
  return offset;
}

void PassMeasurements(const FrameDisplay& display, const FrameHeader& header, std::span<const std::uint8_t> frame,
                      std::size_t offset) {
  if ((header.FrameFlags & kFrameHasMeasurements) == 0) return;
  if (offset > frame.size() || kMeasurementBlockBytes > frame.size() - offset) return;
  CallIfSet(display.updateMeasurements, frame.data() + offset);
}

void RefreshCursors(const FrameDisplay& display, FrameNotes& notes) {
  bool automaticMeasurements = false;
  {
    std::lock_guard lock(SetupRecordMutex);
    automaticMeasurements = LoadField(ProgramSetup.autoMeasurementsOn) != 0;
  }
  const bool cursorsActive = display.cursorsActive && display.cursorsActive();
  if ((cursorsActive && !automaticMeasurements) || notes.cursorRefreshDue) CallIfSet(display.refreshCursorReadouts);
  notes.cursorRefreshDue = false;
}

bool ReferenceDisplayEnabled() {
  std::lock_guard lock(SetupRecordMutex);
  return LoadField(ProgramSetup.ref1Displayed) != 0 || LoadField(ProgramSetup.ref2Displayed) != 0;
}

}  // namespace

void ProcessFrame(const FrameHeader& header, std::span<const std::uint8_t> frame) {
  const std::shared_ptr<const FrameDisplay> display = CurrentFrameDisplay();
  const int panel = MainPanelHandle.load();
  FrameNotes notes;
  ApplyRunStop(header, notes);
  ShowPhase(header, panel);
  NoteChannelMask(header, notes);
  ApplyTrigger(header);
  ApplyVerticalPositions(header, notes);
  RedrawWhatChanged(*display, notes);
  const std::size_t offset = TakeSamples(header, frame, panel);
  PassMeasurements(*display, header, frame, offset);
  RefreshCursors(*display, notes);
  if (ReferenceDisplayEnabled()) CaptureReferences();
  CallIfSet(display->drawTraces);
}
