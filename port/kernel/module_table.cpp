#include "port/kernel/module_table.h"

#include <mutex>
#include <set>
#include <string>

#include "port/kernel/last_error.h"
#include "port/kernel/module_exports.h"

struct PortModule {
  const char* name;
  std::span<const PortExport> (*exports)();
  int loadCount;
};

namespace {

// Every module the port provides. A module that is not listed does not exist here.
PortModule gModules[] = {
    {"kernel32.dll", &Kernel32Exports, 0}, {"ole32.dll", &Ole32Exports, 0},
    {"dsound.dll", &DsoundExports, 0},     {"winmm.dll", &WinmmExports, 0},
    {"ws2_32.dll", &Ws2_32Exports, 0},     {"user32.dll", &User32Exports, 0},
    {"imm32.dll", &Imm32Exports, 0},       {"d3d9.dll", &D3d9Exports, 0},
    {"comctl32.dll", &Comctl32Exports, 0}, {"dwmapi.dll", &DwmapiExports, 0},
    {"msacm32.dll", &Msacm32Exports, 0},
};

// GetModuleHandleA(null): the program's own module, which exports nothing.
std::span<const PortExport> NoExports() { return {}; }
PortModule gProgramModule = {"", &NoExports, 1};

std::mutex gMutex;
std::set<std::string> gAbsentModules;
std::set<std::string> gAbsentExports;  // "module!function", both lower case

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Lower case, and ".dll" appended when the last path component has no extension, as the
// Windows loader does. A leading directory is dropped: the built-in modules live nowhere.
std::string NormaliseModuleName(const char* name) {
  std::string s;
  for (const char* p = name; *p; ++p) {
    if (*p == '\\' || *p == '/') {
      s.clear();
      continue;
    }
    s.push_back(LowerAscii(*p));
  }
  if (s.find('.') == std::string::npos) s += ".dll";
  return s;
}

PortModule* FindModule(const std::string& normalised) {
  for (PortModule& m : gModules)
    if (normalised == m.name) return &m;
  return nullptr;
}

bool FunctionNamesEqual(const char* a, const char* b) {
  while (*a && *a == *b) ++a, ++b;
  return *a == *b;
}

}  // namespace

HMODULE WINAPI LoadLibraryA(LPCSTR fileName) {
  if (!fileName || !*fileName) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  std::lock_guard lock(gMutex);
  std::string name = NormaliseModuleName(fileName);
  PortModule* module = FindModule(name);
  if (!module || gAbsentModules.count(name)) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
  }
  ++module->loadCount;
  return module;
}

HMODULE WINAPI GetModuleHandleA(LPCSTR moduleName) {
  std::lock_guard lock(gMutex);
  if (!moduleName) return &gProgramModule;
  PortModule* module = FindModule(NormaliseModuleName(moduleName));
  if (!module || module->loadCount == 0) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
  }
  return module;
}

FARPROC WINAPI GetProcAddress(HMODULE module, LPCSTR procName) {
  if (!module || !procName) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  std::lock_guard lock(gMutex);
  // Export names compare case-sensitively, as on Windows.
  std::string key = std::string(module->name) + "!";
  for (const char* p = procName; *p; ++p) key.push_back(LowerAscii(*p));
  for (const PortExport& e : module->exports()) {
    if (FunctionNamesEqual(e.name, procName)) {
      if (gAbsentExports.count(key)) break;
      return e.function;
    }
  }
  SetLastError(ERROR_PROC_NOT_FOUND);
  return nullptr;
}

BOOL WINAPI FreeLibrary(HMODULE module) {
  std::lock_guard lock(gMutex);
  if (!module || module->loadCount <= 0) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  --module->loadCount;
  return TRUE;
}

void PortSetModuleAbsent(const char* moduleName, bool absent) {
  std::lock_guard lock(gMutex);
  std::string name = NormaliseModuleName(moduleName);
  if (absent)
    gAbsentModules.insert(name);
  else
    gAbsentModules.erase(name);
}

void PortSetExportAbsent(const char* moduleName, const char* procName, bool absent) {
  std::lock_guard lock(gMutex);
  std::string key = NormaliseModuleName(moduleName) + "!";
  for (const char* p = procName; *p; ++p) key.push_back(LowerAscii(*p));
  if (absent)
    gAbsentExports.insert(key);
  else
    gAbsentExports.erase(key);
}

void PortResetModuleSwitches() {
  std::lock_guard lock(gMutex);
  gAbsentModules.clear();
  gAbsentExports.clear();
}

int PortModuleLoadCount(const char* moduleName) {
  std::lock_guard lock(gMutex);
  PortModule* module = FindModule(NormaliseModuleName(moduleName));
  return module ? module->loadCount : 0;
}
