// Conversion between the CP932 (Shift-JIS) text of the "A" functions and the UTF-8 that SDL
// takes. Characters that have no counterpart are left out.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

std::string PortCp932ToUtf8(const char* text);
std::string PortUtf8ToCp932(const char* text, size_t length);
// The Unicode code point of the one CP932 character that `length` bytes hold; false when they
// hold anything else (no character, an unassigned code, several characters).
bool PortCp932CharToCodePoint(const char* bytes, size_t length, uint32_t* codePoint);
