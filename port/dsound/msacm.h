// The audio compression manager's records and constants. The port has no "msacm32.dll": its
// entry points are looked up at run time and are absent here, so these are only the shapes
// the runtime calls them with (through the pointers it finds) when a platform provides them.
#pragma once

#include "port/dsound/wave_format.h"
#include "port/kernel/winmm.h"

struct PortAcmObject;
typedef PortAcmObject* HACMOBJ;
typedef HACMOBJ HACMDRIVER;
typedef HACMOBJ HACMSTREAM;
typedef HACMSTREAM* LPHACMSTREAM;

struct WAVEFILTER;
typedef WAVEFILTER* LPWAVEFILTER;

// One conversion: source and destination ranges, and how much of each was used.
struct ACMSTREAMHEADER {
  DWORD cbStruct;
  DWORD fdwStatus;
  DWORD_PTR dwUser;
  LPBYTE pbSrc;
  DWORD cbSrcLength;
  DWORD cbSrcLengthUsed;
  DWORD_PTR dwSrcUser;
  LPBYTE pbDst;
  DWORD cbDstLength;
  DWORD cbDstLengthUsed;
  DWORD_PTR dwDstUser;
  DWORD dwReservedDriver[15];
};
typedef ACMSTREAMHEADER* LPACMSTREAMHEADER;

#define ACM_FORMATSUGGESTF_WFORMATTAG 0x00010000u
#define ACM_STREAMOPENF_NONREALTIME 0x00000004u
#define ACM_STREAMCONVERTF_BLOCKALIGN 0x00000004u
#define ACM_STREAMSIZEF_SOURCE 0x00000000u
#define ACM_METRIC_MAX_SIZE_FORMAT 50u

typedef MMRESULT(WINAPI* AcmFormatSuggestFunction)(HACMDRIVER driver, LPWAVEFORMATEX source,
                                                   LPWAVEFORMATEX destination,
                                                   DWORD destinationBytes, DWORD flags);
typedef MMRESULT(WINAPI* AcmStreamOpenFunction)(LPHACMSTREAM stream, HACMDRIVER driver,
                                                LPWAVEFORMATEX source, LPWAVEFORMATEX destination,
                                                LPWAVEFILTER filter, DWORD_PTR callback,
                                                DWORD_PTR instance, DWORD flags);
typedef MMRESULT(WINAPI* AcmStreamCloseFunction)(HACMSTREAM stream, DWORD flags);
typedef MMRESULT(WINAPI* AcmMetricsFunction)(HACMOBJ object, UINT metric, LPVOID value);
typedef MMRESULT(WINAPI* AcmStreamHeaderFunction)(HACMSTREAM stream, LPACMSTREAMHEADER header,
                                                  DWORD flags);
typedef MMRESULT(WINAPI* AcmStreamSizeFunction)(HACMSTREAM stream, DWORD inputBytes,
                                                LPDWORD outputBytes, DWORD flags);

// The MPEG Layer 3 format block: a WAVEFORMATEX with 12 bytes of its own (30 bytes).
#define WAVE_FORMAT_MPEGLAYER3 0x0055
#define MPEGLAYER3_ID_MPEG 1
#pragma pack(push, 1)
struct MPEGLAYER3WAVEFORMAT {
  WAVEFORMATEX wfx;
  WORD wID;
  DWORD fdwFlags;
  WORD nBlockSize;
  WORD nFramesPerBlock;
  WORD nCodecDelay;
};
#pragma pack(pop)
static_assert(sizeof(MPEGLAYER3WAVEFORMAT) == 30);
