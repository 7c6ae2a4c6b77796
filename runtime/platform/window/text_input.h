// Characters typed into the main window, with the editing keys as control codes in the same
// stream and the input method's results as ordinary characters.
#pragma once

#include "port/win32.h"

constexpr int kInputBufferSize = 1025;  // holds at most 1,024 characters
constexpr int kImeTextSize = 1024;
struct TextInputState {
  unsigned char buffer[kInputBufferSize];
  int writeIndex;
  int readIndex;
  char composition[kImeTextSize];
  int composing;
  int compositionCursor;  // in characters
  uint32_t clauses[kImeTextSize];
  int clauseCount;
  unsigned char attributes[kImeTextSize];
  int attributeCount;
  void* candidateList;  // tracked block
  int candidateListSize;
  int imeOpen;
  int imeUsed;
  int lastInputTime;
  int blinkRestart;
  int blinkInterval;
  int activeKeyInput;  // -1 when none; no key-input field is made in this system
};

extern TextInputState TextInput;

// 0, or -1 when the buffer is full.
int PushInputChar(int code);
// 0 when no complete character waits, 1 for a byte, 2 for a double-byte character. With take 0
// the character stays in the buffer.
int TakeInputChar(char out[2], int take);
int IsControlCode(int code);
int CountCharsInBytes(const char* text, int byteCount);
// The window procedure's share: WM_KEYDOWN and WM_CHAR.
void FeedKeyDown(WPARAM virtualKey);
void FeedChar(WPARAM code);
LRESULT HandleImeMessage(WPARAM wParam, UINT message, HWND window, LPARAM lParam);
int InitTextInput();
int EndTextInput();
// The per-frame text-input service: 0 while no key-input field is active, -1 for an active
// handle that names no field.
int ProcessTextInput();
// Formats into a 1,024-byte buffer (cut there) and ends the program with the text.
[[noreturn]] void AbortWithLogF(const char* format, ...) __attribute__((format(printf, 1, 2)));
