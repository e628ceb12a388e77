#include "sim/InstrumentTables.h"

#include <algorithm>
#include <cmath>

namespace kvxsim {
namespace {

constexpr std::array<double, kSensitivityCount> kVoltsPerDiv125 = {
    0.0025, 0.005, 0.01, 0.02, 0.05, 0.1, 0.2, 0.5, 1, 2, 5, 10, 20, 50, 100};
constexpr std::array<double, kSensitivityCount> kVoltsPerDiv12p55 = {
    0.0025, 0.005, 0.01, 0.025, 0.05, 0.1, 0.25, 0.5, 1, 2.5, 5, 10, 25, 50, 100};

constexpr std::array<double, kSecondsPerDivCount> kSecondsPerDiv = {
    1e-9, 2e-9, 5e-9, 10e-9, 20e-9, 50e-9, 100e-9, 200e-9, 500e-9,
    1e-6, 2e-6, 5e-6, 10e-6, 20e-6, 50e-6, 100e-6, 200e-6, 500e-6,
    1e-3, 2e-3, 5e-3, 10e-3, 20e-3, 50e-3, 100e-3, 200e-3, 500e-3,
    1.0, 2.0, 5.0, 10.0, 20.0, 50.0, 100.0, 200.0};

}  // namespace

const std::array<double, kSensitivityCount>& VoltsPerDivTable(int model) {
  return model == 162 ? kVoltsPerDiv125 : kVoltsPerDiv12p55;
}

double VoltsPerDiv(int model, int index) {
  return VoltsPerDivTable(model)[static_cast<std::size_t>(std::clamp(index, 0, kSensitivityCount - 1))];
}

int LowestPanelSensitivity(int model) { return model == 162 ? 1 : 3; }

double SecondsPerDiv(int index) {
  return kSecondsPerDiv[static_cast<std::size_t>(std::clamp(index, 0, kSecondsPerDivCount - 1))];
}

int TimebaseIndexOf(double secondsPerDiv) {
  if (!std::isfinite(secondsPerDiv) || secondsPerDiv <= 0.0) return -1;
  for (int i = 0; i < kTimebaseCount; ++i) {
    // The words arrive as decimal text ("0.1E-3"): compare with a relative margin.
    const double step = kSecondsPerDiv[static_cast<std::size_t>(i)];
    if (std::fabs(secondsPerDiv - step) <= 1e-6 * step) return i;
  }
  return -1;
}

int AcquisitionTimebase(int timebaseIndex) {
  return std::clamp(timebaseIndex, kFastestAcquisitionTimebase, kSlowestAcquisitionTimebase);
}

}  // namespace kvxsim
