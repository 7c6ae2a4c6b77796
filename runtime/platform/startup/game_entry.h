// The Win32 names the game's entry uses, so that the game never includes the port: WinMain,
// which the process entry calls, and the message box with its flags and answers.
#pragma once

#include "port/entry/win_main.h"
#include "port/user/user32.h"
