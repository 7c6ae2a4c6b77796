#include "runtime/graphics/movie/movie_handles.h"

#include "runtime/platform/core/log.h"
#include "runtime/sound/sound_converter.h"
#include "runtime/sound/sound_file_loading.h"
#include "runtime/sound/sound_handles.h"
#include "runtime/sound/sound_system.h"

namespace {

void* gMovieSlots[HandleCapacity(HandleTypeMovie)];

constexpr int kFrameStock = 10;

// The movie's Vorbis track as a stream sound that reads the movie file itself, or -1. Only the
// Vorbis decoder may take it, so no other decoder looks at the movie's pages.
int LoadMovieSoundTrack(const char* fileName) {
  const int createType = GetSoundCreateType();
  const int decoderMask = GetSoundDecoderMask();
  gSoundSystem.movieAudioFlag = 1;
  SetSoundCreateType(3);
  SetSoundDecoderMask(~SoundDecoderVorbis);
  const int track = LoadSoundFile(fileName, 1, -1);
  SetSoundDecoderMask(decoderMask);
  gSoundSystem.movieAudioFlag = 0;
  SetSoundCreateType(createType);
  return track;
}

// The file as a Theora movie: decoder, sound track and frame size. False when the decoder does
// not take it (the file is closed again).
bool OpenTheoraMovieEntry(MovieEntry* e, const char* fileName) {
  e->file = OpenStreamFile(fileName, 0, 1, 0);
  if (!e->file) return false;
  e->theoraDecoder = OpenTheoraMovie(&CurrentFileFunctions, e->file, kFrameStock);
  if (!e->theoraDecoder) {
    CloseStreamFile(e->file);
    e->file = 0;
    return false;
  }
  e->soundTrack = LoadMovieSoundTrack(fileName);
  TheoraMovieInfo info;
  GetTheoraInfo(e->theoraDecoder, &info);
  e->width = info.Width;
  e->height = info.Height;
  e->theora = 1;
  e->currentImage = GetTheoraRgbImage(e->theoraDecoder);
  return true;
}

}  // namespace

HandleTable MovieHandles = MakeHandleTable(HandleTypeMovie, gMovieSlots);

int OpenMovie(const char* fileName, int* width, int* height, int /*flag*/) {
  int slot = 0;
  while (slot < MovieHandles.capacity && MovieHandles.slots[slot]) ++slot;
  if (slot == MovieHandles.capacity) return -1;
  const int check = MovieHandles.nextCheckNumber;
  const int handle = MakeHandle(HandleTypeMovie, check, slot);
  if (AllocHandleAt(&MovieHandles, handle, sizeof(MovieEntry), __FILE__, __LINE__) == -1)
    return LogPrintf("メモリの確保に失敗しました in OpenMovie");
  MovieEntry* e = GetMovieEntry(handle);
  e->soundTrack = -1;

  if (!OpenTheoraMovieEntry(e, fileName)) {
    if (OpenMovieWithDirectShow(e, fileName, &e->width, &e->height) != 0) {
      ReleaseHandle(&MovieHandles, handle);
      return LogPrintf("ムービーファイルオープン処理時にエラーが発生しました");
    }
    e->currentImage = &e->frameImage;
  }
  if (width) *width = e->width;
  if (height) *height = e->height;
  e->stopped = 1;
  e->playing = 0;
  e->playType = 1;
  MovieHandles.nextCheckNumber = (check + 1) % kHandleCheckNumbers;
  return handle;
}

int CloseMovie(int handle) {
  MovieEntry* e = GetMovieEntry(handle);
  if (!e) return -1;
  if (e->theora) {
    CloseTheoraMovie(e->theoraDecoder);
    CloseStreamFile(e->file);
    if (e->soundTrack != -1) DeleteSoundHandle(e->soundTrack);
    e->theoraDecoder = nullptr;
    e->file = 0;
    e->soundTrack = -1;
    e->theora = 0;
  }
  CloseDirectShowMovie(e);
  return ReleaseHandle(&MovieHandles, handle);
}

MovieEntry* GetMovieEntry(int handle) {
  return static_cast<MovieEntry*>(GetHandleRecord(&MovieHandles, handle));
}

int SetMovieCallback(int handle, MovieFrameCallback callback, int userValue) {
  MovieEntry* e = GetMovieEntry(handle);
  if (!e) return -1;
  e->callback = callback;
  e->userValue = userValue;
  return 0;
}

int UpdateMovieFrame(int handle) {
  MovieEntry* e = GetMovieEntry(handle);
  if (!e) return -1;
  // The callback asks the decoder for the current frame itself.
  if (e->theora) {
    if (e->callback) {
      e->callback(e, e->userValue);
      e->frameUpdated = 1;
    }
  } else {
    UpdateDirectShowMovieFrame(e);
  }
  return 0;
}

namespace {

template <class Action>
void ForEachTheoraMovie(Action action) {
  for (int slot = 0; slot < MovieHandles.endIndex; ++slot) {
    const MovieEntry* e = static_cast<const MovieEntry*>(MovieHandles.slots[slot]);
    if (e != nullptr && e->theora) action(e->theoraDecoder);
  }
}

}  // namespace

void ReleaseAllMovieSurfaces() { ForEachTheoraMovie(&ReleaseTheoraSurface); }

void RecreateAllMovieSurfaces() {
  ForEachTheoraMovie([](TheoraDecoder* d) { CreateTheoraSurface(d); });
}

int PauseAllMovies() {
  for (int slot = 0; slot < MovieHandles.endIndex; ++slot) {
    MovieEntry* e = static_cast<MovieEntry*>(MovieHandles.slots[slot]);
    if (!e || e->stopped) continue;
    if (e->soundTrack != -1) StopSoundHandle(e->soundTrack);
    e->stopped = 1;
  }
  return 0;
}

int ResumeAllMovies() {
  for (int slot = 0; slot < MovieHandles.endIndex; ++slot) {
    MovieEntry* e = static_cast<MovieEntry*>(MovieHandles.slots[slot]);
    if (!e || !e->stopped || !e->playing) continue;
    if (e->soundTrack != -1) PlaySoundHandle(e->soundTrack, SoundPlayBackground, 0);
    e->stopped = 0;
  }
  return 0;
}

// Nothing makes a movie draw itself, so there is never one to draw.
int DrawAutoMovies() { return 0; }
