// The mixer's outputs: SDL audio (whatever driver SDL picks, its dummy driver on CI) and
// the manual output that tests advance by hand.
#include <SDL2/SDL.h>

#include <mutex>
#include <string>

#include "port/dsound/dsound.h"
#include "port/dsound/sound_mixer.h"

namespace {

constexpr DWORD kSdlRequestRate = 44100;
// A short period keeps the play cursor moving in small steps (about 12 ms).
constexpr Uint16 kSdlRequestFrames = 512;
// The mixing period the manual output reports for its write cursor.
constexpr DWORD kManualPeriodFrames = 512;

// Guards opening and closing. The SDL callback never takes it, so closing the device (which
// waits for the callback to return) cannot deadlock.
std::mutex gOutputMutex;
bool gManualWanted = false;
DWORD gManualRate = 44100;
int gOpenCount = 0;
bool gManualOpen = false;
SDL_AudioDeviceID gDevice = 0;
std::string gDriverName;

void SDLCALL MixIntoSdlStream(void*, Uint8* stream, int length) {
  MixerMix(reinterpret_cast<int16_t*>(stream), length / 4);
}

bool OpenSdlOutput() {
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
  SDL_AudioSpec want = {};
  want.freq = kSdlRequestRate;
  want.format = AUDIO_S16SYS;
  want.channels = 2;
  want.samples = kSdlRequestFrames;
  want.callback = &MixIntoSdlStream;
  SDL_AudioSpec have = {};
  // Any rate and period are fine (the mixer resamples); the sample format and channels are
  // ours, SDL converts them when the device differs.
  gDevice = SDL_OpenAudioDevice(nullptr, 0, &want, &have,
                                SDL_AUDIO_ALLOW_FREQUENCY_CHANGE | SDL_AUDIO_ALLOW_SAMPLES_CHANGE);
  if (gDevice == 0) {
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return false;
  }
  MixerSetOutput(static_cast<DWORD>(have.freq), have.samples);
  const char* driver = SDL_GetCurrentAudioDriver();
  gDriverName = driver ? driver : "";
  SDL_PauseAudioDevice(gDevice, 0);
  return true;
}

void CloseSdlOutput() {
  SDL_CloseAudioDevice(gDevice);
  gDevice = 0;
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

}  // namespace

bool OpenSoundOutput() {
  std::lock_guard lock(gOutputMutex);
  if (gOpenCount > 0) {
    ++gOpenCount;
    return true;
  }
  if (gManualWanted) {
    gManualOpen = true;
    gDriverName = "manual";
    MixerSetOutput(gManualRate, kManualPeriodFrames);
  } else if (!OpenSdlOutput()) {
    return false;
  }
  gOpenCount = 1;
  return true;
}

void CloseSoundOutput() {
  std::lock_guard lock(gOutputMutex);
  if (gOpenCount == 0 || --gOpenCount > 0) return;
  if (gManualOpen)
    gManualOpen = false;
  else
    CloseSdlOutput();
  MixerSetOutput(0, 0);
  gDriverName.clear();
}

void PortSetManualAudio(bool enabled, DWORD deviceRate) {
  std::lock_guard lock(gOutputMutex);
  gManualWanted = enabled;
  gManualRate = deviceRate ? deviceRate : 44100;
}

int PortAdvanceManualAudio(int frames, int16_t* out) {
  std::lock_guard lock(gOutputMutex);
  if (!gManualOpen || frames < 0) return -1;
  MixerMix(out, frames);
  return frames;
}

DWORD PortAudioDeviceRate() { return MixerOutputRate(); }

const char* PortAudioDriverName() {
  std::lock_guard lock(gOutputMutex);
  return gOpenCount > 0 ? gDriverName.c_str() : nullptr;
}
