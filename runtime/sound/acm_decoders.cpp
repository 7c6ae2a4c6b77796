// Compressed WAV and MP3 through the platform's audio compression manager.
#include "runtime/sound/sound_decoders_internal.h"

int OpenAcmWavDecoder(SoundConverter*) { return -1; }
int OpenAcmMp3Decoder(SoundConverter*) { return -1; }
