#include "app/PreferencesBlock.h"

#include <algorithm>
#include <cstring>

#include "link/InstrumentSession.h"

PreferencesBlock ProgramPreferences{};

namespace {

// The smallest top keeps the title bar below the top edge of the screen; the
// largest left keeps a strip of the window on the screen to grab it by.
constexpr std::int32_t kMinTop = 20;
constexpr std::int32_t kRightMargin = 20;

template <std::size_t N>
void Terminate(char (&text)[N]) {
  text[N - 1] = '\0';
}

template <std::size_t N, std::size_t M>
void CopyText(char (&to)[N], const char (&from)[M]) {
  static_assert(N == M);
  std::memcpy(to, from, N);
  Terminate(to);
}

}  // namespace

void PlaceWindowsByDefault(PreferencesBlock& block) {
  block.mainPanelRect = kDefaultMainPanelRect;
  block.xyPanelRect = kDefaultXyPanelRect;
}

void ClampToMonitor(PanelRect& rect, MonitorSize monitor) {
  // The lower bounds are applied last so that even a monitor size that makes
  // no sense leaves the window on the screen.
  rect.top = std::max(kMinTop, std::min(rect.top, monitor.height));
  rect.left = std::max(0, std::min(rect.left, monitor.width - kRightMargin));
}

void BoundSizeToMonitor(PanelRect& rect, MonitorSize monitor) {
  rect.height = std::max(0, std::min(rect.height, monitor.height));
  rect.width = std::max(0, std::min(rect.width, monitor.width));
}

void MakeLoadedBlockSafe(PreferencesBlock& block, MonitorSize monitor) {
  for (PanelRect* rect : {&block.mainPanelRect, &block.xyPanelRect, &block.spareRect}) {
    ClampToMonitor(*rect, monitor);
    BoundSizeToMonitor(*rect, monitor);
  }
  Terminate(block.modelName);
  Terminate(block.idnTag);
  Terminate(block.serialNumber);
  if (std::memchr(block.tracePath, '\0', sizeof block.tracePath) == nullptr)
    std::memset(block.tracePath, 0, sizeof block.tracePath);
  block.PersistenceOn = block.PersistenceOn != 0 ? 1 : 0;
}

void KeepInstrumentIdentity(PreferencesBlock& block, const InstrumentSession& instrument) {
  CopyText(block.modelName, instrument.modelName);
  CopyText(block.idnTag, instrument.idnTag);
  CopyText(block.serialNumber, instrument.serialNumber);
  block.firmwareVersion = instrument.firmwareVersion;
  block.modelNumber = instrument.identifiedModelNumber;
}

std::string TraceDirectory(const PreferencesBlock& block) {
  const char* end = std::find(block.tracePath, block.tracePath + sizeof block.tracePath, '\0');
  return std::string(block.tracePath, end);
}

bool RememberTraceDirectory(PreferencesBlock& block, std::string_view directory) {
  if (directory.size() >= sizeof block.tracePath || directory.find('\0') != std::string_view::npos) return false;
  std::memset(block.tracePath, 0, sizeof block.tracePath);
  std::copy(directory.begin(), directory.end(), block.tracePath);
  return true;
}
