// Resource handles: every object the runtime hands out (graph, sound, font, movie, ...) is named
// by one 32-bit integer packing its type, its slot in the type's table and a check number, so
// a handle of another type, or one kept after its object was deleted, is refused.
//
//   bit 31      0 (a negative value is never a handle; -1 means none or failure)
//   bits 27-30  type (the table below)
//   bits 16-26  check number 0..2047
//   bits 0-15   slot
#pragma once

#include <cstddef>

enum HandleType {
  HandleTypeGraph = 1,
  HandleTypeSound = 2,
  HandleTypeMovie = 3,
  HandleTypeFont = 4,
  HandleTypeMask = 5,
  HandleTypeNetwork = 6,
  HandleTypeTextInput = 7,
  HandleTypeMusic = 8,
  HandleTypeLight = 9,
  HandleTypeModel = 10,
  HandleTypeSoftImage = 11,
  HandleTypeShader = 12,
  HandleTypeVertexBuffer = 14,
  HandleTypeIndexBuffer = 15,
};

// One row per handle type: how many records its table holds, and the log lines of the
// allocation refusals that AllocHandle writes itself. A type whose full table or failed record
// ends the program (graphs, lights) or is reported with its own wording (fonts) checks that in
// its own allocator and has no texts here. Types 0 and 13 are not used.
struct HandleTypeInfo {
  int type;
  int capacity;
  const char* fullTableText;  // null: refused without a line
  const char* noMemoryText;   // null: refused without a line
};

inline constexpr HandleTypeInfo kHandleTypes[] = {
    {HandleTypeGraph, 32768, nullptr, nullptr},
    {HandleTypeSound, 32768, "サウンドの数が許容量を越えました\n",
     "メモリ領域の確保に失敗しました in AddSoundData"},
    {HandleTypeMovie, 100, nullptr, nullptr},
    {HandleTypeFont, 40, nullptr, nullptr},
    {HandleTypeMask, 512, nullptr, nullptr},
    {HandleTypeNetwork, 8192, nullptr, nullptr},
    {HandleTypeTextInput, 256, nullptr, nullptr},
    {HandleTypeMusic, 256, nullptr, nullptr},
    {HandleTypeLight, 4096, nullptr, nullptr},
    {HandleTypeModel, 0, nullptr, nullptr},  // growable: the model system keeps its own array
    {HandleTypeSoftImage, 8192, nullptr, nullptr},
    {HandleTypeShader, 4096, nullptr, nullptr},
    {HandleTypeVertexBuffer, 16384, nullptr, nullptr},
    {HandleTypeIndexBuffer, 16384, nullptr, nullptr},
};

constexpr const HandleTypeInfo* FindHandleType(int type) {
  for (const HandleTypeInfo& info : kHandleTypes)
    if (info.type == type) return &info;
  return nullptr;
}

constexpr int HandleCapacity(int type) {
  for (const HandleTypeInfo& info : kHandleTypes)
    if (info.type == type) return info.capacity;
  return 0;
}

constexpr int kHandleCheckNumbers = 2048;

constexpr int MakeHandle(int type, int checkNumber, int slot) {
  return slot | ((checkNumber | type * 2048) << 16);
}
constexpr int HandleTypeOf(int handle) { return (handle >> 27) & 0xF; }
constexpr int HandleCheckNumberOf(int handle) { return (handle >> 16) & 0x7FF; }
constexpr int HandleSlotOf(int handle) { return handle & 0xFFFF; }

// The table of one type. Every record starts with its check number (an int); the rest is the
// type's own. Records come from the tracked heap, zeroed.
struct HandleTable {
  int type;
  int capacity;
  void** slots;  // capacity entries, null when free
  int count;     // live records
  int endIndex;  // one past the highest slot in use
  int nextCheckNumber;
};

// A table over a slot array of HandleCapacity(type) entries:
//   void* gSoundSlots[HandleCapacity(HandleTypeSound)];
//   HandleTable SoundHandles = MakeHandleTable(HandleTypeSound, gSoundSlots);
constexpr HandleTable MakeHandleTable(int type, void** slots) {
  return HandleTable{type, HandleCapacity(type), slots, 0, 0, 0};
}

// A new zeroed record of recordSize bytes in the next slot (the end index, or the lowest free
// slot once the end index has reached the capacity), with the next check number. Returns the
// handle, or -1 with the type's line logged when the table is full or the record cannot be
// allocated; the table is then unchanged. sourceName and line tag the tracked block.
int AllocHandle(HandleTable* table, size_t recordSize, const char* sourceName, int line);
// The same in the slot and with the check number of a given handle, for re-creating a record
// under a handle that must keep its value; the next check number is left alone. -1 when the
// handle is not of this type, its slot lies outside the table or is taken, or the record
// cannot be allocated.
int AllocHandleAt(HandleTable* table, int handle, size_t recordSize, const char* sourceName,
                  int line);

// The record of a live handle, or null when the handle is negative, of another type, beyond the
// table, empty or stale.
void* GetHandleRecord(const HandleTable* table, int handle);
inline bool IsHandleValid(const HandleTable* table, int handle) {
  return GetHandleRecord(table, handle) != nullptr;
}
// The handle of the record in a slot (for delete-all walks), or -1 for an empty slot.
int HandleOfSlot(const HandleTable* table, int slot);
// Frees the record of a live handle and empties its slot; 0, or -1 for a handle that is not live.
int ReleaseHandle(HandleTable* table, int handle);

// A doubly linked list of handles, between a head and a tail sentinel (handle -1, no object).
struct HandleListNode {
  int handle;
  void* object;
  HandleListNode* previous;
  HandleListNode* next;
};

int ClearHandleList(HandleListNode* head, HandleListNode* tail);
// Links node directly after head, so a walk from the head meets the newest node first.
int LinkHandleNode(HandleListNode* head, HandleListNode* node, int handle, void* object);
// Takes node out of its list. Its own links are kept, so a walk may step on from a node it
// has just unlinked.
int UnlinkHandleNode(HandleListNode* node);
