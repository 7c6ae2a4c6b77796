// What the port's COM objects with a plain reference count share. Port-internal.
#pragma once

#include <atomic>

#include "port/kernel/win32_types.h"

inline constexpr IID IID_IUnknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

// An object made with one reference that deletes itself when the last one is released.
template <class Interface>
class PortComObject : public Interface {
 public:
  ULONG AddRef() override { return ++refs_; }
  ULONG Release() override {
    const ULONG left = --refs_;
    if (left == 0) delete this;
    return left;
  }

 protected:
  // The body of QueryInterface: this object as `Interface`, with a reference, when it
  // answers for the interface asked for.
  HRESULT Answer(bool answers, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (!answers) return E_NOINTERFACE;
    AddRef();
    *object = static_cast<Interface*>(this);
    return S_OK;
  }

 private:
  std::atomic<ULONG> refs_{1};
};

// A factory of the class table: a new object, handed out as the interface asked for (or
// gone again when it has no such interface).
template <class Object>
HRESULT PortMakeComObject(REFIID iid, void** object) {
  auto* made = new Object;
  const HRESULT hr = made->QueryInterface(iid, object);
  made->Release();
  return hr;
}
