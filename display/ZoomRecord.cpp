#include "display/ZoomRecord.h"

#include <algorithm>
#include <cmath>

#include "link/CommandSet.h"
#include "link/InstrumentSession.h"
#include "link/InstrumentSetup.h"
#include "link/LinkBusy.h"

double UsableFactor(double factor) {
  if (!std::isfinite(factor)) return kUnzoomedFactor;
  return std::clamp(factor, kFinestFactor, kUnzoomedFactor);
}

int ClampPosition(double value, double factor) {
  const double last = kZoomRecordPoints - kZoomScreenPoints * UsableFactor(factor);
  if (!(value > 0.0)) return 0;  // not positive, or not a number
  return static_cast<int>(std::min(std::trunc(value), std::trunc(last)));
}

int TimebaseIndexInTable(int index) { return std::clamp(index, 0, kSlowestTimebaseIndex); }

int EffectiveTimebaseIndex() { return TimebaseIndexInTable(LoadField(ProgramSetup.effectiveTimebaseIndex)); }

ZoomPlace RecordedZoom() {
  const double factor = UsableFactor(LoadField(ProgramSetup.zoomFactor));
  return {factor, ClampPosition(LoadField(ProgramSetup.zoomPosition), factor)};
}

void StoreZoom(const ZoomPlace& zoom) {
  StoreField(ProgramSetup.zoomFactor, zoom.factor);
  StoreField(ProgramSetup.zoomPosition, zoom.position);
}

void StoreNoZoom() {
  StoreZoom(ZoomPlace{});
  StoreField(ProgramSetup.viewState, 0);
  StoreField(ProgramSetup.zoomWindowFlag, 0);
  StoreField(ProgramSetup.zoomWindowStart, 0);
  StoreField(ProgramSetup.zoomWindowScale, 100.0f);
}

void SendZoomCommand() {
  SetHorizontalZoom(TheInstrument.session, LoadField(ProgramSetup.zoomPosition), LoadField(ProgramSetup.zoomFactor));
}

void SendOnLink(void (*send)()) {
  LinkOwnership link;
  send();
}
