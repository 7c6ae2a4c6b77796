// Imm32 with no input method: no context is ever handed out, so every query reports nothing.
#include "port/user/imm32.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "port/kernel/last_error.h"
#include "port/kernel/module_exports.h"
#include "port/user/user32.h"

namespace {

struct PlayedInputMethod {
  bool on = false;
  std::string composition;
  std::string result;
  LONG cursor = 0;
};
PlayedInputMethod gPlayed;
int gContext;  // the one context handed out while an input method is played

}  // namespace

void PortSetInputMethodText(const char* composition, const char* result, LONG cursorBytes) {
  gPlayed.on = composition || result;
  gPlayed.composition = composition ? composition : "";
  gPlayed.result = result ? result : "";
  gPlayed.cursor = cursorBytes;
}

HIMC WINAPI ImmGetContext(HWND) { return gPlayed.on ? &gContext : nullptr; }
BOOL WINAPI ImmReleaseContext(HWND, HIMC) { return TRUE; }
BOOL WINAPI ImmGetOpenStatus(HIMC) { return FALSE; }
BOOL WINAPI ImmSetOpenStatus(HIMC, BOOL) { return FALSE; }

BOOL WINAPI ImmGetConversionStatus(HIMC, LPDWORD conversion, LPDWORD sentence) {
  if (conversion) *conversion = 0;
  if (sentence) *sentence = 0;
  return FALSE;
}

BOOL WINAPI ImmNotifyIME(HIMC, DWORD, DWORD, DWORD) { return FALSE; }
DWORD WINAPI ImmGetCandidateListA(HIMC, DWORD, LPCANDIDATELIST, DWORD) { return 0; }
// Copies as much of the text as the buffer holds (no terminator) and returns the bytes copied;
// a buffer length of 0 asks for the whole length.
LONG WINAPI ImmGetCompositionStringA(HIMC context, DWORD index, LPVOID buffer, DWORD bufferLength) {
  if (!gPlayed.on || context != &gContext) return IMM_ERROR_GENERAL;
  if (index == GCS_CURSORPOS) return gPlayed.cursor;
  const std::string* text = index == GCS_COMPSTR     ? &gPlayed.composition
                            : index == GCS_RESULTSTR ? &gPlayed.result
                                                     : nullptr;
  if (!text) return 0;
  if (bufferLength == 0 || !buffer) return static_cast<LONG>(text->size());
  size_t n = std::min<size_t>(text->size(), bufferLength);
  std::memcpy(buffer, text->data(), n);
  return static_cast<LONG>(n);
}
BOOL WINAPI ImmSetCompositionStringA(HIMC, DWORD, LPVOID, DWORD, LPVOID, DWORD) { return FALSE; }

// Accepted; there is no input method to switch. Returns the previous setting.
BOOL WINAPI WINNLSEnableIME(HWND, BOOL enable) {
  static BOOL enabled = TRUE;
  BOOL previous = enabled;
  enabled = enable ? TRUE : FALSE;
  return previous;
}

namespace {
const PortExport kImm32Exports[] = {
    PORT_EXPORT(ImmGetContext),
    PORT_EXPORT(ImmReleaseContext),
    PORT_EXPORT(ImmGetOpenStatus),
    PORT_EXPORT(ImmGetConversionStatus),
    PORT_EXPORT(ImmNotifyIME),
    PORT_EXPORT(ImmSetOpenStatus),
    PORT_EXPORT(ImmGetCandidateListA),
    PORT_EXPORT(ImmGetCompositionStringA),
    PORT_EXPORT(ImmSetCompositionStringA),
};
}  // namespace

std::span<const PortExport> Imm32Exports() { return kImm32Exports; }
