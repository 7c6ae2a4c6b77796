// The byte-stream sources: a memory image (CMemReader) and a file (the source RenderFile adds).
#include <fcntl.h>
#include <unistd.h>

#include <cstring>

#include "port/dshow/graph_filters.h"
#include "port/files/path_translate.h"

namespace {

const CLSID kMemReaderClass = {
    0x4F3A8E21, 0x1B6C, 0x4D2E, {0x9A, 0x51, 0x3C, 0x7E, 0x0B, 0x64, 0xD2, 0x18}};
const CLSID kFileSourceClass = {
    0xE436EBB5, 0x524F, 0x11CE, {0x9F, 0x53, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70}};

void StreamType(AM_MEDIA_TYPE* type, const GUID& subtype) {
  *type = AM_MEDIA_TYPE{};
  type->majortype = MEDIATYPE_Stream;
  type->subtype = subtype;
  type->lSampleSize = 1;
  type->bFixedSizeSamples = TRUE;
}

// Reads of [position, position + length) inside a stream of `size` bytes: false when the
// range leaves it.
bool InRange(LONGLONG position, LONG length, LONGLONG size) {
  return position >= 0 && length >= 0 && position <= size && length <= size - position;
}

class FileSource : public PortFilter, public IAsyncReader {
 public:
  explicit FileSource(int fd) : PortFilter(kFileSourceClass), fd_(fd) {
    AddPin(PINDIR_OUTPUT);
    size_ = lseek(fd_, 0, SEEK_END);
  }
  ~FileSource() override { close(fd_); }

  HRESULT QueryInterface(REFIID iid, void** object) override {
    return PortFilter::QueryInterface(iid, object);
  }
  ULONG AddRef() override { return PortFilter::AddRef(); }
  ULONG Release() override { return PortFilter::Release(); }

  HRESULT SyncRead(LONGLONG position, LONG length, BYTE* buffer) override {
    if (!buffer) return E_POINTER;
    if (!InRange(position, length, size_)) return E_INVALIDARG;
    LONG done = 0;
    while (done < length) {
      const ssize_t n =
          pread(fd_, buffer + done, static_cast<size_t>(length - done), position + done);
      if (n <= 0) return E_FAIL;
      done += static_cast<LONG>(n);
    }
    return S_OK;
  }
  HRESULT Length(LONGLONG* total, LONGLONG* available) override {
    if (total) *total = size_;
    if (available) *available = size_;
    return S_OK;
  }
  bool OfferOutputType(PortPin*, AM_MEDIA_TYPE* type) override {
    StreamType(type, MEDIASUBTYPE_None);
    return true;
  }
  IAsyncReader* Reader(PortPin*) override { return this; }

 private:
  int fd_;
  LONGLONG size_ = 0;
};

}  // namespace

CMemReader::CMemReader(CMemStream* stream, const AM_MEDIA_TYPE* type, HRESULT* result)
    : PortFilter(kMemReaderClass), stream_(stream) {
  AddPin(PINDIR_OUTPUT);
  const bool copied = type && CopyMediaType(&type_, *type);
  if (result) *result = copied ? S_OK : E_OUTOFMEMORY;
}

CMemReader::~CMemReader() { FreeMediaType(type_); }

IPin* CMemReader::GetPin(int index) { return index == 0 ? pins()[0] : nullptr; }

HRESULT CMemReader::SyncRead(LONGLONG position, LONG length, BYTE* buffer) {
  if (!buffer) return E_POINTER;
  if (!stream_ || !InRange(position, length, stream_->size())) return E_INVALIDARG;
  std::memcpy(buffer, stream_->data() + position, static_cast<size_t>(length));
  return S_OK;
}

HRESULT CMemReader::Length(LONGLONG* total, LONGLONG* available) {
  const LONGLONG size = stream_ ? stream_->size() : 0;
  if (total) *total = size;
  if (available) *available = size;
  return S_OK;
}

bool CMemReader::OfferOutputType(PortPin*, AM_MEDIA_TYPE* type) {
  *type = AM_MEDIA_TYPE{};
  return CopyMediaType(type, type_);
}

IAsyncReader* CMemReader::Reader(PortPin*) { return this; }

PortFilter* MakeFileSource(LPCWSTR fileName) {
  std::string cp932;
  PortHostPath host;
  DWORD error = 0;
  if (!PortUtf8ToCp932(WideToUtf8(fileName), &cp932) ||
      !PortTranslatePath(cp932.c_str(), &host, &error))
    return nullptr;
  const int fd = open(host.path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return nullptr;
  return new FileSource(fd);
}
