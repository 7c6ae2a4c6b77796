#include "runtime/platform/core/text_helpers.h"

#include <cstdint>

int CharSetMode = -1;

int IsDoubleByteStart(const char* p, int mode) {
  const unsigned char c = static_cast<unsigned char>(*p);
  if (mode >= 2 && mode <= 4) return c >= 0x80 ? 1 : 0;
  return ((c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC)) ? 1 : 0;
}

void CopyText(char* destination, const char* source) {
  while ((*destination++ = *source++) != '\0') {}
}

void CopyTextN(char* destination, const char* source, int n) {
  int i = 0;
  for (; i < n && source[i] != '\0'; ++i) destination[i] = source[i];
  destination[i] = '\0';
}

void CopyTextBounded(char* destination, size_t destinationSize, const char* source) {
  if (destinationSize == 0) return;
  size_t i = 0;
  while (source[i] != '\0') {
    // A double-byte character goes whole or not at all; a lead byte before the NUL goes alone.
    size_t width = (IsDoubleByteStart(source + i, CharSetMode) && source[i + 1] != '\0') ? 2 : 1;
    if (i + width > destinationSize - 1) break;
    for (size_t k = 0; k < width; ++k) destination[i + k] = source[i + k];
    i += width;
  }
  destination[i] = '\0';
}

int CompareText(const char* a, const char* b) {
  for (;; ++a, ++b) {
    if (*a != *b) return 1;
    if (*a == '\0') return 0;
  }
}

int CompareTextN(const char* a, const char* b, int n) {
  for (int i = 0; i < n; ++i)
    if (a[i] != b[i]) return 1;
  return 0;
}

char* FindTextChar(const char* text, int byte) {
  const char target = static_cast<char>(byte);
  for (const char* p = text;; ++p) {
    if (*p == target) return const_cast<char*>(p);
    if (*p == '\0') return nullptr;
    if (IsDoubleByteStart(p, CharSetMode)) {
      if (p[1] == '\0') return target == '\0' ? const_cast<char*>(p + 1) : nullptr;
      ++p;  // the second byte is never a character of its own
    }
  }
}

char* UpperCaseText(char* text) {
  char* p = text;
  while (*p != '\0') {
    if (IsDoubleByteStart(p, CharSetMode)) {
      if (p[1] == '\0') return p + 1;
      p += 2;
      continue;
    }
    if (*p >= 'a' && *p <= 'z') *p = static_cast<char>(*p - 'a' + 'A');
    ++p;
  }
  return p;
}

char* IntToText(int value, char* destination, int radix) {
  if (radix < 2 || radix > 36) {
    destination[0] = '\0';
    return destination;
  }
  // The magnitude as unsigned, so that INT_MIN has one.
  unsigned magnitude = value < 0 ? 0u - static_cast<unsigned>(value) : static_cast<unsigned>(value);
  char digits[33];
  int count = 0;
  do {
    unsigned d = magnitude % static_cast<unsigned>(radix);
    digits[count++] = static_cast<char>(d < 10 ? '0' + d : 'a' + (d - 10));
    magnitude /= static_cast<unsigned>(radix);
  } while (magnitude != 0);
  char* out = destination;
  if (value < 0) *out++ = '-';
  while (count > 0) *out++ = digits[--count];
  *out = '\0';
  return destination;
}

void FillBytes(void* destination, int value, size_t n) {
  auto* d = static_cast<unsigned char*>(destination);
  for (size_t i = 0; i < n; ++i) d[i] = static_cast<unsigned char>(value);
}

int CompareBytes(const void* a, const void* b, size_t n) {
  const auto* x = static_cast<const unsigned char*>(a);
  const auto* y = static_cast<const unsigned char*>(b);
  for (size_t i = 0; i < n; ++i)
    if (x[i] != y[i]) return 1;
  return 0;
}

size_t MoveBytes(void* destination, const void* source, size_t n) {
  auto* d = static_cast<unsigned char*>(destination);
  const auto* s = static_cast<const unsigned char*>(source);
  for (size_t i = 0; i < n; ++i) d[i] = s[i];
  return n;
}

size_t MoveBytesOverlapped(void* destination, const void* source, size_t n) {
  auto* d = static_cast<unsigned char*>(destination);
  const auto* s = static_cast<const unsigned char*>(source);
  const uintptr_t to = reinterpret_cast<uintptr_t>(d);
  const uintptr_t from = reinterpret_cast<uintptr_t>(s);
  if (to < from) {
    for (size_t i = 0; i < n; ++i) d[i] = s[i];
  } else if (to > from) {
    for (size_t i = n; i > 0; --i) d[i - 1] = s[i - 1];
  }
  return n;
}
