// FFmpeg's shared libraries opened at their first use, and their functions found by name: the
// one way the port and the tests' media encoders reach FFmpeg. A process that plays no movie and
// converts no sound never loads FFmpeg, nor the hundred-odd libraries its codecs bring.
#pragma once

#include <string>

enum class FFmpegLibrary { Util, Codec, Format, Scale, Resample };

// The file a library is opened by: the major version of the headers the build saw, so the
// structures the callers read have the layout the library writes.
const char* FFmpegLibraryFile(FFmpegLibrary library);

// The address of `function` in the library, opening the library at the first call. Null when
// the library or the function is missing; `error` then says which, with the loader's reason.
void* FindFFmpegFunction(FFmpegLibrary library, const char* function, std::string* error);

// The same for a library named by its file (FindFFmpegFunction's step; a test names a missing one).
void* FindSharedFunction(const char* file, const char* function, std::string* error);
