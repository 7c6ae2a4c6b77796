// The multimedia library ("winmm.dll"): timers and the joystick calls. Other areas add MCI.
#pragma once

#include "port/kernel/win32_types.h"

typedef UINT MMRESULT;
#define MMSYSERR_NOERROR 0u
#define TIMERR_NOERROR 0u
#define TIMERR_NOCANDO 97u

struct TIMECAPS {
  UINT wPeriodMin;
  UINT wPeriodMax;
};
typedef TIMECAPS* LPTIMECAPS;

// Milliseconds of a monotonic clock; wraps at 2^32 as on Windows.
DWORD WINAPI timeGetTime();
// Periods of 1 ms and up are accepted; the clock's resolution is always 1 ms here.
MMRESULT WINAPI timeBeginPeriod(UINT period);
MMRESULT WINAPI timeEndPeriod(UINT period);
MMRESULT WINAPI timeGetDevCaps(LPTIMECAPS caps, UINT size);

// Test switch: timeGetTime reads this much later, so that tests can reach the wrap of the clock.
void PortSetTimeGetTimeOffset(DWORD offset);
DWORD PortGetTimeGetTimeOffset();

// --- joysticks ------------------------------------------------------------------------------
// Ids 0 to 15 name the SDL joysticks in SDL's order. Axes read 0..65535 (centre 32768), in the
// order X, Y, Z, R, U, V of SDL's first six axes; the first hat is the point of view.
#define MMSYSERR_INVALPARAM 11u
#define JOYERR_NOERROR 0u
#define JOYERR_PARMS 165u
#define JOYERR_UNPLUGGED 167u
#define JOYSTICKID1 0u
#define JOYSTICKID2 1u

#define JOY_RETURNX 0x00000001u
#define JOY_RETURNY 0x00000002u
#define JOY_RETURNZ 0x00000004u
#define JOY_RETURNR 0x00000008u
#define JOY_RETURNU 0x00000010u
#define JOY_RETURNV 0x00000020u
#define JOY_RETURNPOV 0x00000040u
#define JOY_RETURNBUTTONS 0x00000080u
#define JOY_RETURNALL 0x000000FFu
#define JOY_POVCENTERED 0xFFFFu

#define JOYCAPS_HASZ 0x0001u
#define JOYCAPS_HASR 0x0002u
#define JOYCAPS_HASU 0x0004u
#define JOYCAPS_HASV 0x0008u
#define JOYCAPS_HASPOV 0x0010u
#define JOYCAPS_POVCTS 0x0040u

#define MAXPNAMELEN 32
#define MAX_JOYSTICKOEMVXDNAME 260

struct JOYINFOEX {
  DWORD dwSize;
  DWORD dwFlags;
  DWORD dwXpos;
  DWORD dwYpos;
  DWORD dwZpos;
  DWORD dwRpos;
  DWORD dwUpos;
  DWORD dwVpos;
  DWORD dwButtons;       // bit n: button n + 1 down
  DWORD dwButtonNumber;  // how many are down
  DWORD dwPOV;           // hundredths of degrees, JOY_POVCENTERED when centred
  DWORD dwReserved1;
  DWORD dwReserved2;
};
typedef JOYINFOEX* LPJOYINFOEX;

struct JOYCAPSA {
  WORD wMid;
  WORD wPid;
  CHAR szPname[MAXPNAMELEN];  // CP932
  UINT wXmin;
  UINT wXmax;
  UINT wYmin;
  UINT wYmax;
  UINT wZmin;
  UINT wZmax;
  UINT wNumButtons;
  UINT wPeriodMin;
  UINT wPeriodMax;
  UINT wRmin;
  UINT wRmax;
  UINT wUmin;
  UINT wUmax;
  UINT wVmin;
  UINT wVmax;
  UINT wCaps;
  UINT wMaxAxes;
  UINT wNumAxes;
  UINT wMaxButtons;
  CHAR szRegKey[MAXPNAMELEN];
  CHAR szOEMVxD[MAX_JOYSTICKOEMVXDNAME];
};
typedef JOYCAPSA* LPJOYCAPSA;

// JOYERR_PARMS for an id above 15 or a record of the wrong size; JOYERR_UNPLUGGED when no
// joystick has the id.
MMRESULT WINAPI joyGetPosEx(UINT id, LPJOYINFOEX info);
// JOYERR_PARMS for an id with no joystick, an id above 15 or a size other than sizeof(JOYCAPSA).
MMRESULT WINAPI joyGetDevCapsA(UINT_PTR id, LPJOYCAPSA caps, UINT size);
