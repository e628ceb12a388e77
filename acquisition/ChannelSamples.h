// The latest sample codes of both channels. A block is 2500 unsigned codes,
// 1250 pairs; pair k belongs to screen position 2k and the trace is the band
// between its two codes. Block A is what a frame carries first (in zoom mode
// the whole record), block B what the main graph shows (the zoomed window, or
// a copy of block A).
//
// Sharing: the acquisition thread stores a frame's blocks; the user-interface
// thread clears block A (start, autoset) and readers on both threads take
// snapshots. Every access is one short copy under a small mutex.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <span>

#include "acquisition/DisplayMirror.h"

inline constexpr std::size_t kBlockPoints = 2500;
using SampleBlock = std::array<std::uint8_t, kBlockPoints>;

struct ChannelBlocks {
  SampleBlock blockA{};
  SampleBlock blockB{};
};
using SampleSet = std::array<ChannelBlocks, kChannels>;

class SampleMemory {
 public:
  // Both channels, as one consistent copy.
  SampleSet Snapshot() const;
  void Snapshot(SampleSet& out) const;
  // One channel's blocks.
  ChannelBlocks Channel(int channel) const;
  // Stores `a` as block A and `b` as block B of `channel`; a channel other
  // than 0 and 1 is ignored.
  void Store(int channel, std::span<const std::uint8_t, kBlockPoints> a, std::span<const std::uint8_t, kBlockPoints> b);
  // Zeroes block A of both channels; block B stays.
  void ClearBlockA();
  // Zeroes both blocks of `channel` (0 or 1).
  void ClearChannel(int channel);

 private:
  mutable std::mutex mutex_;
  SampleSet samples_{};
};

// The program's samples.
extern SampleMemory ChannelSamples;

// Sets the 2500 codes of block A of both channels to 0 (block B is left).
void ClearChannelSamples();
