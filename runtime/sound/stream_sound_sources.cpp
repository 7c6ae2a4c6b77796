// Adding sources to stream sounds: from a DataStream, a file or a file image in memory. The
// first source makes a handle a stream sound with a ring buffer of its own or a shared one.
#include <climits>
#include <cstring>

#include "runtime/platform/core/log.h"
#include "runtime/platform/core/tracked_heap.h"
#include "runtime/platform/files/file_functions.h"
#include "runtime/sound/sound_file_loading.h"
#include "runtime/sound/sound_system.h"
#include "runtime/sound/stream_sound.h"
#include "runtime/sound/stream_sound_internal.h"

namespace {

// Undoes a source that was set up but not added.
void DiscardSource(StreamSoundSource* source) {
  TerminateSoundConverter(&source->converter);
  if (source->ownStream.Handle) source->ownStream.Functions.Close(source->ownStream.Handle);
  source->ownStream.Handle = 0;
  FreeTracked(source->image);
  source->image = nullptr;
}

// Type 2: the whole stream into memory, decoded from there.
int OpenImageSource(StreamSoundSource* source, const DataStream* stream) {
  if (ReadWholeStream(stream, &source->image, &source->imageSize) != 0) {
    LogPrintf("音声データの読み込みに失敗しました");
    return -1;
  }
  MemoryStream* memory = OpenMemoryStream(source->image, source->imageSize);
  if (memory) {
    source->ownStream.Functions = *GetMemoryStreamFunctions();
    source->ownStream.Handle = reinterpret_cast<FileHandle>(memory);
    if (SetupSoundConverter(&source->ownStream, &source->converter) == 0) return 0;
  }
  DiscardSource(source);
  LogPrintf("音声データのオープンに失敗しました");
  return -1;
}

// The first source gives the handle its format and its ring buffer.
int BecomeStreamSound(int handle, SoundEntry* e, int shareHandle) {
  StreamSoundState& s = e->stream;
  const WaveFormat& f = e->format;
  SoundEntry* owner = shareHandle == handle ? nullptr : GetSoundEntry(shareHandle);
  if (owner && owner->kind == SoundKindStream && owner->stream.bufferOwner == -1 &&
      SameWaveFormat(owner->format, f)) {
    e->kind = SoundKindStream;
    e->bufferCount = 1;
    LinkHandleNode(&gSoundSystem.streamListHead, &s.listNode, handle, e);
    s.bufferOwner = shareHandle;
    ++owner->stream.users;
  } else {
    const int ringSize = RoundUpToBlocks(f.nAvgBytesPerSec, f.nBlockAlign);
    if (CreateSoundBuffers(-1, &f, ringSize, SoundKindStream, 1, handle) != 0) return -1;
    s.bufferOwner = -1;
  }
  s.ringSize = RoundUpToBlocks(f.nAvgBytesPerSec, f.nBlockAlign);
  e->frequency = static_cast<int>(f.nSamplesPerSec);
  s.users = 0;
  s.currentUser = -1;
  s.deletePending = 0;
  s.writeOffset = -800;
  s.refillThreshold = -1;
  return 0;
}

int AddSreamSoundLocked(const DataStream* stream, int repeatCount, int handle, int type,
                        int* keepsStream, int shareHandle) {
  SoundEntry* e = GetSoundEntry(handle);
  if (!e || !stream) return -1;
  StreamSoundState& s = e->stream;
  // A normal sound never takes sources, whether or not it has any yet.
  if (e->kind != SoundKindStream && (s.sourceCount > 0 || e->bufferCount > 0)) {
    WriteLogText("ストリーム風サウンドではないサウンドデータが渡されました in AddSreamSound\n");
    return -1;
  }
  if (s.sourceCount > 0) {
    SoundBufferRecord* ring = ClaimStreamBuffer(handle, e, false);
    DWORD status = 0;
    if (ring && GetSoundBufferStatus(ring, &status) == 0 && (status & DSBSTATUS_PLAYING)) {
      WriteLogText("既に再生中のストリームサウンドデータにデータを追加しようとしました\n");
      return -1;
    }
    if (s.sourceCount >= kStreamSourceMax) {
      WriteLogText("ストリーム風サウンドの制御データ領域がいっぱいです\n");
      return -1;
    }
  }

  const int index = s.sourceCount;
  StreamSoundSource* source = &s.sources[index];
  std::memset(source, 0, sizeof *source);
  source->type = type == StreamSourceStream ? StreamSourceStream : StreamSourceImage;
  source->endFrame = -1;
  stream->Functions.Seek(stream->Handle, 0, 0);

  if (source->type == StreamSourceImage) {
    if (OpenImageSource(source, stream) != 0) return -1;
    *keepsStream = 1;
  } else {
    if (SetupSoundConverter(stream, &source->converter) != 0) {
      LogPrintf("音声データのオープンに失敗しました");
      return -1;
    }
    *keepsStream = 0;
  }

  WaveFormat format;
  GetSoundConverterFormat(&source->converter, &format);
  if (index == 0) {
    e->format = format;
    if (BecomeStreamSound(handle, e, shareHandle) != 0) {
      DiscardSource(source);
      return -1;
    }
  } else if (!SameWaveFormat(format, e->format)) {
    DiscardSource(source);
    LogPrintf("フォーマットの違う音声データは同時に使うことは出来ません");
    return -1;
  }

  // Kept in a byte: forever stays forever, and a count beyond the byte is capped.
  source->repeatCount =
      static_cast<int8_t>(repeatCount < 0 ? -1 : (repeatCount > 127 ? 127 : repeatCount));
  s.openedFlags[index] = 0;
  s.sourceCount = index + 1;
  long long frames = 0;
  for (int i = 0; i < s.sourceCount; ++i)
    frames += GetSoundConverterSize(&s.sources[i].converter) / e->format.nBlockAlign;
  s.totalFrames = frames > INT_MAX ? INT_MAX : static_cast<int>(frames);
  return 0;
}

}  // namespace

int AddSreamSound(const DataStream* stream, int repeatCount, int handle, int type, int* keepsStream,
                  int shareHandle) {
  InstallStreamSoundOperations();
  int keeps = 0;
  const int result =
      WithSoundLock(AddSreamSoundLocked, stream, repeatCount, handle, type, &keeps, shareHandle);
  if (keepsStream) *keepsStream = keeps;
  return result;
}

int AddStreamSoundFile(const char* fileName, int repeatCount, int handle, int type,
                       int shareHandle) {
  if (!IsSoundStarted()) return -1;
  const FileHandle file = OpenStreamFile(fileName, 0, 1, 0);
  if (file == 0) {
    LogPrintf("右記のＷＡＶファイルのロードに失敗しました：%s ", fileName);
    return -1;
  }
  const DataStream stream = {*GetFileStreamFunctions(), file};
  int keepsStream = 0;
  EnterSoundLock();
  if (AddSreamSound(&stream, repeatCount, handle, type, &keepsStream, shareHandle) != 0) {
    LeaveSoundLock();
    CloseStreamFile(file);
    LogPrintf("右記のＷＡＶファイルのセットアップに失敗しました：%s ", fileName);
    return -1;
  }
  if (keepsStream) CloseStreamFile(file);
  SoundEntry* e = GetSoundEntry(handle);
  e->stream.openedFlags[e->stream.sourceCount - 1] = 1;
  LeaveSoundLock();
  return 0;
}

int AddStreamSoundMemory(const void* image, int size, int repeatCount, int handle, int type,
                         int shareHandle) {
  if (!IsSoundStarted()) return -1;
  MemoryStream* memory = OpenMemoryStream(image, size);
  if (!memory) {
    WriteLogText("ＷＡＶファイルのストリームイメージハンドルの作成に失敗しました \n");
    return -1;
  }
  const DataStream stream = {*GetMemoryStreamFunctions(), reinterpret_cast<FileHandle>(memory)};
  int keepsStream = 0;
  EnterSoundLock();
  if (AddSreamSound(&stream, repeatCount, handle, StreamSourceImage, &keepsStream, shareHandle) !=
      0) {
    LeaveSoundLock();
    CloseMemoryStream(stream.Handle);
    WriteLogText("ＷＡＶファイルのストリームイメージのセットアップに失敗しました \n");
    return -1;
  }
  (void)type;  // an image already in memory is always held as one
  if (keepsStream) CloseMemoryStream(stream.Handle);
  SoundEntry* e = GetSoundEntry(handle);
  e->stream.openedFlags[e->stream.sourceCount - 1] = 1;
  LeaveSoundLock();
  return 0;
}
