#include "display/Measurements.h"

#include <array>
#include <mutex>
#include <string>
#include <utility>

#include "catalogue/MessageCatalogue.h"
#include "display/Colours.h"
#include "acquisition/MainPanelHandle.h"
#include "display/MeasurementBlock.h"
#include "layout/PanelIds.h"
#include "link/CommandSet.h"
#include "link/InstrumentSession.h"
#include "link/InstrumentSetup.h"
#include "platform/ui/UserInterface.h"

std::atomic<bool> MeasurementsShown{false};

namespace {

constexpr std::array<int, 5> kMeasurementAreaControls = {MainPanel::MeasFrame, MainPanel::MeasurementTitle,
                                                         MainPanel::CursorMeasurementTitle,
                                                         MainPanel::MeasLabelsText, MainPanel::MeasValuesText};

// The last block. The texts are formatted and written while it is held, so a
// refresh that read an older block can never overwrite newer texts.
std::mutex lastBlockMutex;
MeasurementBlock lastBlock;  // MeasurementValid 0 until the first block
MeasurementKeeper keeper;

std::array<std::string, kDisplayedMeasurementCount> CurrentLabels() {
  std::array<std::string, kDisplayedMeasurementCount> labels;
  const int language = CurrentLanguage();
  for (std::size_t line = 0; line < labels.size(); ++line)
    labels[line] = MeasurementLabel(kDisplayedMeasurementLabels[line], language);
  return labels;
}

void WriteMeasurementTexts(const MeasurementBlock& block) {
  const int panel = MainPanelHandle.load();
  if (panel <= 0) return;
  const MeasurementTexts texts = FormatMeasurementLines(block, CurrentLabels());
  SetCtrlVal(panel, MainPanel::MeasLabelsText, texts.labels);
  SetCtrlVal(panel, MainPanel::MeasValuesText, texts.values);
}

void SetMeasurementAreaVisible(int panel, bool visible) {
  for (int control : kMeasurementAreaControls) SetCtrlAttribute(panel, control, ATTR_VISIBLE, visible ? 1 : 0);
}

}  // namespace

void UpdateMeasurements(const std::uint8_t* block) {
  const MeasurementBlock decoded = DecodeMeasurementBlock(block);
  std::lock_guard lock(lastBlockMutex);
  lastBlock = decoded;
  if (keeper) keeper(HostOrderBytes(decoded));
  WriteMeasurementTexts(lastBlock);
}

void SetMeasurementKeeper(MeasurementKeeper newKeeper) {
  std::lock_guard lock(lastBlockMutex);
  keeper = std::move(newKeeper);
}

void RefreshMeasurementTexts() {
  std::lock_guard lock(lastBlockMutex);
  WriteMeasurementTexts(lastBlock);
}

void ShowAutoMeasurements() {
  MeasurementsShown = true;
  const int channel = LoadField(ProgramSetup.referenceChannel);
  SetMeasurementColour(channel);
  const int panel = MainPanelHandle.load();
  SetMeasurementAreaVisible(panel, true);
  WriteMeasurementTitles(panel, channel);
  // The labels follow a language change made while the area was hidden.
  RefreshMeasurementTexts();
  SetAutoMeasurements(TheInstrument.session, 1);
}

void HideAutoMeasurements() {
  MeasurementsShown = false;
  SetMeasurementAreaVisible(MainPanelHandle.load(), false);
  SetAutoMeasurements(TheInstrument.session, 0);
}

void SetMeasurementColour(int channel) {
  if (channel < 0 || channel >= static_cast<int>(ChannelColour.size())) return;
  const int panel = MainPanelHandle.load();
  const auto colour = static_cast<int>(ChannelColour[static_cast<std::size_t>(channel)]);
  SetCtrlAttribute(panel, MainPanel::MeasLabelsText, ATTR_TEXT_COLOR, colour);
  SetCtrlAttribute(panel, MainPanel::MeasValuesText, ATTR_TEXT_COLOR, colour);
}

void WriteMeasurementTitles(int panel, int referenceChannel) {
  SetCtrlVal(panel, MainPanel::MeasurementTitle, MeasurementTitleText(referenceChannel));
  SetCtrlVal(panel, MainPanel::CursorMeasurementTitle, CatalogueText(Msg::CursorMeasurements));
}
