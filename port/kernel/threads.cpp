#include "port/kernel/threads.h"

#include <pthread.h>
#include <sched.h>
#include <time.h>

#include <atomic>
#include <cerrno>
#include <new>

#include "port/kernel/handle_table_internal.h"
#include "port/kernel/kernel_system.h"
#include "port/kernel/last_error.h"

namespace {

// A mutex and a condition on the monotonic clock (<chrono> cannot be compiled with the CP932
// execution character set, so std::condition_variable's timed waits are out of reach).
struct Monitor {
  Monitor() {
    pthread_mutex_init(&mutex, nullptr);
    pthread_condattr_t attr;
    pthread_condattr_init(&attr);
    pthread_condattr_setclock(&attr, CLOCK_MONOTONIC);
    pthread_cond_init(&cond, &attr);
    pthread_condattr_destroy(&attr);
  }
  ~Monitor() {
    pthread_cond_destroy(&cond);
    pthread_mutex_destroy(&mutex);
  }
  Monitor(const Monitor&) = delete;
  Monitor& operator=(const Monitor&) = delete;
  pthread_mutex_t mutex;
  pthread_cond_t cond;
};

class MonitorLock {
 public:
  explicit MonitorLock(Monitor& m) : monitor_(m) { pthread_mutex_lock(&monitor_.mutex); }
  ~MonitorLock() { pthread_mutex_unlock(&monitor_.mutex); }
  MonitorLock(const MonitorLock&) = delete;
  MonitorLock& operator=(const MonitorLock&) = delete;

 private:
  Monitor& monitor_;
};

// Waits, with the monitor locked, until ready() holds or the Windows-style time-out passes.
template <typename Ready>
bool WaitUntil(Monitor& m, DWORD milliseconds, Ready ready) {
  if (milliseconds == INFINITE) {
    while (!ready()) pthread_cond_wait(&m.cond, &m.mutex);
    return true;
  }
  struct timespec deadline;
  clock_gettime(CLOCK_MONOTONIC, &deadline);
  deadline.tv_sec += milliseconds / 1000;
  deadline.tv_nsec += static_cast<long>(milliseconds % 1000) * 1000000L;
  if (deadline.tv_nsec >= 1000000000L) {
    deadline.tv_sec += 1;
    deadline.tv_nsec -= 1000000000L;
  }
  while (!ready()) {
    if (pthread_cond_timedwait(&m.cond, &m.mutex, &deadline) == ETIMEDOUT) return ready();
  }
  return true;
}

struct PortThread : PortObject {
  static constexpr PortObjectKind kKind = PortObjectKind::Thread;
  PortThread() : PortObject(kKind) {}
  Monitor monitor;
  bool finished = false;
  DWORD exitCode = STILL_ACTIVE;
  DWORD id = 0;
  LPTHREAD_START_ROUTINE start = nullptr;
  LPVOID parameter = nullptr;
};

struct PortEvent : PortObject {
  static constexpr PortObjectKind kKind = PortObjectKind::Event;
  PortEvent() : PortObject(kKind) {}
  Monitor monitor;
  bool manualReset = false;
  bool signalled = false;
};

const HANDLE kCurrentThreadPseudoHandle = reinterpret_cast<HANDLE>(static_cast<intptr_t>(-2));

std::atomic<DWORD> gNextThreadId{1};
thread_local DWORD tThreadId = 0;

DWORD NewThreadId() {
  for (;;) {
    DWORD id = gNextThreadId.fetch_add(1);
    if (id != 0 && id != 0xFFFFFFFFu) return id;
  }
}

void* ThreadMain(void* argument) {
  // The running thread holds its own reference, so closing the handle early is harmless.
  auto* self = static_cast<std::shared_ptr<PortThread>*>(argument);
  std::shared_ptr<PortThread> thread = std::move(*self);
  delete self;
  tThreadId = thread->id;
  DWORD result = thread->start(thread->parameter);
  MonitorLock lock(thread->monitor);
  thread->exitCode = result;
  thread->finished = true;
  pthread_cond_broadcast(&thread->monitor.cond);
  return nullptr;
}

pthread_mutex_t* MutexOf(LPCRITICAL_SECTION section) {
  static_assert(sizeof(pthread_mutex_t) <= sizeof(CRITICAL_SECTION::opaque));
  static_assert(alignof(pthread_mutex_t) <= alignof(CRITICAL_SECTION));
  return std::launder(reinterpret_cast<pthread_mutex_t*>(section->opaque));
}

}  // namespace

HANDLE WINAPI CreateThread(LPSECURITY_ATTRIBUTES, SIZE_T stackSize, LPTHREAD_START_ROUTINE start,
                           LPVOID parameter, DWORD flags, LPDWORD threadId) {
  if (!start) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  if (flags & CREATE_SUSPENDED) {
    SetLastError(ERROR_NOT_SUPPORTED);
    return nullptr;
  }
  auto thread = std::make_shared<PortThread>();
  thread->id = NewThreadId();
  thread->start = start;
  thread->parameter = parameter;
  HANDLE handle = PortRegisterObject(thread);
  if (!handle) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }

  pthread_attr_t attr;
  pthread_attr_init(&attr);
  pthread_attr_setdetachstate(&attr, PTHREAD_CREATE_DETACHED);
  if (stackSize > 0) {
    if (stackSize < static_cast<SIZE_T>(PTHREAD_STACK_MIN)) stackSize = PTHREAD_STACK_MIN;
    pthread_attr_setstacksize(&attr, stackSize);
  }
  auto* argument = new std::shared_ptr<PortThread>(thread);
  pthread_t native;
  int error = pthread_create(&native, &attr, &ThreadMain, argument);
  pthread_attr_destroy(&attr);
  if (error != 0) {
    delete argument;
    CloseHandle(handle);
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  if (threadId) *threadId = thread->id;
  return handle;
}

DWORD WINAPI GetCurrentThreadId() {
  if (tThreadId == 0) tThreadId = NewThreadId();
  return tThreadId;
}

HANDLE WINAPI GetCurrentThread() { return kCurrentThreadPseudoHandle; }

DWORD WINAPI WaitForSingleObject(HANDLE object, DWORD milliseconds) {
  std::shared_ptr<PortObject> any = PortLookupAnyObject(object);
  if (!any) {
    SetLastError(ERROR_INVALID_HANDLE);
    return WAIT_FAILED;
  }
  if (any->kind == PortObjectKind::Thread) {
    auto* thread = static_cast<PortThread*>(any.get());
    MonitorLock lock(thread->monitor);
    return WaitUntil(thread->monitor, milliseconds, [&] { return thread->finished; })
               ? WAIT_OBJECT_0
               : WAIT_TIMEOUT;
  }
  if (any->kind == PortObjectKind::Event) {
    auto* event = static_cast<PortEvent*>(any.get());
    MonitorLock lock(event->monitor);
    if (!WaitUntil(event->monitor, milliseconds, [&] { return event->signalled; }))
      return WAIT_TIMEOUT;
    if (!event->manualReset) event->signalled = false;
    return WAIT_OBJECT_0;
  }
  // Files are not waitable objects here.
  SetLastError(ERROR_INVALID_HANDLE);
  return WAIT_FAILED;
}

BOOL WINAPI GetExitCodeThread(HANDLE handle, LPDWORD exitCode) {
  if (!exitCode) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (handle == kCurrentThreadPseudoHandle) {
    *exitCode = STILL_ACTIVE;
    return TRUE;
  }
  std::shared_ptr<PortThread> thread = PortLookup<PortThread>(handle);
  if (!thread) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  MonitorLock lock(thread->monitor);
  *exitCode = thread->exitCode;
  return TRUE;
}

BOOL WINAPI SetThreadPriority(HANDLE handle, int priority) {
  if (handle != kCurrentThreadPseudoHandle && !PortLookup<PortThread>(handle)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  switch (priority) {
    case THREAD_PRIORITY_IDLE:
    case THREAD_PRIORITY_LOWEST:
    case THREAD_PRIORITY_BELOW_NORMAL:
    case THREAD_PRIORITY_NORMAL:
    case THREAD_PRIORITY_ABOVE_NORMAL:
    case THREAD_PRIORITY_HIGHEST:
    case THREAD_PRIORITY_TIME_CRITICAL:
      return TRUE;
    default:
      SetLastError(ERROR_INVALID_PARAMETER);
      return FALSE;
  }
}

void WINAPI InitializeCriticalSection(LPCRITICAL_SECTION section) {
  pthread_mutexattr_t attr;
  pthread_mutexattr_init(&attr);
  pthread_mutexattr_settype(&attr, PTHREAD_MUTEX_RECURSIVE);
  pthread_mutex_t* mutex = new (section->opaque) pthread_mutex_t;
  pthread_mutex_init(mutex, &attr);
  pthread_mutexattr_destroy(&attr);
}

void WINAPI EnterCriticalSection(LPCRITICAL_SECTION section) {
  pthread_mutex_lock(MutexOf(section));
}

void WINAPI LeaveCriticalSection(LPCRITICAL_SECTION section) {
  pthread_mutex_unlock(MutexOf(section));
}

void WINAPI DeleteCriticalSection(LPCRITICAL_SECTION section) {
  pthread_mutex_destroy(MutexOf(section));
}

HANDLE WINAPI CreateEventA(LPSECURITY_ATTRIBUTES, BOOL manualReset, BOOL initialState,
                           LPCSTR name) {
  if (name) {
    SetLastError(ERROR_NOT_SUPPORTED);
    return nullptr;
  }
  auto event = std::make_shared<PortEvent>();
  event->manualReset = manualReset != FALSE;
  event->signalled = initialState != FALSE;
  HANDLE handle = PortRegisterObject(event);
  if (!handle) SetLastError(ERROR_NOT_ENOUGH_MEMORY);
  return handle;
}

BOOL WINAPI SetEvent(HANDLE handle) {
  std::shared_ptr<PortEvent> event = PortLookup<PortEvent>(handle);
  if (!event) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  MonitorLock lock(event->monitor);
  event->signalled = true;
  if (event->manualReset)
    pthread_cond_broadcast(&event->monitor.cond);
  else
    pthread_cond_signal(&event->monitor.cond);
  return TRUE;
}

BOOL WINAPI ResetEvent(HANDLE handle) {
  std::shared_ptr<PortEvent> event = PortLookup<PortEvent>(handle);
  if (!event) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  MonitorLock lock(event->monitor);
  event->signalled = false;
  return TRUE;
}

void WINAPI Sleep(DWORD milliseconds) {
  if (milliseconds == 0) {
    sched_yield();
    return;
  }
  if (milliseconds == INFINITE) {
    for (;;) {
      struct timespec t = {3600, 0};
      nanosleep(&t, nullptr);
    }
  }
  if (PortSimulatedTimeOn()) {
    PortAdvanceSimulatedTime(int64_t{milliseconds} * 1000000);
    sched_yield();
    return;
  }
  struct timespec t = {static_cast<time_t>(milliseconds / 1000),
                       static_cast<long>(milliseconds % 1000) * 1000000L};
  while (nanosleep(&t, &t) != 0 && errno == EINTR) {}
}
