#include "port/com/com.h"

#include <cstdlib>
#include <mutex>
#include <vector>

#include "port/com/com_classes.h"
#include "port/ddraw/ddraw.h"
#include "port/dinput/dinput.h"
#include "port/dshow/dshow.h"
#include "port/dsound/dsound.h"
#include "port/kernel/module_exports.h"

namespace {

struct ComClass {
  CLSID clsid;
  PortClassFactory create;
};

// Every class CoCreateInstance can make. A class that is not listed is not registered here.
const ComClass kClasses[] = {
    {CLSID_DirectSound, &CreateDirectSoundObject}, {CLSID_DirectDraw7, &MakeDirectDraw7Object},
    {CLSID_DirectInput, &CreateDirectInputObject}, {CLSID_DirectInput8, &CreateDirectInput8Object},
    {CLSID_FilterGraph, &CreateFilterGraphObject}, {CLSID_NullRenderer, &CreateNullRendererObject},
};

std::mutex gMutex;
std::vector<CLSID> gAbsentClasses;
bool gCoInitializeFails = false;
thread_local int gInitCount = 0;

bool IsAbsent(REFCLSID clsid) {
  for (const CLSID& c : gAbsentClasses)
    if (c == clsid) return true;
  return false;
}

}  // namespace

HRESULT WINAPI CoInitialize(LPVOID) {
  {
    std::lock_guard lock(gMutex);
    if (gCoInitializeFails) return E_FAIL;
  }
  // As on Windows: the first call on a thread gives S_OK, later ones S_FALSE; each success
  // must be matched by CoUninitialize.
  return gInitCount++ == 0 ? S_OK : S_FALSE;
}

void WINAPI CoUninitialize() {
  if (gInitCount > 0) --gInitCount;
}

HRESULT WINAPI CoCreateInstance(REFCLSID clsid, LPUNKNOWN outer, DWORD, REFIID iid,
                                LPVOID* object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (outer) return CLASS_E_NOAGGREGATION;
  PortClassFactory create = nullptr;
  {
    std::lock_guard lock(gMutex);
    if (IsAbsent(clsid)) return REGDB_E_CLASSNOTREG;
    for (const ComClass& c : kClasses)
      if (c.create && c.clsid == clsid) create = c.create;
  }
  if (!create) return REGDB_E_CLASSNOTREG;
  return create(iid, object);
}

LPVOID WINAPI CoTaskMemAlloc(SIZE_T size) { return std::malloc(size ? size : 1); }

void WINAPI CoTaskMemFree(LPVOID memory) { std::free(memory); }

void WINAPI CoFreeUnusedLibraries() {}

void PortSetClassAbsent(REFCLSID clsid, bool absent) {
  std::lock_guard lock(gMutex);
  std::erase(gAbsentClasses, clsid);
  if (absent) gAbsentClasses.push_back(clsid);
}

void PortSetCoInitializeFails(bool fails) {
  std::lock_guard lock(gMutex);
  gCoInitializeFails = fails;
}

void PortResetComSwitches() {
  std::lock_guard lock(gMutex);
  gAbsentClasses.clear();
  gCoInitializeFails = false;
}

int PortComInitCount() { return gInitCount; }

namespace {
const PortExport kOle32Exports[] = {
    PORT_EXPORT(CoCreateInstance), PORT_EXPORT(CoTaskMemAlloc),        PORT_EXPORT(CoTaskMemFree),
    PORT_EXPORT(CoInitialize),     PORT_EXPORT(CoFreeUnusedLibraries), PORT_EXPORT(CoUninitialize),
};
}  // namespace

std::span<const PortExport> Ole32Exports() { return kOle32Exports; }
