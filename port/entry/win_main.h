// The game's entry as Windows calls a GUI program: the process entry of this folder calls it
// and ends the process with its result (-1 shows as 255 on Linux).
#pragma once

#include "port/kernel/win32_types.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previousInstance, LPSTR commandLine,
                   int showCommand);
