// Imm32 with no input method: no context is ever handed out, so every query reports nothing.
#include "port/imm32.h"
#include "port/last_error.h"
#include "port/module_exports.h"
#include "port/user32.h"

HIMC WINAPI ImmGetContext(HWND) { return nullptr; }
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
LONG WINAPI ImmGetCompositionStringA(HIMC, DWORD, LPVOID, DWORD) { return IMM_ERROR_GENERAL; }
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
    PORT_EXPORT(ImmGetContext),          PORT_EXPORT(ImmReleaseContext),
    PORT_EXPORT(ImmGetOpenStatus),       PORT_EXPORT(ImmGetConversionStatus),
    PORT_EXPORT(ImmNotifyIME),           PORT_EXPORT(ImmSetOpenStatus),
    PORT_EXPORT(ImmGetCandidateListA),   PORT_EXPORT(ImmGetCompositionStringA),
    PORT_EXPORT(ImmSetCompositionStringA),
};
}  // namespace

std::span<const PortExport> Imm32Exports() { return kImm32Exports; }
