// Threads, critical sections, events and Sleep, over pthreads.
#pragma once

#include "port/kernel/handles.h"
#include "port/kernel/win32_types.h"

#define WAIT_OBJECT_0 0u
#define WAIT_TIMEOUT 258u
#define WAIT_FAILED 0xFFFFFFFFu
#define STILL_ACTIVE 259u
#define CREATE_SUSPENDED 0x4u

#define THREAD_PRIORITY_IDLE (-15)
#define THREAD_PRIORITY_LOWEST (-2)
#define THREAD_PRIORITY_BELOW_NORMAL (-1)
#define THREAD_PRIORITY_NORMAL 0
#define THREAD_PRIORITY_ABOVE_NORMAL 1
#define THREAD_PRIORITY_HIGHEST 2
#define THREAD_PRIORITY_TIME_CRITICAL 15

typedef DWORD(WINAPI* LPTHREAD_START_ROUTINE)(LPVOID parameter);

// Starts a thread at once (CREATE_SUSPENDED is not supported and fails with
// ERROR_NOT_SUPPORTED). The thread's handle stays valid after it ends, until CloseHandle;
// closing it earlier does not stop the thread.
HANDLE WINAPI CreateThread(LPSECURITY_ATTRIBUTES attributes, SIZE_T stackSize,
                           LPTHREAD_START_ROUTINE start, LPVOID parameter, DWORD flags,
                           LPDWORD threadId);
// A small number that stays the thread's own for its life; never 0 and never 0xFFFFFFFF.
DWORD WINAPI GetCurrentThreadId();
// The pseudo handle of the calling thread; CloseHandle refuses it.
HANDLE WINAPI GetCurrentThread();
// Threads (signalled once ended) and events. WAIT_OBJECT_0, WAIT_TIMEOUT, or WAIT_FAILED
// with ERROR_INVALID_HANDLE.
DWORD WINAPI WaitForSingleObject(HANDLE object, DWORD milliseconds);
// STILL_ACTIVE while the thread runs, then its routine's result.
BOOL WINAPI GetExitCodeThread(HANDLE thread, LPDWORD exitCode);
// Every defined priority value is accepted; threads keep running at normal priority.
BOOL WINAPI SetThreadPriority(HANDLE thread, int priority);

// Recursive for the thread that holds it, as on Windows.
struct CRITICAL_SECTION {
  alignas(16) unsigned char opaque[64];
};
typedef CRITICAL_SECTION* LPCRITICAL_SECTION;
void WINAPI InitializeCriticalSection(LPCRITICAL_SECTION section);
void WINAPI EnterCriticalSection(LPCRITICAL_SECTION section);
void WINAPI LeaveCriticalSection(LPCRITICAL_SECTION section);
void WINAPI DeleteCriticalSection(LPCRITICAL_SECTION section);

// Unnamed events only: a name fails with ERROR_NOT_SUPPORTED. A manual-reset event stays
// signalled and releases every waiter; an auto-reset event releases one waiter and resets.
HANDLE WINAPI CreateEventA(LPSECURITY_ATTRIBUTES attributes, BOOL manualReset, BOOL initialState,
                           LPCSTR name);
BOOL WINAPI SetEvent(HANDLE event);
BOOL WINAPI ResetEvent(HANDLE event);

// Sleep(0) gives up the rest of the time slice. With simulated time (kernel_system.h) any
// other sleep moves the simulated clock on and returns at once.
void WINAPI Sleep(DWORD milliseconds);
