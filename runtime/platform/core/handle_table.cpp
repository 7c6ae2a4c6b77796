#include "runtime/platform/core/handle_table.h"

#include <cstring>

#include "runtime/platform/core/log.h"
#include "runtime/platform/core/tracked_heap.h"

namespace {

int RecordCheckNumber(const void* record) {
  int check;
  std::memcpy(&check, record, sizeof check);
  return check;
}

void SetRecordCheckNumber(void* record, int check) { std::memcpy(record, &check, sizeof check); }

// The texts stand as they are logged: one without its own line end is a formatted line, which
// the log ends for it.
int Refuse(const char* text) {
  if (!text) return -1;
  size_t length = std::strlen(text);
  if (length > 0 && text[length - 1] == '\n') return WriteLogText(text);
  return LogPrintf("%s", text);
}

// Slots of a table, in a handle: never above the 16 bits of the slot field.
bool SlotInTable(const HandleTable* table, int slot) { return slot >= 0 && slot < table->capacity; }

void Attach(HandleTable* table, int slot, void* record) {
  table->slots[slot] = record;
  table->count++;
  if (slot >= table->endIndex) table->endIndex = slot + 1;
}

}  // namespace

int AllocHandle(HandleTable* table, size_t recordSize, const char* sourceName, int line) {
  const HandleTypeInfo* info = FindHandleType(table->type);
  if (table->count >= table->capacity) return Refuse(info ? info->fullTableText : nullptr);

  int slot = table->endIndex;
  if (slot >= table->capacity) {
    slot = 0;
    while (slot < table->capacity && table->slots[slot]) ++slot;
    if (slot == table->capacity) return Refuse(info ? info->fullTableText : nullptr);
  }

  // A record always has room for its check number.
  void* record =
      AllocTrackedZero(recordSize < sizeof(int) ? sizeof(int) : recordSize, sourceName, line);
  if (!record) return Refuse(info ? info->noMemoryText : nullptr);

  int check = table->nextCheckNumber;
  table->nextCheckNumber = (check + 1) % kHandleCheckNumbers;
  SetRecordCheckNumber(record, check);
  Attach(table, slot, record);
  return MakeHandle(table->type, check, slot);
}

int AllocHandleAt(HandleTable* table, int handle, size_t recordSize, const char* sourceName,
                  int line) {
  if (handle < 0 || HandleTypeOf(handle) != table->type) return -1;
  int slot = HandleSlotOf(handle);
  if (!SlotInTable(table, slot) || table->slots[slot]) return -1;
  const HandleTypeInfo* info = FindHandleType(table->type);
  void* record =
      AllocTrackedZero(recordSize < sizeof(int) ? sizeof(int) : recordSize, sourceName, line);
  if (!record) return Refuse(info ? info->noMemoryText : nullptr);
  SetRecordCheckNumber(record, HandleCheckNumberOf(handle));
  Attach(table, slot, record);
  return handle;
}

void* GetHandleRecord(const HandleTable* table, int handle) {
  if (handle < 0) return nullptr;
  if ((handle & 0x78000000) != (table->type << 27)) return nullptr;
  int slot = HandleSlotOf(handle);
  if (!SlotInTable(table, slot)) return nullptr;
  void* record = table->slots[slot];
  if (!record) return nullptr;
  if ((RecordCheckNumber(record) << 16) != (handle & 0x07FF0000)) return nullptr;
  return record;
}

int HandleOfSlot(const HandleTable* table, int slot) {
  if (!SlotInTable(table, slot) || !table->slots[slot]) return -1;
  return MakeHandle(table->type, RecordCheckNumber(table->slots[slot]), slot);
}

int ReleaseHandle(HandleTable* table, int handle) {
  void* record = GetHandleRecord(table, handle);
  if (!record) return -1;
  int slot = HandleSlotOf(handle);
  table->count--;
  if (slot == table->endIndex - 1) {
    if (table->count == 0) {
      table->endIndex = 0;
    } else {
      int end = slot;
      while (end > 0 && !table->slots[end - 1]) --end;
      table->endIndex = end;
    }
  }
  FreeTracked(record);
  table->slots[slot] = nullptr;
  return 0;
}

int ClearHandleList(HandleListNode* head, HandleListNode* tail) {
  head->handle = tail->handle = -1;
  head->object = tail->object = nullptr;
  head->previous = nullptr;
  head->next = tail;
  tail->previous = head;
  tail->next = nullptr;
  return 0;
}

int LinkHandleNode(HandleListNode* head, HandleListNode* node, int handle, void* object) {
  node->handle = handle;
  node->object = object;
  head->next->previous = node;
  node->next = head->next;
  node->previous = head;
  head->next = node;
  return 0;
}

int UnlinkHandleNode(HandleListNode* node) {
  node->previous->next = node->next;
  node->next->previous = node->previous;
  return 0;
}
