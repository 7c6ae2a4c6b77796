#include "runtime/graphics/graph/soft_image.h"

#include "runtime/platform/startup/library_hooks.h"

namespace {

// The table reads the check number at the start of every record.
struct SoftImageRecord {
  int32_t checkNumber;
  GraphImage image;
};

void* gSoftImageSlots[HandleCapacity(HandleTypeSoftImage)];

}  // namespace

HandleTable SoftImageHandles = MakeHandleTable(HandleTypeSoftImage, gSoftImageSlots);

int CreateSoftImage(GraphImage* image) {
  if (image == nullptr) return -1;
  // The library's shutdown frees soft images through its hook; with none made there is nothing
  // to free, so the hook comes with the first.
  LibraryHooks.deleteAllSoftImages = &DeleteAllSoftImages;
  const int handle = AllocHandle(&SoftImageHandles, sizeof(SoftImageRecord), __FILE__, __LINE__);
  if (handle < 0) return -1;
  static_cast<SoftImageRecord*>(GetHandleRecord(&SoftImageHandles, handle))->image = *image;
  *image = GraphImage{};
  return handle;
}

GraphImage* GetSoftImage(int handle) {
  auto* record = static_cast<SoftImageRecord*>(GetHandleRecord(&SoftImageHandles, handle));
  return record != nullptr ? &record->image : nullptr;
}

int DeleteSoftImage(int handle) {
  GraphImage* image = GetSoftImage(handle);
  if (image == nullptr) return -1;
  FreeGraphImage(image);
  return ReleaseHandle(&SoftImageHandles, handle);
}

int DeleteAllSoftImages() {
  for (int slot = 0; slot < SoftImageHandles.endIndex; ++slot) {
    const int handle = HandleOfSlot(&SoftImageHandles, slot);
    if (handle != -1) DeleteSoftImage(handle);
  }
  return 0;
}
