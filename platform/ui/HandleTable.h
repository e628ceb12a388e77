// Objects the program refers to by an integer handle (thread pools, locks,
// toolbars, reports): handles count up from 1 and are never reused.
// Internal to platform/ui. Every call is thread-safe.
#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <utility>

namespace uimodel {

template <class T>
class HandleTable {
 public:
  int Add(std::shared_ptr<T> entry) {
    std::lock_guard lock(mutex_);
    entries_[next_] = std::move(entry);
    return next_++;
  }
  std::shared_ptr<T> Find(int handle) {
    std::lock_guard lock(mutex_);
    const auto found = entries_.find(handle);
    return found == entries_.end() ? nullptr : found->second;
  }
  std::shared_ptr<T> Remove(int handle) {
    std::lock_guard lock(mutex_);
    const auto found = entries_.find(handle);
    if (found == entries_.end()) return nullptr;
    std::shared_ptr<T> entry = std::move(found->second);
    entries_.erase(found);
    return entry;
  }
  // Runs `action(entry)` with the table locked, so that actions on the same
  // table never overlap; `missing` when there is no such handle.
  template <class Action>
  int With(int handle, int missing, Action&& action) {
    std::lock_guard lock(mutex_);
    const auto found = entries_.find(handle);
    if (found == entries_.end()) return missing;
    return action(*found->second);
  }
  void Clear() {
    std::lock_guard lock(mutex_);
    entries_.clear();
  }

 private:
  std::mutex mutex_;
  std::map<int, std::shared_ptr<T>> entries_;
  int next_ = 1;
};

}  // namespace uimodel
