#include "port/kernel/kernel_strings.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "port/kernel/cp932_text.h"
#include "port/kernel/last_error.h"

int WINAPI lstrlenA(LPCSTR text) { return text ? static_cast<int>(std::strlen(text)) : 0; }

namespace {

// UTF-8 to code points; false on a malformed sequence.
bool DecodeUtf8(const std::string& text, std::wstring* out) {
  for (size_t i = 0; i < text.size();) {
    const auto b = static_cast<unsigned char>(text[i]);
    const int extra = b < 0x80         ? 0
                      : (b >> 5) == 6  ? 1
                      : (b >> 4) == 14 ? 2
                      : (b >> 3) == 30 ? 3
                                       : -1;
    if (extra < 0 || i + static_cast<size_t>(extra) >= text.size() + (extra == 0 ? 1 : 0))
      return false;
    uint32_t c = extra == 0 ? b : b & (0x3F >> extra);
    for (int k = 1; k <= extra; ++k) {
      const auto n = static_cast<unsigned char>(text[i + k]);
      if ((n >> 6) != 2) return false;
      c = c << 6 | (n & 0x3F);
    }
    out->push_back(static_cast<wchar_t>(c));
    i += static_cast<size_t>(extra) + 1;
  }
  return true;
}

}  // namespace

int WINAPI MultiByteToWideChar(UINT codePage, DWORD, LPCSTR text, int bytes, LPWSTR out,
                               int outChars) {
  if (!text || bytes < -1 || outChars < 0 || (outChars > 0 && !out) ||
      (codePage != CP_ACP && codePage != 932 && codePage != CP_UTF8)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  const std::string in = bytes == -1 ? std::string(text, std::strlen(text) + 1)
                                     : std::string(text, static_cast<size_t>(bytes));
  std::wstring wide;
  // The CP932 conversion stops at a NUL: the pieces between NULs go one by one.
  size_t start = 0;
  while (start <= in.size()) {
    const size_t end = std::min(in.find('\0', start), in.size());
    const std::string piece = in.substr(start, end - start);
    const std::string utf8 = codePage == CP_UTF8 ? piece : PortCp932ToUtf8(piece.c_str());
    if (!DecodeUtf8(utf8, &wide)) {
      SetLastError(ERROR_NO_UNICODE_TRANSLATION);
      return 0;
    }
    if (end < in.size()) wide.push_back(L'\0');
    start = end + 1;
  }
  const int needed = static_cast<int>(wide.size());
  if (outChars == 0) return needed;
  if (needed > outChars) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  std::memcpy(out, wide.data(), wide.size() * sizeof(wchar_t));
  return needed;
}
