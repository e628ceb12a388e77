// What the display last showed of the instrument's live state: the values of
// the latest frame header, kept so that texts, markers and the trigger marker
// are only redrawn when the instrument reports a change.
//
// Written by the acquisition thread (and seeded by the display start on the
// user-interface thread), read by the drawing, cursor and panel code of both
// threads: every value is an atomic of its own, and a reader may see a value
// one frame old or new.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>

inline constexpr int kChannels = 2;  // CH1, CH2
// The instrument's record: 50,000 points over 10 divisions. Trigger
// positions, offsets and zoom positions count record points.
inline constexpr double kRecordPointsPerDivision = 5000.0;

struct DisplayMirror {
  std::array<std::atomic<int>, kChannels> ChannelShown{};  // trace shown (1) or not (0)
  std::atomic<int> ChannelMaskSeen{0};                     // bit 0 CH1, bit 1 CH2
  std::array<std::atomic<std::int16_t>, kChannels> VerticalPositionSeen{};  // 1/22 division
  std::atomic<int> TriggerSourceSeen{0};                   // as received (0 CH1, 1 CH2, other: none)
  std::array<std::atomic<double>, kChannels> TriggerLevelSeen{};  // per source, 1/22 division
  std::atomic<double> TriggerPositionSeen{0.0};            // divisions: record points / kRecordPointsPerDivision
  std::atomic<int> RunStopSeen{-1};                        // -1: the next frame counts as a change
  std::atomic<int> StateSeen{-1};                          // -1: the phase text is rewritten
  std::atomic<int> DisplayChanged{0};                      // trigger or a position moved
  std::atomic<int> ZoomActive{0};                          // zoom mode on
};

// The program's mirror.
extern DisplayMirror Mirror;

// The trigger source as an index into two-entry tables (levels, colours):
// CH1 stays 0, anything else counts as CH2.
inline int TriggerTableIndex(int source) { return source <= 0 ? 0 : 1; }
