// The two reference traces: frozen copies of what CH1 (REF1) and CH2 (REF2)
// showed, one sample code per 32-bit element, with a label each.
//
// Sharing: the acquisition thread fills an empty reference after a frame while
// the user-interface thread empties them (reference toggle, autoset) and the
// preferences restore or save them. Every access goes through one small mutex
// (ReferenceMemory); readers take a copy and draw from it. A capture checks its
// enable flag under the same mutex, so a reference switched off and emptied on
// the user-interface thread is never refilled by a capture that had already
// started.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <span>
#include <string>
#include <string_view>

inline constexpr int kReferenceCount = 2;  // REF1, REF2
inline constexpr std::size_t kReferencePoints = 2500;
inline constexpr std::size_t kReferenceLabelSize = 30;  // terminator included
// ClearReferenceStore's argument that empties both traces and both labels.
inline constexpr int kAllReferences = 55;
// Sample codes are unsigned 8-bit values.
inline constexpr std::int32_t kHighestSampleCode = 255;

using ReferenceTrace = std::array<std::int32_t, kReferencePoints>;
using ReferenceText = std::array<char, kReferenceLabelSize>;

// Plain data, as the preferences file stores it.
struct ReferenceData {
  std::array<ReferenceTrace, kReferenceCount> ReferenceStore{};
  std::array<ReferenceText, kReferenceCount> ReferenceLabel{};
};

// A reference whose first element is 0 counts as empty.
bool ReferenceIsEmpty(const ReferenceData& data, int which);
// which 0 or 1: zeroes that trace unless it is already empty. which 55: zeroes
// both traces and empties both labels. Any other value does nothing.
void ClearReferenceStore(ReferenceData& data, int which);
// Makes data read from a file safe to draw: codes held within 0..255, labels
// terminated within their 30 bytes.
void MakeReferencesSafe(ReferenceData& data);
// The label text, never reading past its 30 bytes.
std::string ReferenceLabelText(const ReferenceData& data, int which);

class ReferenceMemory {
 public:
  ReferenceData Snapshot() const;
  void Replace(const ReferenceData& data);
  void Clear(int which);
  bool IsEmpty(int which) const;
  // Fills reference `which` with `codes` and `label` (cut to 29 characters),
  // only while it is empty and `enabled` (a setup-record flag, read
  // atomically) is non-zero. True when it was filled. The acquisition thread
  // reads the setup record only under SetupRecordMutex, so it calls this
  // holding that mutex (taken before this one, never after).
  bool CaptureIfEmpty(int which, std::span<const std::uint8_t, kReferencePoints> codes, std::string_view label,
                      const std::int32_t& enabled);

 private:
  mutable std::mutex mutex_;
  ReferenceData data_;
};

// The program's references.
extern ReferenceMemory ProgramReferences;

// ClearReferenceStore on the program's references.
void ClearReferenceStore(int which);
