// The table behind every kernel HANDLE of the port (port-internal). Each kind of object derives
// from PortObject; a handle value names a slot and that slot's generation, so a closed handle
// whose slot was reused is still refused.
#pragma once

#include <memory>

#include "port/kernel/win32_types.h"

enum class PortObjectKind { File, Thread, Event };

struct PortObject {
  explicit PortObject(PortObjectKind k) : kind(k) {}
  virtual ~PortObject() = default;
  const PortObjectKind kind;
};

// Registers an object and returns its new handle (null when the table is full).
HANDLE PortRegisterObject(std::shared_ptr<PortObject> object);

// The object behind a handle when it is open and of the given kind; null otherwise. The
// returned reference keeps the object alive even if another thread closes the handle.
std::shared_ptr<PortObject> PortLookupObject(HANDLE handle, PortObjectKind kind);

// Any kind.
std::shared_ptr<PortObject> PortLookupAnyObject(HANDLE handle);

template <typename T>
std::shared_ptr<T> PortLookup(HANDLE handle) {
  return std::static_pointer_cast<T>(PortLookupObject(handle, T::kKind));
}
