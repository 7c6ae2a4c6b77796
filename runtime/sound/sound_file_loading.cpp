// Sound files into memory and into sound handles.
#include "runtime/sound/sound_file_loading.h"

#include <cstdint>
#include <cstring>

#include "runtime/platform/core/log.h"
#include "runtime/platform/core/tracked_heap.h"
#include "runtime/platform/files/file_functions.h"
#include "runtime/sound/sound_converter.h"
#include "runtime/sound/sound_handles.h"
#include "runtime/sound/sound_system.h"
#include "runtime/sound/stream_sound.h"
#include "runtime/sound/stream_sound_source.h"

namespace {

// Size by seeking to the end and back, then one read of everything. The block holds what the
// read delivered.
int ReadAll(const StreamFunctionTable& f, FileHandle handle, void** data, int* size,
            const char* noMemoryFormat, const char* name) {
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
  const int result =
      ReadAll(*GetFileStreamFunctions(), file, data, size,
              "右記のファイルのロードに必要なメモリの確保に失敗しました：%s", fileName);
  CloseStreamFile(file);
  return result;
}

int ReadWholeStream(const DataStream* stream, void** data, int* size) {
  return ReadAll(stream->Functions, stream->Handle, data, size, "%s",
                 "ストリームの読み込みに必要なメモリの確保に失敗しました");
}

namespace {

constexpr int kLongestNormalSoundSeconds = 180;

// A new handle as a stream sound of the given type over the file image.
int MakeStreamSoundFromMemory(int handle, const void* image, int size, int type, int shareHandle) {
  if (AddStreamSoundMemory(image, size, 0, handle, type, shareHandle) != 0) {
    DeleteSoundHandle(handle);
    return -1;
  }
  PrimeStreamSound(handle);
  return handle;
}

// Copies the PCM into every buffer of the handle.
int FillNormalBuffers(SoundEntry* e, const void* pcm, int size) {
  for (int i = 0; i < e->bufferCount; ++i) {
    void* p1 = nullptr;
    void* p2 = nullptr;
    DWORD n1 = 0;
    DWORD n2 = 0;
    if (LockSoundBufferObject(&e->buffers[i], 0, static_cast<DWORD>(size), &p1, &n1, &p2, &n2) !=
        0) {
      LogPrintf("サウンドデータの転送に失敗しました_1");
      return -1;
    }
    std::memcpy(p1, pcm, n1);
    if (p2 && n2) std::memcpy(p2, static_cast<const uint8_t*>(pcm) + n1, n2);
    if (UnlockSoundBufferObject(&e->buffers[i], p1, n1, p2, n2) != 0) {
      LogPrintf("サウンドデータの転送に失敗しました_2");
      return -1;
    }
  }
  return 0;
}

int LoadNormalSound(int handle, const void* image, int size, int bufferCount, int shareHandle) {
  MemoryStream* memory = OpenMemoryStream(image, size);
  SoundConverter converter;
  const DataStream stream = {*GetMemoryStreamFunctions(), reinterpret_cast<FileHandle>(memory)};
  if (!memory || SetupSoundConverter(&stream, &converter) != 0) {
    if (memory) CloseMemoryStream(stream.Handle);
    LogPrintf("音声ファイルのＰＣＭへの変換に失敗しました");
    DeleteSoundHandle(handle);
    return -1;
  }
  WaveFormat format;
  void* pcm = nullptr;
  int pcmSize = 0;
  const int decoded = DecodeWholeSound(&converter, &format, &pcm, &pcmSize);
  TerminateSoundConverter(&converter);
  CloseMemoryStream(stream.Handle);
  if (decoded != 0) {
    LogPrintf("音声ファイルを格納するメモリ領域の確保に失敗しました");
    DeleteSoundHandle(handle);
    return -1;
  }

  if (pcmSize / static_cast<int>(format.nAvgBytesPerSec) > kLongestNormalSoundSeconds ||
      CreateSoundBuffers(-1, &format, pcmSize, SoundKindNormal, bufferCount, handle) != 0) {
    // Too long to hold whole, or no buffers for it: streamed from the file image instead.
    FreeTracked(pcm);
    const int saved = gSoundSystem.creationType;
    gSoundSystem.creationType = StreamSourceImage;
    const int result =
        MakeStreamSoundFromMemory(handle, image, size, StreamSourceImage, shareHandle);
    gSoundSystem.creationType = saved;
    return result;
  }

  SoundEntry* e = GetSoundEntry(handle);
  e->frequency = static_cast<int>(format.nSamplesPerSec);
  int* references = static_cast<int*>(AllocTracked(sizeof(int), __FILE__, __LINE__));
  if (!references) {
    FreeTracked(pcm);
    LogPrintf("サウンドデータの参照数を保存するメモリ領域の確保に失敗しました");
    DeleteSoundHandle(handle);
    return -1;
  }
  e->format = format;
  e->pcmSize = pcmSize;
  e->pcmData = pcm;
  e->pcmReferences = references;
  *references = 1;
  if (FillNormalBuffers(e, pcm, pcmSize) != 0) {
    DeleteSoundHandle(handle);
    return -1;
  }
  return handle;
}

int LoadSoundFromMemoryLocked(const void* image, int size, int bufferCount, int shareHandle) {
  const int handle = AddSoundData(-1);
  if (handle == -1) return -1;
  const int type = gSoundSystem.creationType;
  if (type != 0) return MakeStreamSoundFromMemory(handle, image, size, type, shareHandle);
  return LoadNormalSound(handle, image, size, bufferCount, shareHandle);
}

}  // namespace

int SetSoundCreateType(int type) {
  if (type < 0 || type > 3) return -1;
  gSoundSystem.creationType = type == 1 ? 0 : type;
  return 0;
}

int GetSoundCreateType() { return gSoundSystem.creationType; }

int LoadSoundFromMemory(const void* image, int size, int bufferCount, int shareHandle) {
  if (!IsSoundStarted() || bufferCount > kSoundBufferMax) return -1;
  EnterSoundLock();
  const int handle = LoadSoundFromMemoryLocked(image, size, bufferCount, shareHandle);
  LeaveSoundLock();
  return handle;
}

int LoadSoundFile(const char* fileName, int bufferCount, int shareHandle) {
  if (!IsSoundStarted()) return -1;
  if (bufferCount > kSoundBufferMax) bufferCount = kSoundBufferMax;
  EnterSoundLock();
  int handle = -1;
  const int type = gSoundSystem.creationType;
  if (type != 0) {
    handle = AddSoundData(-1);
    if (handle != -1) {
      if (AddStreamSoundFile(fileName, 0, handle, type, shareHandle) != 0) {
        DeleteSoundHandle(handle);
        handle = -1;
      } else {
        PrimeStreamSound(handle);
      }
    }
  } else {
    void* image = nullptr;
    int size = 0;
    if (LoadWholeFile(fileName, &image, &size) != 0) {
      LogPrintf("右記の音声ファイルのロードに失敗しました_1：%s", fileName);
    } else {
      handle = LoadSoundFromMemoryLocked(image, size, bufferCount, -1);
      if (handle == -1) LogPrintf("右記の音声ファイルのロードに失敗しました_2：%s", fileName);
      FreeTracked(image);
    }
  }
  LeaveSoundLock();
  return handle;
}
