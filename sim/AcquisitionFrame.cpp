// The acquisition frame: screen blocks of the record, the text header and the
// definite-length block that carries them.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "sim/Acquisition.h"

namespace kvxsim {
namespace {

constexpr int kPairs = kScreenPoints / 2;
constexpr int kFlagSamples = 0x1;
constexpr int kFlagMeasurements = 0x2;

// Record index of a (fractional) position, clipped to [0, size] before the
// conversion so absurd positions or factors cannot overflow it.
std::size_t PointIndex(double position, std::size_t size) {
  return static_cast<std::size_t>(std::clamp(std::floor(position), 0.0, static_cast<double>(size)));
}

int ChannelMask(const AcquisitionSettings& settings) {
  int mask = 0;
  for (int c = 0; c < 2; ++c) {
    if (settings.channel[c].displayed) mask |= 1 << c;
  }
  return mask;
}

// Header fields 2 to 5 and 15 are ignored by the host; they carry the record
// length, the points per division, the zoom position and the trigger mode.
// The level is the source's; "no source" (2) reports CH2's level, the slot a
// host files it under.
std::string FrameHeader(const AcquisitionSettings& settings, const FrameState& state, int flags, int mask) {
  const int levelChannel = std::clamp(settings.triggerSource, 0, 1);
  const int pointsPerChannel = IsZoomed(settings) ? 2 * kScreenPoints : kScreenPoints;
  char text[256];
  const int length = std::snprintf(
      text, sizeof text, "%X,%d,%d,%d,%d,%X,%d,%d,%d,%d,%d,%d,%d,%d,%d,", static_cast<unsigned>(flags), kRecordPoints,
      kPointsPerDivision, settings.zoomPosition, settings.triggerMode, static_cast<unsigned>(mask), pointsPerChannel,
      settings.channel[0].verticalOffset, settings.channel[1].verticalOffset, settings.triggerSource,
      settings.channel[levelChannel].triggerLevel, settings.horizontalOffset, state.acquisitionPhase, state.runStop, 0);
  return std::string(text, static_cast<std::size_t>(std::clamp(length, 0, static_cast<int>(sizeof text) - 1)));
}

void Append(std::vector<std::uint8_t>& out, const std::vector<std::uint8_t>& block) {
  out.insert(out.end(), block.begin(), block.end());
}

}  // namespace

std::vector<std::uint8_t> ScreenBlock(const std::vector<std::uint8_t>& codes, int first, double factor) {
  std::vector<std::uint8_t> out(kScreenPoints, static_cast<std::uint8_t>(kCentreCode));
  if (codes.empty()) return out;
  if (!std::isfinite(factor) || factor <= 0.0) factor = kUnzoomedFactor;
  const std::size_t size = codes.size();
  const double span = 2.0 * factor;
  for (int k = 0; k < kPairs; ++k) {
    std::size_t begin = PointIndex(first + k * span, size);
    std::size_t end = PointIndex(first + (k + 1) * span, size);
    // Every pair shows at least one point: the last one when the window runs
    // past the record, one point each when pairs are narrower than a point.
    begin = std::min(begin, size - 1);
    end = std::max(end, begin + 1);
    const auto [low, high] = std::minmax_element(codes.begin() + begin, codes.begin() + end);
    out[2 * k] = *low;
    out[2 * k + 1] = *high;
  }
  return out;
}

std::vector<std::uint8_t> BuildFrameReply(const Record& record, const AcquisitionSettings& settings,
                                          const FrameState& state) {
  const int mask = ChannelMask(settings);
  const int flags = (mask != 0 ? kFlagSamples : 0) | (state.measurementsOn ? kFlagMeasurements : 0);
  const std::string header = FrameHeader(settings, state, flags, mask);

  std::vector<std::uint8_t> frame(header.begin(), header.end());
  frame.reserve(header.size() + 4 * static_cast<std::size_t>(kScreenPoints) + kMeasurementBlockSize);
  for (int c = 0; c < 2; ++c) {
    if ((mask & (1 << c)) == 0) continue;
    Append(frame, ScreenBlock(record.codes[c], 0, kUnzoomedFactor));
    if (IsZoomed(settings)) Append(frame, ScreenBlock(record.codes[c], settings.zoomPosition, settings.zoomFactor));
  }
  if (state.measurementsOn) {
    const auto block = MeasureChannel(record, settings.referenceChannel, settings);
    frame.insert(frame.end(), block.begin(), block.end());
  }
  return DefiniteBlock(frame);
}

std::vector<std::uint8_t> DefiniteBlock(const std::vector<std::uint8_t>& data) {
  const std::string length = std::to_string(data.size());
  // One digit counts the length digits: nine at most.
  if (length.size() > 9) return {};
  std::vector<std::uint8_t> out;
  out.reserve(2 + length.size() + data.size() + 2);
  out.push_back('#');
  out.push_back(static_cast<std::uint8_t>('0' + length.size()));
  out.insert(out.end(), length.begin(), length.end());
  out.insert(out.end(), data.begin(), data.end());
  out.push_back('\r');
  out.push_back('\n');
  return out;
}

}  // namespace kvxsim
