// The audio compression manager ("msacm32.dll"): its records, constants and the eight entry
// points the runtime looks up, converting compressed audio to 16-bit PCM on libavcodec.
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

#define ACMERR_NOTPOSSIBLE 512u
#define ACMERR_UNPREPARED 514u
#define MMSYSERR_INVALHANDLE 5u
#define MMSYSERR_INVALFLAG 10u
#define MMSYSERR_NOMEM 7u
#define ACMSTREAMHEADER_STATUSF_DONE 0x00010000u
#define ACMSTREAMHEADER_STATUSF_PREPARED 0x00020000u

#define ACM_FORMATSUGGESTF_WFORMATTAG 0x00010000u
#define ACM_STREAMOPENF_NONREALTIME 0x00000004u
#define ACM_STREAMCONVERTF_BLOCKALIGN 0x00000004u
#define ACM_STREAMSIZEF_SOURCE 0x00000000u
#define ACM_STREAMSIZEF_DESTINATION 0x00000001u
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

MMRESULT WINAPI acmFormatSuggest(HACMDRIVER driver, LPWAVEFORMATEX source,
                                 LPWAVEFORMATEX destination, DWORD destinationBytes, DWORD flags);
MMRESULT WINAPI acmStreamOpen(LPHACMSTREAM stream, HACMDRIVER driver, LPWAVEFORMATEX source,
                              LPWAVEFORMATEX destination, LPWAVEFILTER filter, DWORD_PTR callback,
                              DWORD_PTR instance, DWORD flags);
MMRESULT WINAPI acmStreamClose(HACMSTREAM stream, DWORD flags);
MMRESULT WINAPI acmMetrics(HACMOBJ object, UINT metric, LPVOID value);
MMRESULT WINAPI acmStreamPrepareHeader(HACMSTREAM stream, LPACMSTREAMHEADER header, DWORD flags);
MMRESULT WINAPI acmStreamUnprepareHeader(HACMSTREAM stream, LPACMSTREAMHEADER header, DWORD flags);
MMRESULT WINAPI acmStreamConvert(HACMSTREAM stream, LPACMSTREAMHEADER header, DWORD flags);
MMRESULT WINAPI acmStreamSize(HACMSTREAM stream, DWORD inputBytes, LPDWORD outputBytes,
                              DWORD flags);

// How many conversion streams are open (tests check that none is left behind).
int PortOpenAcmStreamCount();

// The MPEG Layer 3 format block: a WAVEFORMATEX with 12 bytes of its own (30 bytes).
#define WAVE_FORMAT_ADPCM 0x0002
#define WAVE_FORMAT_ALAW 0x0006
#define WAVE_FORMAT_MULAW 0x0007
#define WAVE_FORMAT_IMA_ADPCM 0x0011
#define WAVE_FORMAT_GSM610 0x0031
#define WAVE_FORMAT_MPEG 0x0050
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
