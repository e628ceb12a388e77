#include "acquisition/ReferenceStore.h"

#include <algorithm>

#include "link/InstrumentSetup.h"

ReferenceMemory ProgramReferences;

namespace {

bool ValidReference(int which) { return which >= 0 && which < kReferenceCount; }

void StoreLabel(ReferenceText& label, std::string_view text) {
  label.fill('\0');
  const std::size_t length = std::min(text.size(), label.size() - 1);
  std::copy_n(text.data(), length, label.data());
}

}  // namespace

bool ReferenceIsEmpty(const ReferenceData& data, int which) {
  return !ValidReference(which) || data.ReferenceStore[which][0] == 0;
}

void ClearReferenceStore(ReferenceData& data, int which) {
  if (which == kAllReferences) {
    for (ReferenceTrace& trace : data.ReferenceStore) trace.fill(0);
    for (ReferenceText& label : data.ReferenceLabel) label.fill('\0');
    return;
  }
  if (ValidReference(which) && !ReferenceIsEmpty(data, which)) data.ReferenceStore[which].fill(0);
}

void MakeReferencesSafe(ReferenceData& data) {
  for (ReferenceTrace& trace : data.ReferenceStore)
    for (std::int32_t& code : trace) code = std::clamp<std::int32_t>(code, 0, kHighestSampleCode);
  for (ReferenceText& label : data.ReferenceLabel) label.back() = '\0';
}

std::string ReferenceLabelText(const ReferenceData& data, int which) {
  if (!ValidReference(which)) return {};
  const ReferenceText& label = data.ReferenceLabel[which];
  const auto end = std::find(label.begin(), label.end(), '\0');
  return std::string(label.begin(), end);
}

ReferenceData ReferenceMemory::Snapshot() const {
  std::lock_guard lock(mutex_);
  return data_;
}

void ReferenceMemory::Replace(const ReferenceData& data) {
  std::lock_guard lock(mutex_);
  data_ = data;
}

void ReferenceMemory::Clear(int which) {
  std::lock_guard lock(mutex_);
  ClearReferenceStore(data_, which);
}

bool ReferenceMemory::IsEmpty(int which) const {
  std::lock_guard lock(mutex_);
  return ReferenceIsEmpty(data_, which);
}

bool ReferenceMemory::CaptureIfEmpty(int which, std::span<const std::uint8_t, kReferencePoints> codes,
                                     std::string_view label, const std::int32_t& enabled) {
  if (!ValidReference(which)) return false;
  std::lock_guard lock(mutex_);
  if (!ReferenceIsEmpty(data_, which) || LoadField(enabled) == 0) return false;
  std::copy(codes.begin(), codes.end(), data_.ReferenceStore[which].begin());
  StoreLabel(data_.ReferenceLabel[which], label);
  return true;
}

void ClearReferenceStore(int which) { ProgramReferences.Clear(which); }
