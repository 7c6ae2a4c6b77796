#include "runtime/platform/startup/runtime_libraries.h"

RuntimeLibraryTable RuntimeLibraries = {};

namespace {

// A failed lookup, or a lookup in a library that did not load, leaves null.
template <typename Function>
void Find(HMODULE module, const char* name, Function* slot) {
  *slot = module ? reinterpret_cast<Function>(GetProcAddress(module, name)) : nullptr;
}

void LoadWs2_32() {
  Ws2_32Library& l = RuntimeLibraries.ws2_32;
  if (l.module) return;
  l.module = LoadLibraryA("ws2_32.dll");
  Find(l.module, "WSAGetLastError", &l.WSAGetLastError);
  Find(l.module, "WSAStartup", &l.WSAStartup);
  Find(l.module, "WSACleanup", &l.WSACleanup);
  Find(l.module, "WSAAsyncSelect", &l.WSAAsyncSelect);
  Find(l.module, "gethostbyaddr", &l.gethostbyaddr);
  Find(l.module, "gethostbyname", &l.gethostbyname);
  Find(l.module, "gethostname", &l.gethostname);
  Find(l.module, "ntohs", &l.ntohs);
  Find(l.module, "htons", &l.htons);
  Find(l.module, "connect", &l.connect);
  Find(l.module, "socket", &l.socket);
  Find(l.module, "send", &l.send);
  Find(l.module, "sendto", &l.sendto);
  Find(l.module, "recvfrom", &l.recvfrom);
  Find(l.module, "accept", &l.accept);
  Find(l.module, "closesocket", &l.closesocket);
  Find(l.module, "shutdown", &l.shutdown);
  Find(l.module, "listen", &l.listen);
  Find(l.module, "bind", &l.bind);
  Find(l.module, "inet_addr", &l.inet_addr);
  Find(l.module, "recv", &l.recv);
}

void LoadImm32() {
  Imm32Library& l = RuntimeLibraries.imm32;
  if (l.module) return;
  l.module = LoadLibraryA("Imm32.dll");
  Find(l.module, "ImmGetContext", &l.ImmGetContext);
  Find(l.module, "ImmReleaseContext", &l.ImmReleaseContext);
  Find(l.module, "ImmGetOpenStatus", &l.ImmGetOpenStatus);
  Find(l.module, "ImmGetConversionStatus", &l.ImmGetConversionStatus);
  Find(l.module, "ImmNotifyIME", &l.ImmNotifyIME);
  Find(l.module, "ImmSetOpenStatus", &l.ImmSetOpenStatus);
  Find(l.module, "ImmGetCandidateListA", &l.ImmGetCandidateListA);
  Find(l.module, "ImmGetCompositionStringA", &l.ImmGetCompositionStringA);
  Find(l.module, "ImmSetCompositionStringA", &l.ImmSetCompositionStringA);
}

void LoadWinmm() {
  WinmmLibrary& l = RuntimeLibraries.winmm;
  if (l.module) return;
  l.module = LoadLibraryA("winmm.dll");
  Find(l.module, "timeSetEvent", &l.timeSetEvent);
  Find(l.module, "timeKillEvent", &l.timeKillEvent);
  Find(l.module, "timeBeginPeriod", &l.timeBeginPeriod);
  Find(l.module, "timeEndPeriod", &l.timeEndPeriod);
  Find(l.module, "timeGetTime", &l.timeGetTime);
  Find(l.module, "timeGetDevCaps", &l.timeGetDevCaps);
  Find(l.module, "joyGetPosEx", &l.joyGetPosEx);
  Find(l.module, "joyGetDevCapsA", &l.joyGetDevCapsA);
  Find(l.module, "mciSendCommandA", &l.mciSendCommandA);
}

void LoadOle32() {
  Ole32Library& l = RuntimeLibraries.ole32;
  if (l.module) return;
  l.module = LoadLibraryA("ole32.dll");
  Find(l.module, "CoCreateInstance", &l.CoCreateInstance);
  Find(l.module, "CoTaskMemAlloc", &l.CoTaskMemAlloc);
  Find(l.module, "CoTaskMemFree", &l.CoTaskMemFree);
  Find(l.module, "CoInitialize", &l.CoInitialize);
  Find(l.module, "CoFreeUnusedLibraries", &l.CoFreeUnusedLibraries);
  Find(l.module, "CoUninitialize", &l.CoUninitialize);
}

void LoadComctl32() {
  Comctl32Library& l = RuntimeLibraries.comctl32;
  if (l.module) return;
  l.module = LoadLibraryA("comctl32.dll");
  Find(l.module, "InitCommonControls", &l.InitCommonControls);
}

void LoadDwmapi() {
  DwmapiLibrary& l = RuntimeLibraries.dwmapi;
  if (l.module) return;
  l.module = LoadLibraryA("dwmapi.dll");
  Find(l.module, "DwmEnableComposition", &l.DwmEnableComposition);
}

void LoadUser32() {
  User32Library& l = RuntimeLibraries.user32;
  if (l.module) return;
  l.module = LoadLibraryA("User32.dll");
  Find(l.module, "WINNLSEnableIME", &l.WINNLSEnableIME);
}

// Frees the library and clears its handle and every pointer with it.
template <typename Library>
void Free(Library* library) {
  if (library->module) FreeLibrary(library->module);
  *library = Library{};
}

}  // namespace

void LoadStartupLibraries() {
  LoadWs2_32();
  LoadImm32();
  LoadWinmm();
  LoadOle32();
  LoadComctl32();
}

void LoadDisplayLibraries() {
  LoadDwmapi();
  LoadUser32();
}

void FreeRuntimeLibraries() {
  Free(&RuntimeLibraries.dwmapi);
  Free(&RuntimeLibraries.user32);
  Free(&RuntimeLibraries.ws2_32);
  Free(&RuntimeLibraries.imm32);
  Free(&RuntimeLibraries.winmm);
  Free(&RuntimeLibraries.ole32);
  Free(&RuntimeLibraries.comctl32);
}
