#include "port/kernel/cp932_text.h"

#include <iconv.h>

namespace {

// Converts with iconv, leaving out each character that has no counterpart (one input byte is
// skipped and the conversion goes on).
std::string Convert(const char* to, const char* from, const char* text, size_t length) {
  std::string out;
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return out;
  char* in = const_cast<char*>(text);
  size_t inLeft = length;
  char buffer[256];
  while (inLeft > 0) {
    char* o = buffer;
    size_t oLeft = sizeof(buffer);
    size_t r = iconv(cd, &in, &inLeft, &o, &oLeft);
    out.append(buffer, static_cast<size_t>(o - buffer));
    if (r == static_cast<size_t>(-1) && o == buffer && inLeft > 0) {
      ++in;
      --inLeft;
      iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
  }
  iconv_close(cd);
  return out;
}

}  // namespace

std::string PortCp932ToUtf8(const char* text) {
  size_t n = 0;
  while (text[n]) ++n;
  return Convert("UTF-8", "CP932", text, n);
}

std::string PortUtf8ToCp932(const char* text, size_t length) {
  return Convert("CP932", "UTF-8", text, length);
}

bool PortCp932CharToCodePoint(const char* bytes, size_t length, uint32_t* codePoint) {
  iconv_t cd = iconv_open("UTF-32LE", "CP932");
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  char* in = const_cast<char*>(bytes);
  size_t inLeft = length;
  unsigned char out[8];
  char* o = reinterpret_cast<char*>(out);
  size_t outLeft = sizeof out;
  const size_t r = iconv(cd, &in, &inLeft, &o, &outLeft);
  iconv_close(cd);
  if (r == static_cast<size_t>(-1) || inLeft != 0 || outLeft != sizeof out - 4) return false;
  *codePoint = out[0] | out[1] << 8 | out[2] << 16 | static_cast<uint32_t>(out[3]) << 24;
  return true;
}
