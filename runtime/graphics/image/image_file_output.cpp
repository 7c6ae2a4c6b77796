// Image files written through the port's file functions.
#include "runtime/graphics/image/image_file_output.h"

bool OpenImageFileOutput(ImageFileOutput* output, const char* name) {
  output->Name = name;
  output->File = INVALID_HANDLE_VALUE;
  if (!name) return false;
  DeleteFileA(name);
  output->File =
      CreateFileA(name, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  return output->File != INVALID_HANDLE_VALUE;
}

bool WriteImageFileOutput(ImageFileOutput* output, const void* data, size_t size) {
  const auto* p = static_cast<const unsigned char*>(data);
  while (size > 0) {
    const DWORD chunk = size > 0x40000000u ? 0x40000000u : static_cast<DWORD>(size);
    DWORD written = 0;
    if (!WriteFile(output->File, p, chunk, &written, nullptr) || written != chunk) return false;
    p += chunk;
    size -= chunk;
  }
  return true;
}

void CloseImageFileOutput(ImageFileOutput* output, bool keep) {
  if (output->File == INVALID_HANDLE_VALUE) return;
  CloseHandle(output->File);
  output->File = INVALID_HANDLE_VALUE;
  if (!keep) DeleteFileA(output->Name);
}
