// The port's input-method interface. Linux has no input method that the port could hand over
// in this form, so the calls are present and report none: there is no input context, no
// composition and no candidate list, and the runtime's input-method paths stay idle. A test
// switch plays an input method that has a composition and a result ready.
#pragma once

#include "port/kernel/win32_types.h"

#define GCS_COMPATTR 0x0010u
#define GCS_COMPCLAUSE 0x0020u
#define GCS_COMPSTR 0x0008u
#define GCS_CURSORPOS 0x0080u
#define GCS_RESULTSTR 0x0800u

#define IMN_CLOSECANDIDATE 0x0004u
#define IMN_CHANGECANDIDATE 0x0003u
#define IMN_OPENCANDIDATE 0x0005u
#define IMN_SETOPENSTATUS 0x0008u
#define IMN_SETCANDIDATEPOS 0x0009u

#define NI_COMPOSITIONSTR 0x0015u
#define CPS_CANCEL 0x0004u
#define SCS_SETSTR 0x0009u

#define IMM_ERROR_NODATA (-1)
#define IMM_ERROR_GENERAL (-2)

struct CANDIDATELIST {
  DWORD dwSize;
  DWORD dwStyle;
  DWORD dwCount;
  DWORD dwSelection;
  DWORD dwPageStart;
  DWORD dwPageSize;
  DWORD dwOffset[1];
};
typedef CANDIDATELIST* LPCANDIDATELIST;

HIMC WINAPI ImmGetContext(HWND window);
BOOL WINAPI ImmReleaseContext(HWND window, HIMC context);
BOOL WINAPI ImmGetOpenStatus(HIMC context);
BOOL WINAPI ImmSetOpenStatus(HIMC context, BOOL open);
BOOL WINAPI ImmGetConversionStatus(HIMC context, LPDWORD conversion, LPDWORD sentence);
BOOL WINAPI ImmNotifyIME(HIMC context, DWORD action, DWORD index, DWORD value);
DWORD WINAPI ImmGetCandidateListA(HIMC context, DWORD index, LPCANDIDATELIST list,
                                  DWORD bufferLength);
LONG WINAPI ImmGetCompositionStringA(HIMC context, DWORD index, LPVOID buffer, DWORD bufferLength);
BOOL WINAPI ImmSetCompositionStringA(HIMC context, DWORD index, LPVOID composition,
                                     DWORD compositionLength, LPVOID reading, DWORD readingLength);

// Test switch: with a composition or a result set, ImmGetContext hands out a context and
// ImmGetCompositionStringA gives these texts (GCS_COMPSTR, GCS_RESULTSTR, CP932) and the cursor
// byte position (GCS_CURSORPOS). Both null: no input method again.
void PortSetInputMethodText(const char* composition, const char* result, LONG cursorBytes);
