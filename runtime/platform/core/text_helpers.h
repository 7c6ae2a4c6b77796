// Byte strings that respect double-byte characters, and byte copies and fills. Leaf routines:
// no state (apart from the code-page mode), no locks, no failures.
#pragma once

#include <cstddef>

// The code-page mode deciding which bytes start a double-byte character: 0 and 1 (and -1, not
// yet chosen) take the Shift-JIS lead bytes 0x81-0x9F and 0xE0-0xFC; 2, 3 and 4 take any byte
// with the high bit set. The window creation sets it from the system code page.
extern int CharSetMode;

// 1 when the byte at p starts a double-byte character under the given mode, else 0.
int IsDoubleByteStart(const char* p, int mode);

// Copies the string and its NUL.
void CopyText(char* destination, const char* source);
// Copies at most n bytes, stopping at the source's NUL, then always writes a NUL: the
// destination must hold n + 1 bytes. n <= 0 writes an empty string.
void CopyTextN(char* destination, const char* source, int n);
// Copies as much of the source as fits in a destination of destinationSize bytes, NUL
// included, without splitting a double-byte character. Nothing is written when the size is 0.
void CopyTextBounded(char* destination, size_t destinationSize, const char* source);
// 0 when equal, 1 otherwise (no ordering).
int CompareText(const char* a, const char* b);
// 0 when the first n bytes are equal, NUL bytes compared like any other byte.
int CompareTextN(const char* a, const char* b, int n);
// First occurrence of the byte outside double-byte characters; null when absent. Looking for
// 0 finds the terminating NUL.
char* FindTextChar(const char* text, int byte);
// Raises 'a'-'z' in place, leaving double-byte characters alone; returns the terminating NUL.
char* UpperCaseText(char* text);
// value in the radix (2..36) into destination, '-' first for a negative value; returns
// destination. The destination must hold 34 bytes for radix 2, 12 for radix 10. A radix
// outside 2..36 writes an empty string.
char* IntToText(int value, char* destination, int radix);

void FillBytes(void* destination, int value, size_t n);
// 0 when the n bytes are equal (n = 0 counts as equal), 1 otherwise.
int CompareBytes(const void* a, const void* b, size_t n);
// Forward copy from the first byte to the last; returns n.
size_t MoveBytes(void* destination, const void* source, size_t n);
// Copy that is correct for overlapping ranges; returns n.
size_t MoveBytesOverlapped(void* destination, const void* source, size_t n);
