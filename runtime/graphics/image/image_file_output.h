// A file written by the image writers: created anew through the port, and deleted again when
// writing fails, so that no partial image is left behind.
#pragma once

#include <cstddef>

#include "port/win32.h"

struct ImageFileOutput {
  HANDLE File;
  const char* Name;
};

// Deletes an existing file of the name and creates it anew. false when it cannot be created.
bool OpenImageFileOutput(ImageFileOutput* output, const char* name);
// false when not every byte was written.
bool WriteImageFileOutput(ImageFileOutput* output, const void* data, size_t size);
// Closes the file; unless keep, deletes it.
void CloseImageFileOutput(ImageFileOutput* output, bool keep);
