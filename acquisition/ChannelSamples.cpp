#include "acquisition/ChannelSamples.h"

#include <algorithm>

SampleMemory ChannelSamples;

SampleSet SampleMemory::Snapshot() const {
  std::lock_guard lock(mutex_);
  return samples_;
}

void SampleMemory::Snapshot(SampleSet& out) const {
  std::lock_guard lock(mutex_);
  out = samples_;
}

ChannelBlocks SampleMemory::Channel(int channel) const {
  if (channel < 0 || channel >= kChannels) return {};
  std::lock_guard lock(mutex_);
  return samples_[static_cast<std::size_t>(channel)];
}

void SampleMemory::Store(int channel, std::span<const std::uint8_t, kBlockPoints> a,
                         std::span<const std::uint8_t, kBlockPoints> b) {
  if (channel < 0 || channel >= kChannels) return;
  std::lock_guard lock(mutex_);
  ChannelBlocks& blocks = samples_[static_cast<std::size_t>(channel)];
  std::copy(a.begin(), a.end(), blocks.blockA.begin());
  std::copy(b.begin(), b.end(), blocks.blockB.begin());
}

void SampleMemory::ClearBlockA() {
  std::lock_guard lock(mutex_);
  for (ChannelBlocks& blocks : samples_) blocks.blockA.fill(0);
}

void SampleMemory::ClearChannel(int channel) {
  if (channel < 0 || channel >= kChannels) return;
  std::lock_guard lock(mutex_);
  samples_[static_cast<std::size_t>(channel)] = ChannelBlocks{};
}

void ClearChannelSamples() { ChannelSamples.ClearBlockA(); }
