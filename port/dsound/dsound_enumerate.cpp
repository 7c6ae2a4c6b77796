// The device list of "dsound.dll": the primary device, then SDL's output devices.
#include <SDL2/SDL.h>
#include <iconv.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "port/dsound/dsound.h"
#include "port/kernel/module_exports.h"

namespace {

// Device names come from SDL in UTF-8; the "A" interface hands out CP932. Characters CP932
// cannot hold become '?'.
std::string Utf8ToCp932(const char* text) {
  std::string out;
  iconv_t cd = iconv_open("CP932", "UTF-8");
  if (cd == reinterpret_cast<iconv_t>(-1)) {
    for (const char* p = text; *p; ++p) out.push_back((*p & 0x80) ? '?' : *p);
    return out;
  }
  char* in = const_cast<char*>(text);
  size_t inLeft = std::strlen(text);
  char chunk[256];
  while (inLeft > 0) {
    char* dst = chunk;
    size_t dstLeft = sizeof(chunk);
    const size_t r = iconv(cd, &in, &inLeft, &dst, &dstLeft);
    out.append(chunk, static_cast<size_t>(dst - chunk));
    if (r == static_cast<size_t>(-1) && errno != E2BIG) {
      // Skip the whole UTF-8 sequence that could not be converted.
      out.push_back('?');
      do {
        ++in;
        --inLeft;
      } while (inLeft > 0 && (static_cast<unsigned char>(*in) & 0xC0) == 0x80);
    }
  }
  iconv_close(cd);
  return out;
}

}  // namespace

HRESULT WINAPI DirectSoundEnumerateA(LPDSENUMCALLBACKA callback, LPVOID context) {
  if (!callback) return DSERR_INVALIDPARAM;
  if (!callback(nullptr, "Primary Sound Driver", "", context)) return DS_OK;
  // SDL counts its subsystem users, so this works whether or not an output is open.
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return DS_OK;
  const char* driver = SDL_GetCurrentAudioDriver();
  const std::string module = driver ? driver : "";
  const int count = SDL_GetNumAudioDevices(0);
  for (int i = 0; i < count; ++i) {
    const char* name = SDL_GetAudioDeviceName(i, 0);
    if (!name) continue;
    GUID guid = {0x50A7D500, 0x5D1C, 0x4A55, {0x8B, 0x1E, 0, 0, 0, 0, 0, 0}};
    guid.Data4[6] = static_cast<uint8_t>(i >> 8);
    guid.Data4[7] = static_cast<uint8_t>(i);
    const std::string description = Utf8ToCp932(name);
    if (!callback(&guid, description.c_str(), module.c_str(), context)) break;
  }
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
  return DS_OK;
}

namespace {
const PortExport kDsoundExports[] = {
    PORT_EXPORT(DirectSoundEnumerateA),
};
}  // namespace

std::span<const PortExport> DsoundExports() { return kDsoundExports; }
