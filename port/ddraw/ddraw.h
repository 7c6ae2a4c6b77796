// DirectDraw 7 of the port, made through CoCreateInstance(CLSID_DirectDraw7): the object the
// graphics keep for vertical-blank timing. The display's vertical blanks are a grid of the
// refresh period of the display mode the port shows (60 Hz when it reports none), counted
// from a fixed start; a wait sleeps until the next line of that grid, so it never takes more
// than one period. With simulated time (kernel_system.h) it moves the clock to that line.
#pragma once

#include "port/com/com.h"

#define DD_OK S_OK
#define DDERR_GENERIC E_FAIL
#define DDERR_INVALIDPARAMS E_INVALIDARG
#define DDERR_UNSUPPORTED E_NOTIMPL
#define DDERR_NOTINITIALIZED CO_E_NOTINITIALIZED
#define DDERR_ALREADYINITIALIZED static_cast<HRESULT>(0x88760005u)
#define DDERR_INVALIDOBJECT static_cast<HRESULT>(0x88760082u)
#define DDERR_INVALIDDIRECTDRAWGUID static_cast<HRESULT>(0x88760231u)

// Cooperative levels.
#define DDSCL_FULLSCREEN 0x00000001u
#define DDSCL_ALLOWREBOOT 0x00000002u
#define DDSCL_NOWINDOWCHANGES 0x00000004u
#define DDSCL_NORMAL 0x00000008u
#define DDSCL_EXCLUSIVE 0x00000010u
#define DDSCL_MULTITHREADED 0x00000400u
#define DDSCL_FPUSETUP 0x00000800u
#define DDSCL_FPUPRESERVE 0x00001000u

// WaitForVerticalBlank: return when a blank begins, or when it ends. Waiting on an event is
// not offered.
#define DDWAITVB_BLOCKBEGIN 0x00000001u
#define DDWAITVB_BLOCKBEGINEVENT 0x00000002u
#define DDWAITVB_BLOCKEND 0x00000004u

// Every call but Initialize gives DDERR_NOTINITIALIZED until Initialize succeeds.
struct IDirectDraw7 : public IUnknown {
  // Only the primary display driver (a null GUID) can be opened.
  virtual HRESULT Initialize(GUID* driver) = 0;
  // DDSCL_NORMAL (any window or none), or DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN with a window.
  virtual HRESULT SetCooperativeLevel(HWND window, DWORD flags) = 0;
  virtual HRESULT WaitForVerticalBlank(DWORD flags, HANDLE event) = 0;
};
typedef IDirectDraw7* LPDIRECTDRAW7;

inline constexpr CLSID CLSID_DirectDraw7 = {
    0x3C305196, 0x50DB, 0x11D3, {0x9C, 0xFE, 0x00, 0xC0, 0x4F, 0xD9, 0x30, 0xC5}};
inline constexpr IID IID_IDirectDraw7 = {
    0x15E65EC0, 0x3B9C, 0x11D2, {0xB9, 0x2F, 0x00, 0x60, 0x97, 0x97, 0xEA, 0x5B}};

// --- test switches --------------------------------------------------------------------------

// The refresh rate the blank grid follows (0: the display mode's). An unsteady display lets
// every second wait run one period longer, so no two intervals in a row agree.
void PortSetVerticalBlankRate(int hz);
void PortSetUnsteadyVerticalBlank(bool unsteady);
// Initialize fails with DDERR_GENERIC.
void PortSetDirectDrawInitializeFails(bool fails);
void PortResetDirectDrawSwitches();
