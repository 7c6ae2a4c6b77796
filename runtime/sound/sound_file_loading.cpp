// Sound files into memory and into sound handles.
#include "runtime/sound/sound_file_loading.h"

#include "runtime/platform/file_functions.h"
#include "runtime/platform/log.h"
#include "runtime/platform/tracked_heap.h"

namespace {

// Size by seeking to the end and back, then one read of everything. The block holds what the
// read delivered.
int ReadAll(const StreamFunctionTable& f, FileHandle handle, void** data, int* size, const char* noMemoryFormat,
            const char* name) {
  f.Seek(handle, 0, 2);
  int length = f.Tell(handle);
  f.Seek(handle, 0, 0);
  if (length < 0) length = 0;
  void* block = AllocTracked(static_cast<size_t>(length), __FILE__, __LINE__);
  if (!block) {
    LogPrintf(noMemoryFormat, name);
    return -1;
  }
  const size_t got = f.Read(block, 1, static_cast<size_t>(length), handle);
  while (f.IdleCheck(handle) == 0) Sleep(0);
  *data = block;
  *size = static_cast<int>(got);
  return 0;
}

}  // namespace

int LoadWholeFile(const char* fileName, void** data, int* size) {
  const FileHandle file = OpenStreamFile(fileName, 0, 1, 0);
  if (file == 0) {
    LogPrintf("右記のファイルのオープンに失敗しました：%s", fileName);
    return -1;
  }
  const int result = ReadAll(*GetFileStreamFunctions(), file, data, size,
                             "右記のファイルのロードに必要なメモリの確保に失敗しました：%s", fileName);
  CloseStreamFile(file);
  return result;
}

int ReadWholeStream(const DataStream* stream, void** data, int* size) {
  return ReadAll(stream->Functions, stream->Handle, data, size, "%s",
                 "ストリームの読み込みに必要なメモリの確保に失敗しました");
}
