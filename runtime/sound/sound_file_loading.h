// Loading sound files: whole files and whole streams into memory.
#pragma once

#include "runtime/platform/data_stream.h"

// Reads a whole file (through the file functions), or the rest of a DataStream from its
// start, into a new tracked block. 0, or -1 with the failure logged.
int LoadWholeFile(const char* fileName, void** data, int* size);
int ReadWholeStream(const DataStream* stream, void** data, int* size);
