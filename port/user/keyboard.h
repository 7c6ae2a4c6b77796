// The keyboard as Win32 reports it: virtual-key states kept from SDL's key events, with the
// keys laid out as on a Japanese 106-key keyboard.
#pragma once

#include "port/kernel/win32_types.h"

// Virtual keys beyond those of the key messages (port/user/user32.h).
#define VK_LBUTTON 0x01
#define VK_RBUTTON 0x02
#define VK_MBUTTON 0x04
#define VK_XBUTTON1 0x05
#define VK_XBUTTON2 0x06
#define VK_MENU 0x12
#define VK_PAUSE 0x13
#define VK_CAPITAL 0x14
#define VK_F1 0x70
#define VK_F12 0x7B
#define VK_F13 0x7C
#define VK_LSHIFT 0xA0
#define VK_RSHIFT 0xA1
#define VK_LCONTROL 0xA2
#define VK_RCONTROL 0xA3
#define VK_LMENU 0xA4
#define VK_RMENU 0xA5

// 256 bytes by virtual key, bit 7 set while the key (or mouse button) is down. The sided
// Shift, Ctrl and Alt keys also set their common key (VK_SHIFT, VK_CONTROL, VK_MENU). Toggle
// states (bit 0) are not kept. FALSE only for a null buffer.
BOOL WINAPI GetKeyboardState(BYTE* state);
// Bit 15 set (a negative value) while the key is down.
SHORT WINAPI GetKeyState(int virtualKey);
