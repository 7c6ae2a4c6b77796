// The identifiers of the filter graph's classes, interfaces and media types, and the media
// type record's copy and release.
#include <cstring>

#include "port/dshow/dshow.h"

namespace {
constexpr GUID Dshow(uint32_t d1, uint16_t d2) {
  return GUID{d1, d2, 0x11CE, {0xB0, 0x3A, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70}};
}
constexpr GUID FourCC(uint32_t code) {
  return GUID{code, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};
}
constexpr GUID Quartz(uint32_t d1) {
  return GUID{d1, 0x524F, 0x11CE, {0x9F, 0x53, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70}};
}
constexpr GUID Format(uint32_t d1) {
  return GUID{d1, 0xC356, 0x11CE, {0xBF, 0x01, 0x00, 0xAA, 0x00, 0x55, 0x59, 0x5A}};
}
}  // namespace

const CLSID CLSID_FilterGraph = Quartz(0xE436EBB3);
const CLSID CLSID_NullRenderer = {
    0xC1F400A4, 0x3F08, 0x11D3, {0x9F, 0x0B, 0x00, 0x60, 0x08, 0x03, 0x9E, 0x37}};
const IID IID_IGraphBuilder = Dshow(0x56A868A9, 0x0AD4);
const IID IID_IFilterGraph = Dshow(0x56A8689F, 0x0AD4);
const IID IID_IMediaControl = Dshow(0x56A868B1, 0x0AD4);
const IID IID_IMediaSeeking = {
    0x36B73880, 0xC2C8, 0x11CF, {0x8B, 0x46, 0x00, 0x80, 0x5F, 0x6C, 0xEF, 0x60}};
const IID IID_IMediaEvent = Dshow(0x56A868B6, 0x0AD4);
const IID IID_IMediaEventSink = Dshow(0x56A868A2, 0x0AD4);
const IID IID_IBasicAudio = Dshow(0x56A868B3, 0x0AD4);
const IID IID_IMediaFilter = Dshow(0x56A86899, 0x0AD4);
const IID IID_IBaseFilter = Dshow(0x56A86895, 0x0AD4);
const IID IID_IPin = Dshow(0x56A86891, 0x0AD4);
const IID IID_IMemInputPin = Dshow(0x56A8689D, 0x0AD4);
const IID IID_IAsyncReader = Dshow(0x56A868AA, 0x0AD4);
const IID IID_IMediaSample = Dshow(0x56A8689A, 0x0AD4);
const IID IID_IReferenceClock = Dshow(0x56A86897, 0x0AD4);
const GUID MEDIATYPE_Video = FourCC(0x73646976);  // 'vids'
const GUID MEDIATYPE_Audio = FourCC(0x73647561);  // 'auds'
const GUID MEDIATYPE_Stream = Quartz(0xE436EB83);
const GUID MEDIASUBTYPE_RGB24 = Quartz(0xE436EB7D);
const GUID MEDIASUBTYPE_PCM = FourCC(WAVE_FORMAT_PCM);
const GUID MEDIASUBTYPE_MPEG1Audio = Quartz(0xE436EB87);
const GUID MEDIASUBTYPE_None = Quartz(0xE436EB8E);
const GUID FORMAT_VideoInfo = Format(0x05589F80);
const GUID FORMAT_WaveFormatEx = Format(0x05589F81);
const GUID GUID_NULL = {0, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0}};

void FreeMediaType(AM_MEDIA_TYPE& type) {
  CoTaskMemFree(type.pbFormat);
  type.pbFormat = nullptr;
  type.cbFormat = 0;
  if (type.pUnk) type.pUnk->Release();
  type.pUnk = nullptr;
}

bool CopyMediaType(AM_MEDIA_TYPE* to, const AM_MEDIA_TYPE& from) {
  if (to == &from) return true;
  FreeMediaType(*to);
  *to = from;
  to->pbFormat = nullptr;
  to->cbFormat = 0;
  if (to->pUnk) to->pUnk->AddRef();
  if (from.cbFormat && from.pbFormat) {
    to->pbFormat = static_cast<BYTE*>(CoTaskMemAlloc(from.cbFormat));
    if (!to->pbFormat) return false;
    std::memcpy(to->pbFormat, from.pbFormat, from.cbFormat);
    to->cbFormat = from.cbFormat;
  }
  return true;
}
