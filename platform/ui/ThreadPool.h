// A thread pool that runs functions in the background, thread priorities and locks.
#pragma once

using CmtThreadPoolHandle = int;
using CmtThreadLockHandle = int;
using CmtThreadFunctionPtr = int (*)(void* functionData);

inline constexpr int THREAD_PRIORITY_IDLE = -15;
inline constexpr int THREAD_PRIORITY_LOWEST = -2;
inline constexpr int THREAD_PRIORITY_BELOW_NORMAL = -1;
inline constexpr int THREAD_PRIORITY_NORMAL = 0;
inline constexpr int THREAD_PRIORITY_ABOVE_NORMAL = 1;
inline constexpr int THREAD_PRIORITY_HIGHEST = 2;

inline constexpr int CMT_ERROR_INVALID_HANDLE = -1;
inline constexpr int CMT_ERROR_INVALID_ARGUMENT = -2;
inline constexpr int CMT_ERROR_PRIORITY_REFUSED = -3;
inline constexpr int CMT_ERROR_NOT_OWNER = -4;

// A pool of `maxThreads` threads (at least one).
int CmtNewThreadPool(int maxThreads, CmtThreadPoolHandle* pool);
// Queues `function(functionData)`; `functionId` (may be null) names it for the wait below.
int CmtScheduleThreadPoolFunction(CmtThreadPoolHandle pool, CmtThreadFunctionPtr function, void* functionData,
                                  int* functionId);
// Waits until that function has returned; `returnValue` (may be null) gets its result.
int CmtWaitForThreadPoolFunctionCompletion(CmtThreadPoolHandle pool, int functionId, int* returnValue);
// Waits for every queued function to return, then ends the pool's threads.
int CmtDiscardThreadPool(CmtThreadPoolHandle pool);
// Sets the calling thread's priority (THREAD_PRIORITY_*).
int CmtSetCurrentThreadPriority(int priority);
int CmtGetCurrentThreadPriority(int* priority);

// Recursive locks: the owner may take a lock again; each take needs a release.
int CmtNewLock(const char* name, int options, CmtThreadLockHandle* lock);
int CmtGetLock(CmtThreadLockHandle lock);
int CmtTryToGetLock(CmtThreadLockHandle lock, int* obtained);
int CmtReleaseLock(CmtThreadLockHandle lock);
int CmtDiscardLock(CmtThreadLockHandle lock);
