// The PCM format of sound data. It is the platform's 18-byte record, so formats are compared
// and copied byte for byte.
#pragma once

#include "port/dsound/wave_format.h"

typedef WAVEFORMATEX WaveFormat;
