// The entry points of "msacm32.dll". A stream handle is valid from acmStreamOpen to
// acmStreamClose; each stream is used by one thread at a time, as the manager requires.
#include <cstring>
#include <mutex>
#include <set>

#include "port/kernel/module_exports.h"
#include "port/msacm/acm_decoder.h"
#include "port/msacm/msacm.h"

struct PortAcmObject {
  AcmDecoder decoder;
};

namespace {

// The largest format block the manager knows: MS ADPCM with its seven coefficient pairs.
constexpr DWORD kLargestFormatBytes = 50;

std::mutex gMutex;
std::set<HACMSTREAM> gStreams;

bool IsOpen(HACMSTREAM stream) {
  std::lock_guard lock(gMutex);
  return stream && gStreams.count(stream) != 0;
}

int FormatBytes(const WAVEFORMATEX* f) {
  return static_cast<int>(sizeof(WAVEFORMATEX)) +
         (f->wFormatTag == WAVE_FORMAT_PCM ? 0 : f->cbSize);
}

}  // namespace

MMRESULT WINAPI acmFormatSuggest(HACMDRIVER driver, LPWAVEFORMATEX source,
                                 LPWAVEFORMATEX destination, DWORD destinationBytes, DWORD flags) {
  if (driver) return MMSYSERR_INVALHANDLE;
  if (!source || !destination || destinationBytes < 16) return MMSYSERR_INVALPARAM;
  if (flags & ~ACM_FORMATSUGGESTF_WFORMATTAG) return MMSYSERR_INVALFLAG;
  // Only PCM comes out: a destination tag of another kind cannot be met.
  if ((flags & ACM_FORMATSUGGESTF_WFORMATTAG) && destination->wFormatTag != WAVE_FORMAT_PCM)
    return ACMERR_NOTPOSSIBLE;
  WAVEFORMATEX suggested;
  if (!SuggestAcmDestination(*source, FormatBytes(source), &suggested)) return ACMERR_NOTPOSSIBLE;
  // A 16-byte destination has no room for the extra size.
  std::memcpy(destination, &suggested, destinationBytes < sizeof suggested ? 16 : sizeof suggested);
  return MMSYSERR_NOERROR;
}

MMRESULT WINAPI acmStreamOpen(LPHACMSTREAM stream, HACMDRIVER driver, LPWAVEFORMATEX source,
                              LPWAVEFORMATEX destination, LPWAVEFILTER filter, DWORD_PTR callback,
                              DWORD_PTR, DWORD flags) {
  if (stream) *stream = nullptr;
  if (driver) return MMSYSERR_INVALHANDLE;
  if (!stream || !source || !destination) return MMSYSERR_INVALPARAM;
  // Conversions run when asked, never in the background: no callback, no filters.
  if (flags & ~ACM_STREAMOPENF_NONREALTIME || filter || callback) return MMSYSERR_INVALFLAG;
  auto* made = new PortAcmObject{};
  if (!OpenAcmDecoder(&made->decoder, reinterpret_cast<const uint8_t*>(source), FormatBytes(source),
                      *destination)) {
    delete made;
    return ACMERR_NOTPOSSIBLE;
  }
  std::lock_guard lock(gMutex);
  gStreams.insert(made);
  *stream = made;
  return MMSYSERR_NOERROR;
}

MMRESULT WINAPI acmStreamClose(HACMSTREAM stream, DWORD flags) {
  if (flags) return MMSYSERR_INVALFLAG;
  {
    std::lock_guard lock(gMutex);
    if (!stream || !gStreams.erase(stream)) return MMSYSERR_INVALHANDLE;
  }
  CloseAcmDecoder(&stream->decoder);
  delete stream;
  return MMSYSERR_NOERROR;
}

MMRESULT WINAPI acmMetrics(HACMOBJ object, UINT metric, LPVOID value) {
  if (!value) return MMSYSERR_INVALPARAM;
  if (object) return MMSYSERR_INVALHANDLE;
  if (metric != ACM_METRIC_MAX_SIZE_FORMAT) return ACMERR_NOTPOSSIBLE;
  *static_cast<DWORD*>(value) = kLargestFormatBytes;
  return MMSYSERR_NOERROR;
}

MMRESULT WINAPI acmStreamPrepareHeader(HACMSTREAM stream, LPACMSTREAMHEADER header, DWORD flags) {
  if (!IsOpen(stream)) return MMSYSERR_INVALHANDLE;
  if (!header || header->cbStruct < sizeof(ACMSTREAMHEADER) || !header->pbSrc || !header->pbDst)
    return MMSYSERR_INVALPARAM;
  if (flags) return MMSYSERR_INVALFLAG;
  header->fdwStatus = ACMSTREAMHEADER_STATUSF_PREPARED;
  return MMSYSERR_NOERROR;
}

MMRESULT WINAPI acmStreamUnprepareHeader(HACMSTREAM stream, LPACMSTREAMHEADER header, DWORD flags) {
  if (!IsOpen(stream)) return MMSYSERR_INVALHANDLE;
  if (!header || header->cbStruct < sizeof(ACMSTREAMHEADER)) return MMSYSERR_INVALPARAM;
  if (flags) return MMSYSERR_INVALFLAG;
  if (!(header->fdwStatus & ACMSTREAMHEADER_STATUSF_PREPARED)) return ACMERR_UNPREPARED;
  header->fdwStatus &= ~ACMSTREAMHEADER_STATUSF_PREPARED;
  return MMSYSERR_NOERROR;
}

MMRESULT WINAPI acmStreamConvert(HACMSTREAM stream, LPACMSTREAMHEADER header, DWORD flags) {
  if (!IsOpen(stream)) return MMSYSERR_INVALHANDLE;
  if (!header || header->cbStruct < sizeof(ACMSTREAMHEADER)) return MMSYSERR_INVALPARAM;
  if (flags & ~ACM_STREAMCONVERTF_BLOCKALIGN) return MMSYSERR_INVALFLAG;
  if (!(header->fdwStatus & ACMSTREAMHEADER_STATUSF_PREPARED)) return ACMERR_UNPREPARED;
  // Whole blocks only, with or without the flag: this manager keeps no partial block.
  ConvertAcmBlocks(&stream->decoder, header->pbSrc, header->cbSrcLength, header->pbDst,
                   header->cbDstLength, &header->cbSrcLengthUsed, &header->cbDstLengthUsed);
  header->fdwStatus |= ACMSTREAMHEADER_STATUSF_DONE;
  return MMSYSERR_NOERROR;
}

MMRESULT WINAPI acmStreamSize(HACMSTREAM stream, DWORD inputBytes, LPDWORD outputBytes,
                              DWORD flags) {
  if (!IsOpen(stream)) return MMSYSERR_INVALHANDLE;
  if (!outputBytes) return MMSYSERR_INVALPARAM;
  if (flags != ACM_STREAMSIZEF_SOURCE && flags != ACM_STREAMSIZEF_DESTINATION)
    return MMSYSERR_INVALFLAG;
  *outputBytes =
      AcmConvertedSize(stream->decoder, inputBytes, flags == ACM_STREAMSIZEF_DESTINATION);
  return *outputBytes ? MMSYSERR_NOERROR : ACMERR_NOTPOSSIBLE;
}

int PortOpenAcmStreamCount() {
  std::lock_guard lock(gMutex);
  return static_cast<int>(gStreams.size());
}

namespace {
const PortExport kMsacm32Exports[] = {
    PORT_EXPORT(acmFormatSuggest),       PORT_EXPORT(acmStreamOpen),
    PORT_EXPORT(acmStreamClose),         PORT_EXPORT(acmMetrics),
    PORT_EXPORT(acmStreamPrepareHeader), PORT_EXPORT(acmStreamUnprepareHeader),
    PORT_EXPORT(acmStreamConvert),       PORT_EXPORT(acmStreamSize),
};
}  // namespace

std::span<const PortExport> Msacm32Exports() { return kMsacm32Exports; }
