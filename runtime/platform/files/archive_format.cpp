#include "runtime/platform/files/archive_format.h"

namespace {

uint8_t RotateLeft(uint8_t b, int n) { return static_cast<uint8_t>(b << n | b >> (8 - n)); }

}  // namespace

const uint8_t kArchiveSecondKey[kArchiveKeySize] = {0x3C, 0x91, 0x0E, 0xD5, 0x62, 0xA8,
                                                    0x17, 0xF4, 0x4B, 0x86, 0x29, 0xEC};

void BuildArchiveKey(const char* keyString, uint8_t key[kArchiveKeySize]) {
  if (keyString == nullptr || keyString[0] == '\0') {
    for (int i = 0; i < kArchiveKeySize; ++i) key[i] = kArchiveKeyFiller;
  } else {
    int length = 0;
    while (keyString[length] != '\0' && length < kArchiveKeySize) ++length;
    for (int i = 0; i < kArchiveKeySize; ++i) key[i] = static_cast<uint8_t>(keyString[i % length]);
  }
  // One fixed operation per position, so that the filler or a one-letter string still gives
  // twelve different bytes.
  key[0] = static_cast<uint8_t>(~key[0]);
  key[1] = RotateLeft(key[1], 1);
  key[2] = static_cast<uint8_t>(key[2] ^ 0x5A);
  key[3] = RotateLeft(static_cast<uint8_t>(~key[3]), 3);
  key[4] = static_cast<uint8_t>(key[4] ^ 0xC3);
  key[5] = RotateLeft(key[5], 5);
  key[6] = static_cast<uint8_t>(~(key[6] ^ 0x3E));
  key[7] = RotateLeft(key[7], 2);
  key[8] = static_cast<uint8_t>(key[8] ^ 0x96);
  key[9] = RotateLeft(static_cast<uint8_t>(key[9] ^ 0x71), 7);
  key[10] = static_cast<uint8_t>(~RotateLeft(key[10], 6));
  key[11] = RotateLeft(static_cast<uint8_t>(key[11] ^ 0x0F), 4);
}

void ScrambleArchiveBytes(size_t count, void* bytes, uint64_t offset,
                          const uint8_t key[kArchiveKeySize]) {
  uint8_t* p = static_cast<uint8_t*>(bytes);
  size_t k = static_cast<size_t>(offset % kArchiveKeySize);
  for (size_t i = 0; i < count; ++i) {
    p[i] ^= key[k];
    if (++k == kArchiveKeySize) k = 0;
  }
}

int ArchiveCharSetFromCodePage(uint32_t codePage) {
  switch (codePage) {
    case 932:
      return 1;
    case 949:
      return 2;
    case 950:
      return 3;
    case 936:
      return 4;
    default:
      return 0;
  }
}
