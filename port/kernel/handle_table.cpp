// The kernel handle table: slots with generations, so a closed or stale handle is refused.
#include <mutex>
#include <vector>

#include "port/kernel/handle_table_internal.h"
#include "port/kernel/handles.h"
#include "port/kernel/last_error.h"

namespace {

// Handle value = generation in the high 32 bits, (slot + 1) * 4 in the low ones: never 0, never
// the -1 of INVALID_HANDLE_VALUE nor the small negative pseudo handles.
constexpr size_t kMaxSlots = 1u << 20;

struct Slot {
  std::shared_ptr<PortObject> object;
  uint32_t generation = 1;
};

std::mutex gMutex;
std::vector<Slot> gSlots;
std::vector<uint32_t> gFreeSlots;
int gOpenCount = 0;

HANDLE MakeHandle(size_t slot, uint32_t generation) {
  uint64_t value =
      (static_cast<uint64_t>(generation) << 32) | (static_cast<uint64_t>(slot + 1) << 2);
  return reinterpret_cast<HANDLE>(static_cast<uintptr_t>(value));
}

// The slot a handle names, or -1 when the value is not one of ours or is stale.
long FindSlot(HANDLE handle) {
  uint64_t value = static_cast<uint64_t>(reinterpret_cast<uintptr_t>(handle));
  uint32_t low = static_cast<uint32_t>(value);
  uint32_t generation = static_cast<uint32_t>(value >> 32);
  if (low == 0 || (low & 3) != 0) return -1;
  size_t slot = (low >> 2) - 1;
  if (slot >= gSlots.size()) return -1;
  const Slot& s = gSlots[slot];
  if (!s.object || s.generation != generation) return -1;
  return static_cast<long>(slot);
}

}  // namespace

HANDLE PortRegisterObject(std::shared_ptr<PortObject> object) {
  std::lock_guard lock(gMutex);
  size_t slot;
  if (!gFreeSlots.empty()) {
    slot = gFreeSlots.back();
    gFreeSlots.pop_back();
  } else {
    if (gSlots.size() >= kMaxSlots) return nullptr;
    slot = gSlots.size();
    gSlots.emplace_back();
  }
  Slot& s = gSlots[slot];
  s.object = std::move(object);
  ++gOpenCount;
  return MakeHandle(slot, s.generation);
}

std::shared_ptr<PortObject> PortLookupAnyObject(HANDLE handle) {
  std::lock_guard lock(gMutex);
  long slot = FindSlot(handle);
  if (slot < 0) return nullptr;
  return gSlots[slot].object;
}

std::shared_ptr<PortObject> PortLookupObject(HANDLE handle, PortObjectKind kind) {
  std::shared_ptr<PortObject> object = PortLookupAnyObject(handle);
  if (!object || object->kind != kind) return nullptr;
  return object;
}

BOOL WINAPI CloseHandle(HANDLE handle) {
  std::shared_ptr<PortObject> released;
  {
    std::lock_guard lock(gMutex);
    long slot = FindSlot(handle);
    if (slot < 0) {
      SetLastError(ERROR_INVALID_HANDLE);
      return FALSE;
    }
    Slot& s = gSlots[slot];
    released = std::move(s.object);
    s.object.reset();
    ++s.generation;  // the closed value now names nothing, even after the slot is reused
    gFreeSlots.push_back(static_cast<uint32_t>(slot));
    --gOpenCount;
  }
  // The object goes (closing its descriptor) outside the table lock, unless another thread
  // still holds a reference from a lookup.
  released.reset();
  return TRUE;
}

int PortOpenHandleCount() {
  std::lock_guard lock(gMutex);
  return gOpenCount;
}
