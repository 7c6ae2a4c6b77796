#include "port/kernel/kernel_strings.h"

#include <cstring>

int WINAPI lstrlenA(LPCSTR text) { return text ? static_cast<int>(std::strlen(text)) : 0; }
