// One acquisition cycle with arbitrary bytes as the instrument's reply: the
// block is read as the acquisition thread reads it and, when it holds a
// frame, processed as the thread processes it. Whatever the reply, nothing
// is read past the frame, the display mirror shows the header, and samples
// and measurements come only from whole blocks inside the frame.
#include <algorithm>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "acquisition/Acquisition.h"
#include "acquisition/ChannelSamples.h"
#include "acquisition/DisplayMirror.h"
#include "acquisition/FrameExchange.h"
#include "acquisition/FrameProcessing.h"
#include "fuzz/FuzzSupport.h"
#include "link/InstrumentSetup.h"

namespace {

using fuzzsupport::Require;

constexpr std::size_t kMeasurementBytes = 96;

// Where the display hook saw the measurement block, as an offset into the frame.
std::optional<std::ptrdiff_t> measurementsAt;
const std::uint8_t* frameStart = nullptr;

void InstallDisplayHooks() {
  FrameDisplay display;
  display.updateMeasurements = [](const std::uint8_t* block) { measurementsAt = block - frameStart; };
  SetFrameDisplay(std::move(display));
}

// Each present channel takes one or two blocks in channel order; a block
// run past the frame's end leaves the channel cleared.
void CheckSamples(const FrameHeader& header, std::span<const std::uint8_t> frame) {
  const bool samples = (header.FrameFlags & kFrameHasSamples) != 0;
  const bool twoBlocks = header.PointsPerChannel == kTwoBlockPoints;
  std::size_t offset = header.length;
  for (int channel = 0; channel < kChannels; ++channel) {
    const ChannelBlocks blocks = ChannelSamples.Channel(channel);
    const bool present = samples && (header.ChannelMask & (1 << channel)) != 0;
    const std::size_t bytes = present ? (twoBlocks ? 2 : 1) * kBlockPoints : 0;
    const bool inside = present && offset + bytes <= frame.size();
    const auto a = inside ? frame.subspan(offset, kBlockPoints) : std::span<const std::uint8_t>();
    const auto b = inside && twoBlocks ? frame.subspan(offset + kBlockPoints, kBlockPoints) : a;
    if (inside) {
      Require(std::equal(a.begin(), a.end(), blocks.blockA.begin()));
      Require(std::equal(b.begin(), b.end(), blocks.blockB.begin()));
    } else {
      Require(blocks.blockA == SampleBlock{} && blocks.blockB == SampleBlock{});
    }
    offset += bytes;
  }
  const bool measured = (header.FrameFlags & kFrameHasMeasurements) != 0 && offset + kMeasurementBytes <= frame.size();
  Require(measurementsAt.has_value() == measured);
  if (measured) Require(*measurementsAt == static_cast<std::ptrdiff_t>(offset));
}

void CheckMirror(const FrameHeader& header) {
  Require(Mirror.RunStopSeen.load() == header.RunStop);
  Require(Mirror.ChannelMaskSeen.load() == header.ChannelMask);
  Require(Mirror.TriggerSourceSeen.load() == header.TriggerSource);
  for (int channel = 0; channel < kChannels; ++channel)
    Require(Mirror.VerticalPositionSeen[channel].load() == header.VerticalPosition[channel]);
  Require(LoadField(ProgramSetup.runState) == static_cast<std::int16_t>(header.RunStop));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static fuzzsupport::ScriptedSession link = fuzzsupport::OpenScriptedSession();
  static ExchangeBuffers buffers;
  static const bool hooked = (InstallDisplayHooks(), true);
  (void)hooked;
  link.StartInput();
  link.instrument->QueueReply(std::string(fuzzsupport::AsText(data, size)));

  const std::optional<ReceivedFrame> received = ExchangeFrame(link.session, kAcquisitionFrameQuery, buffers);
  if (!received) return 0;
  Require(received->length + 2 <= buffers.frame.size() && received->length + 2 <= size);
  Require(received->header.length <= received->length);

  // The frame follows "#", the digit count and the length digits.
  const std::span<const std::uint8_t> frame = received->Bytes(buffers);
  Require(std::equal(frame.begin(), frame.end(), data + 2 + (data[1] - '0')));
  ChannelSamples.ClearChannel(0);
  ChannelSamples.ClearChannel(1);
  measurementsAt.reset();
  frameStart = frame.data();
  ProcessFrame(received->header, frame);
  CheckMirror(received->header);
  CheckSamples(received->header, frame);
  return 0;
}
