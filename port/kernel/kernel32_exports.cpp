// The functions "kernel32.dll" exports to GetProcAddress.
#include "port/files/files.h"
#include "port/kernel/handles.h"
#include "port/kernel/kernel_system.h"
#include "port/kernel/last_error.h"
#include "port/kernel/module_exports.h"
#include "port/kernel/threads.h"

namespace {
const PortExport kKernel32Exports[] = {
    PORT_EXPORT(GetLastError),
    PORT_EXPORT(SetLastError),
    PORT_EXPORT(LoadLibraryA),
    PORT_EXPORT(GetModuleHandleA),
    PORT_EXPORT(GetProcAddress),
    PORT_EXPORT(FreeLibrary),
    PORT_EXPORT(CloseHandle),
    PORT_EXPORT(CreateThread),
    PORT_EXPORT(GetCurrentThreadId),
    PORT_EXPORT(GetCurrentThread),
    PORT_EXPORT(WaitForSingleObject),
    PORT_EXPORT(GetExitCodeThread),
    PORT_EXPORT(SetThreadPriority),
    PORT_EXPORT(InitializeCriticalSection),
    PORT_EXPORT(EnterCriticalSection),
    PORT_EXPORT(LeaveCriticalSection),
    PORT_EXPORT(DeleteCriticalSection),
    PORT_EXPORT(CreateEventA),
    PORT_EXPORT(SetEvent),
    PORT_EXPORT(ResetEvent),
    PORT_EXPORT(Sleep),
    PORT_EXPORT(QueryPerformanceCounter),
    PORT_EXPORT(QueryPerformanceFrequency),
    PORT_EXPORT(GetLocalTime),
    PORT_EXPORT(GetSystemInfo),
    PORT_EXPORT(GetVersionExA),
    PORT_EXPORT(GlobalMemoryStatusEx),
    PORT_EXPORT(OutputDebugStringA),
    PORT_EXPORT(CreateFileA),
    PORT_EXPORT(ReadFile),
    PORT_EXPORT(WriteFile),
    PORT_EXPORT(SetFilePointer),
    PORT_EXPORT(GetFileSize),
    PORT_EXPORT(FlushFileBuffers),
    PORT_EXPORT(DeleteFileA),
    PORT_EXPORT(MoveFileExA),
    PORT_EXPORT(GetCurrentDirectoryA),
    PORT_EXPORT(SetCurrentDirectoryA),
    PORT_EXPORT(CreateDirectoryA),
    PORT_EXPORT(GetFileAttributesA),
};
}  // namespace

std::span<const PortExport> Kernel32Exports() { return kKernel32Exports; }
