// Conversion between the CP932 (Shift-JIS) text of the "A" functions and the UTF-8 that SDL
// takes. Characters that have no counterpart are left out.
#pragma once

#include <cstddef>
#include <string>

std::string PortCp932ToUtf8(const char* text);
std::string PortUtf8ToCp932(const char* text, size_t length);
