#include "runtime/platform/window/text_input.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "runtime/platform/core/clocks.h"
#include "runtime/platform/core/log.h"
#include "runtime/platform/core/text_helpers.h"
#include "runtime/platform/core/tracked_heap.h"
#include "runtime/platform/startup/library_startup.h"
#include "runtime/platform/window/message_loop.h"
#include "runtime/platform/window/window_hooks.h"

TextInputState TextInput;

namespace {

struct ControlKey {
  int virtualKey;
  int code;
};

// Consulted in this order.
constexpr ControlKey kControlKeys[] = {
    {VK_DELETE, 16}, {VK_LEFT, 29}, {VK_RIGHT, 28}, {VK_UP, 30},   {VK_DOWN, 31},
    {VK_HOME, 26},   {VK_END, 25},  {VK_PRIOR, 23}, {VK_NEXT, 21},
};

int gInsideOpenStatus = 0;

bool BufferFull() {
  return TextInput.writeIndex + 1 == TextInput.readIndex ||
         (TextInput.readIndex == 0 && TextInput.writeIndex == kInputBufferSize - 1);
}

int Next(int index) { return index + 1 == kInputBufferSize ? 0 : index + 1; }

void FreeCandidateList() {
  FreeTracked(TextInput.candidateList);
  TextInput.candidateList = nullptr;
  TextInput.candidateListSize = 0;
}

// Reads a composition string of the input method into a buffer of the given size; the result
// is cut to the buffer and a text is terminated. Returns the bytes read (0 on an error).
int ReadComposition(HIMC context, DWORD index, void* buffer, int size, bool text) {
  int room = text ? size - 1 : size;
  LONG n = ImmGetCompositionStringA(context, index, buffer, static_cast<DWORD>(room));
  if (n < 0) n = 0;
  if (n > room) n = room;
  if (text) static_cast<char*>(buffer)[n] = '\0';
  return static_cast<int>(n);
}

}  // namespace

int IsControlCode(int code) {
  for (const ControlKey& k : kControlKeys)
    if (k.code == code) return 1;
  return 0;
}

int PushInputChar(int code) {
  if (BufferFull()) return -1;
  TextInput.buffer[TextInput.writeIndex] = static_cast<unsigned char>(code);
  TextInput.writeIndex = Next(TextInput.writeIndex);
  return 0;
}

int TakeInputChar(char out[2], int take) {
  out[0] = out[1] = 0;
  if (TextInput.readIndex == TextInput.writeIndex) return 0;
  int start = TextInput.readIndex;
  unsigned char first = TextInput.buffer[start];
  int index = Next(start);
  char lead[2] = {static_cast<char>(first), 0};
  if (!IsControlCode(first) && IsDoubleByteStart(lead, CharSetMode)) {
    if (index == TextInput.writeIndex) return 0;  // its second byte has not come yet
    out[0] = static_cast<char>(first);
    out[1] = static_cast<char>(TextInput.buffer[index]);
    if (take) TextInput.readIndex = Next(index);
    return 2;
  }
  out[0] = static_cast<char>(first);
  if (take) TextInput.readIndex = index;
  return 1;
}

int CountCharsInBytes(const char* text, int byteCount) {
  if (byteCount < 1) return 0;
  int chars = 0, bytes = 0;
  while (bytes < byteCount && text[bytes]) {
    // A lead byte without its second byte counts as one byte.
    bytes += IsDoubleByteStart(text + bytes, CharSetMode) && text[bytes + 1] ? 2 : 1;
    ++chars;
  }
  return chars;
}

void FeedKeyDown(WPARAM virtualKey) {
  if (BufferFull()) return;
  for (const ControlKey& k : kControlKeys) {
    if (static_cast<WPARAM>(k.virtualKey) == virtualKey) {
      PushInputChar(k.code);
      return;
    }
  }
}

void FeedChar(WPARAM code) {
  switch (code) {
    case 0:
    case 2:
    case 4:
    case 5:
    case 6:
    case 7:
    case 11:
    case 12:
    case 14:
    case 15:
    case 17:
    case 18:
    case 19:
    case 20:
    case 21:
    case 23:
    case 25:
    case 26:
    case 28:
    case 29:
    case 30:
    case 31:
      return;  // they would collide with the control codes, or mean nothing
    case 10:
      PushInputChar(13);
      return;
    default:
      PushInputChar(static_cast<int>(code & 0xFF));
  }
}

LRESULT HandleImeMessage(WPARAM wParam, UINT message, HWND window, LPARAM lParam) {
  TextInput.imeUsed = 1;
  TextInput.blinkRestart = 1;
  TextInput.lastInputTime = GetNowMilliseconds();
  switch (message) {
    case WM_IME_STARTCOMPOSITION:
      TextInput.composing = 1;
      TextInput.compositionCursor = 0;
      return 0;
    case WM_IME_ENDCOMPOSITION:
      std::memset(TextInput.composition, 0, sizeof(TextInput.composition));
      TextInput.composing = 0;
      return 0;
    case WM_IME_COMPOSITION: {
      HIMC context = ImmGetContext(window);
      if (lParam & GCS_COMPSTR)
        ReadComposition(context, GCS_COMPSTR, TextInput.composition, kImeTextSize, true);
      if (lParam & GCS_RESULTSTR) {
        char result[kImeTextSize];
        int n = ReadComposition(context, GCS_RESULTSTR, result, kImeTextSize, true);
        for (int i = 0; i < n; ++i) PushInputChar(static_cast<unsigned char>(result[i]));
        ReadComposition(context, GCS_COMPSTR, TextInput.composition, kImeTextSize, true);
      }
      if (lParam & GCS_CURSORPOS) {
        LONG position = ImmGetCompositionStringA(context, GCS_CURSORPOS, nullptr, 0);
        TextInput.compositionCursor =
            CountCharsInBytes(TextInput.composition, static_cast<int>(position));
      }
      if (lParam & GCS_COMPCLAUSE)
        TextInput.clauseCount = ReadComposition(context, GCS_COMPCLAUSE, TextInput.clauses,
                                                sizeof(TextInput.clauses), false) /
                                4;
      if (lParam & GCS_COMPATTR)
        TextInput.attributeCount = ReadComposition(context, GCS_COMPATTR, TextInput.attributes,
                                                   sizeof(TextInput.attributes), false);
      ImmReleaseContext(window, context);
      return 0;
    }
    case WM_IME_SETCONTEXT:
      return DefWindowProcA(window, message, wParam, 0);
    case WM_IME_NOTIFY:
      switch (wParam) {
        case IMN_CHANGECANDIDATE:
        case IMN_OPENCANDIDATE:
        case IMN_SETCANDIDATEPOS: {
          HIMC context = ImmGetContext(window);
          DWORD size = ImmGetCandidateListA(context, 0, nullptr, 0);
          if (size == 0) {
            ImmReleaseContext(window, context);
            LogPrintf("漢字変換候補のデータサイズが０でした  DefHWND:%x IMC:%x\n",
                      static_cast<unsigned>(reinterpret_cast<uintptr_t>(window)),
                      static_cast<unsigned>(reinterpret_cast<uintptr_t>(context)));
            return 0;
          }
          FreeCandidateList();
          TextInput.candidateList = AllocTracked(size, __FILE__, __LINE__);
          if (!TextInput.candidateList)
            AbortWithLogF(
                "漢字変換候補を保存するメモリの確保に失敗しました( 確保しようとしたサイズ %d "
                "バイト )",
                static_cast<int>(size));
          TextInput.candidateListSize = static_cast<int>(size);
          DWORD read = ImmGetCandidateListA(
              context, 0, static_cast<LPCANDIDATELIST>(TextInput.candidateList), size);
          ImmReleaseContext(window, context);
          if (read == 0) {
            FreeCandidateList();
            LogPrintf("漢字変換候補の取得に失敗しました  BufSize:%d\n", static_cast<int>(size));
          }
          return 0;
        }
        case IMN_CLOSECANDIDATE:
          FreeCandidateList();
          return 0;
        case IMN_SETOPENSTATUS: {
          if (gInsideOpenStatus) return 0;
          gInsideOpenStatus = 1;
          DefWindowProcA(window, message, wParam, lParam);
          uint64_t start = GetNowMicroseconds(0);
          while (PumpWindowMessages() == 0 && GetNowMicroseconds(0) - start < 2000) {}
          HIMC context = ImmGetContext(window);
          TextInput.imeOpen = ImmGetOpenStatus(context) ? 1 : 0;
          ImmReleaseContext(window, context);
          gInsideOpenStatus = 0;
          return 0;
        }
        default:
          return DefWindowProcA(window, message, wParam, lParam);
      }
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

int InitTextInput() {
  WriteLogText("文字コードバッファの初期化を行います... ");
  std::memset(&TextInput, 0, sizeof(TextInput));
  TextInput.activeKeyInput = -1;
  TextInput.blinkInterval = 500;
  TextInput.blinkRestart = 1;
  WriteLogText("完了しました\n");
  return 0;
}

int EndTextInput() {
  FreeCandidateList();
  TextInput.activeKeyInput = -1;
  return 0;
}

// Nothing can make a key-input field here, so any handle but -1 names none.
int ProcessTextInput() { return TextInput.activeKeyInput == -1 ? 0 : -1; }

void AbortWithLogF(const char* format, ...) {
  char text[1024];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof(text), format, args);
  va_end(args);
  if (WindowHooks.abortWithLog) WindowHooks.abortWithLog(text);
  AbortWithLog(text);
}
