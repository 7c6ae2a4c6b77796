#include "tests/support/recording_device.h"

RecordingDevice::RecordingDevice(IDirect3DDevice9* inner)
    : inner_(inner), innerEx_(dynamic_cast<IDirect3DDevice9Ex*>(inner)) {}

int RecordingDevice::Count(const std::string& name) const {
  int n = 0;
  for (const RecordedCall& c : calls) n += c.name == name;
  return n;
}

int RecordingDevice::Count(const std::string& name, std::vector<uint64_t> leading) const {
  int n = 0;
  for (const RecordedCall& c : calls) {
    if (c.name != name || c.args.size() < leading.size()) continue;
    bool same = true;
    for (size_t i = 0; i < leading.size(); ++i) same = same && c.args[i] == leading[i];
    n += same;
  }
  return n;
}

std::vector<std::string> RecordingDevice::Names() const {
  std::vector<std::string> names;
  for (const RecordedCall& c : calls)
    if (c.name.rfind("Get", 0) != 0) names.push_back(c.name);
  return names;
}

HRESULT RecordingDevice::QueryInterface(REFIID riid, void** object) {
  if (riid == IID_IDirect3DDevice9 || (innerEx_ && riid == IID_IDirect3DDevice9Ex)) {
    AddRef();
    *object = this;
    return S_OK;
  }
  return inner_ ? inner_->QueryInterface(riid, object) : E_NOINTERFACE;
}

ULONG RecordingDevice::Release() {
  const ULONG left = --references_;
  if (left == 0) {
    if (inner_) inner_->Release();
    delete this;
  }
  return left;
}

bool RecordingDevice::Record(const char* name, std::vector<uint64_t> args) {
  calls.push_back({name, std::move(args)});
  if (onCall) onCall(calls.back());
  if (failing.count(name)) {
    interceptResult_ = failureResult;
    return true;
  }
  interceptResult_ = D3D_OK;
  return answered.count(name) != 0;
}
