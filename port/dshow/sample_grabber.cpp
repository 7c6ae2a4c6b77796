#include "port/dshow/base_filters.h"

namespace {
const CLSID kSampleGrabberClass = {
    0xC1F400A0, 0x3F08, 0x11D3, {0x9F, 0x0B, 0x00, 0x60, 0x08, 0x03, 0x9E, 0x37}};
}

CSampleGrabber::CSampleGrabber(IUnknown*, HRESULT* result, BOOL) : PortFilter(kSampleGrabberClass) {
  AddPin(PINDIR_INPUT);
  AddPin(PINDIR_OUTPUT);
  if (result) *result = S_OK;
}

CSampleGrabber::~CSampleGrabber() { FreeMediaType(accepted_); }

HRESULT CSampleGrabber::SetAcceptedMediaType(const AM_MEDIA_TYPE* type) {
  if (!type) {
    FreeMediaType(accepted_);
    accepted_ = AM_MEDIA_TYPE{};
    return S_OK;
  }
  return CopyMediaType(&accepted_, *type) ? S_OK : E_OUTOFMEMORY;
}

HRESULT CSampleGrabber::GetConnectedMediaType(AM_MEDIA_TYPE* type) {
  if (!type) return E_POINTER;
  return pins()[0]->ConnectionMediaType(type);
}

HRESULT CSampleGrabber::SetCallback(SampleGrabberCallback callback, void* user) {
  std::lock_guard lock(stateMutex_);
  callback_ = callback;
  user_ = user;
  return S_OK;
}

HRESULT CSampleGrabber::CheckInputType(PortPin* pin, const AM_MEDIA_TYPE& type) {
  if (pin != pins()[0]) return S_FALSE;
  const AM_MEDIA_TYPE& a = accepted_;
  if (a.majortype != GUID_NULL && a.majortype != type.majortype) return S_FALSE;
  if (a.subtype != GUID_NULL && a.subtype != type.subtype) return S_FALSE;
  if (a.formattype != GUID_NULL && a.formattype != type.formattype) return S_FALSE;
  return S_OK;
}

bool CSampleGrabber::OfferOutputType(PortPin*, AM_MEDIA_TYPE* type) {
  *type = AM_MEDIA_TYPE{};
  return pins()[0]->peer() && CopyMediaType(type, pins()[0]->type());
}

HRESULT CSampleGrabber::ReceiveSample(PortPin*, IMediaSample* sample) {
  if (state() == State_Stopped) return VFW_E_WRONG_STATE;
  SampleGrabberCallback callback;
  void* user;
  {
    std::lock_guard lock(stateMutex_);
    callback = callback_;
    user = user_;
  }
  if (callback) {
    REFERENCE_TIME start = 0, stop = 0;
    sample->GetTime(&start, &stop);
    callback(sample, &start, &stop, FALSE, user);
  }
  IPin* next = pins()[1]->peer();
  IMemInputPin* in = nullptr;
  if (!next || FAILED(next->QueryInterface(IID_IMemInputPin, reinterpret_cast<void**>(&in))))
    return S_OK;
  const HRESULT hr = in->Receive(sample);
  in->Release();
  return hr;
}

HRESULT CSampleGrabber::ReceiveEndOfStream(PortPin*) {
  IPin* next = pins()[1]->peer();
  return next ? next->EndOfStream() : S_OK;
}
