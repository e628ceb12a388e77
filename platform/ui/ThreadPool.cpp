#include "platform/ui/ThreadPool.h"

#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "platform/ui/HandleTable.h"

namespace {

struct Pool {
  std::mutex mutex;
  std::condition_variable work, done;
  std::deque<std::pair<int, std::function<int()>>> queue;
  std::map<int, std::optional<int>> results;  // functions someone may wait for
  std::vector<std::thread> threads;
  std::vector<std::thread::id> threadIds;
  int nextFunctionId = 1;
  bool stopping = false;
};

uimodel::HandleTable<Pool>& Pools() {
  static uimodel::HandleTable<Pool> pools;
  return pools;
}

void Worker(Pool& pool) {
  for (;;) {
    std::pair<int, std::function<int()>> next;
    {
      std::unique_lock lock(pool.mutex);
      pool.work.wait(lock, [&] { return pool.stopping || !pool.queue.empty(); });
      if (pool.queue.empty()) return;  // stopping, and everything queued has run
      next = std::move(pool.queue.front());
      pool.queue.pop_front();
    }
    const int result = next.second();
    std::lock_guard lock(pool.mutex);
    const auto waited = pool.results.find(next.first);
    if (waited != pool.results.end()) waited->second = result;
    pool.done.notify_all();
  }
}

// A recursive lock that knows its owner, so a release by another thread is refused.
struct Lock {
  std::mutex mutex;
  std::condition_variable freed;
  std::thread::id owner;
  int depth = 0;
};

uimodel::HandleTable<Lock>& Locks() {
  static uimodel::HandleTable<Lock> locks;
  return locks;
}

thread_local int currentPriority = THREAD_PRIORITY_NORMAL;

bool MayLeaveIdlePolicy() {
  if (geteuid() == 0) return true;
  rlimit limit{};
  return getrlimit(RLIMIT_NICE, &limit) == 0 && limit.rlim_cur >= 20;
}

int ApplyPolicy(int policy) {
  sched_param parameters{};
  parameters.sched_priority = 0;
  return pthread_setschedparam(pthread_self(), policy, &parameters) == 0 ? 0 : CMT_ERROR_PRIORITY_REFUSED;
}

int ApplyNice(int nice) {
  const auto thread = static_cast<id_t>(syscall(SYS_gettid));
  return setpriority(PRIO_PROCESS, thread, nice) == 0 ? 0 : CMT_ERROR_PRIORITY_REFUSED;
}

}  // namespace

int CmtNewThreadPool(int maxThreads, CmtThreadPoolHandle* pool) {
  if (pool == nullptr || maxThreads < 1) return CMT_ERROR_INVALID_ARGUMENT;
  auto created = std::make_shared<Pool>();
  {
    std::lock_guard lock(created->mutex);
    for (int i = 0; i < maxThreads; ++i) {
      created->threads.emplace_back(Worker, std::ref(*created));
      created->threadIds.push_back(created->threads.back().get_id());
    }
  }
  *pool = Pools().Add(created);
  return 0;
}

int CmtScheduleThreadPoolFunction(CmtThreadPoolHandle pool, CmtThreadFunctionPtr function, void* functionData,
                                  int* functionId) {
  if (function == nullptr) return CMT_ERROR_INVALID_ARGUMENT;
  const std::shared_ptr<Pool> target = Pools().Find(pool);
  if (!target) return CMT_ERROR_INVALID_HANDLE;
  std::lock_guard lock(target->mutex);
  const int id = target->nextFunctionId++;
  if (functionId != nullptr) {
    target->results[id] = std::nullopt;
    *functionId = id;
  }
  target->queue.emplace_back(id, [function, functionData] { return function(functionData); });
  target->work.notify_one();
  return 0;
}

int CmtWaitForThreadPoolFunctionCompletion(CmtThreadPoolHandle pool, int functionId, int* returnValue) {
  const std::shared_ptr<Pool> target = Pools().Find(pool);
  if (!target) return CMT_ERROR_INVALID_HANDLE;
  std::unique_lock lock(target->mutex);
  const auto found = target->results.find(functionId);
  if (found == target->results.end()) return CMT_ERROR_INVALID_ARGUMENT;
  target->done.wait(lock, [&] { return found->second.has_value(); });
  if (returnValue != nullptr) *returnValue = *found->second;
  target->results.erase(found);
  return 0;
}

int CmtDiscardThreadPool(CmtThreadPoolHandle pool) {
  const std::shared_ptr<Pool> target = Pools().Find(pool);
  if (!target) return CMT_ERROR_INVALID_HANDLE;
  {
    std::lock_guard lock(target->mutex);
    const auto& ids = target->threadIds;
    if (std::find(ids.begin(), ids.end(), std::this_thread::get_id()) != ids.end())
      return CMT_ERROR_INVALID_ARGUMENT;  // a pool thread cannot wait for itself
    target->stopping = true;
    target->work.notify_all();
  }
  Pools().Remove(pool);
  for (std::thread& thread : target->threads) thread.join();
  return 0;
}

int CmtSetCurrentThreadPriority(int priority) {
  int status;
  switch (priority) {
    case THREAD_PRIORITY_IDLE:
    case THREAD_PRIORITY_LOWEST:
      // The idle policy is only taken where the thread may leave it again.
      status = ApplyPolicy(MayLeaveIdlePolicy() ? SCHED_IDLE : SCHED_BATCH);
      break;
    case THREAD_PRIORITY_BELOW_NORMAL: status = ApplyPolicy(SCHED_BATCH); break;
    case THREAD_PRIORITY_NORMAL:
      status = ApplyPolicy(SCHED_OTHER);
      if (status == 0 && currentPriority > THREAD_PRIORITY_NORMAL) status = ApplyNice(0);
      break;
    case THREAD_PRIORITY_ABOVE_NORMAL:
    case THREAD_PRIORITY_HIGHEST:
      status = ApplyPolicy(SCHED_OTHER);
      if (status == 0) status = ApplyNice(priority == THREAD_PRIORITY_HIGHEST ? -10 : -5);
      break;
    default: return CMT_ERROR_INVALID_ARGUMENT;
  }
  if (status == 0) currentPriority = priority;
  return status;
}

int CmtGetCurrentThreadPriority(int* priority) {
  if (priority == nullptr) return CMT_ERROR_INVALID_ARGUMENT;
  *priority = currentPriority;
  return 0;
}

int CmtNewLock(const char*, int, CmtThreadLockHandle* lock) {
  if (lock == nullptr) return CMT_ERROR_INVALID_ARGUMENT;
  *lock = Locks().Add(std::make_shared<Lock>());
  return 0;
}

int CmtGetLock(CmtThreadLockHandle lock) {
  const std::shared_ptr<Lock> target = Locks().Find(lock);
  if (!target) return CMT_ERROR_INVALID_HANDLE;
  std::unique_lock guard(target->mutex);
  const auto self = std::this_thread::get_id();
  target->freed.wait(guard, [&] { return target->depth == 0 || target->owner == self; });
  target->owner = self;
  ++target->depth;
  return 0;
}

int CmtTryToGetLock(CmtThreadLockHandle lock, int* obtained) {
  if (obtained == nullptr) return CMT_ERROR_INVALID_ARGUMENT;
  const std::shared_ptr<Lock> target = Locks().Find(lock);
  if (!target) return CMT_ERROR_INVALID_HANDLE;
  std::lock_guard guard(target->mutex);
  const auto self = std::this_thread::get_id();
  *obtained = target->depth == 0 || target->owner == self ? 1 : 0;
  if (*obtained != 0) {
    target->owner = self;
    ++target->depth;
  }
  return 0;
}

int CmtReleaseLock(CmtThreadLockHandle lock) {
  const std::shared_ptr<Lock> target = Locks().Find(lock);
  if (!target) return CMT_ERROR_INVALID_HANDLE;
  std::lock_guard guard(target->mutex);
  if (target->depth == 0 || target->owner != std::this_thread::get_id()) return CMT_ERROR_NOT_OWNER;
  if (--target->depth == 0) {
    target->owner = std::thread::id();
    target->freed.notify_all();
  }
  return 0;
}

int CmtDiscardLock(CmtThreadLockHandle lock) { return Locks().Remove(lock) ? 0 : CMT_ERROR_INVALID_HANDLE; }
