// MessageBoxA on SDL's message box. With no display there is no one to answer, so the box is
// not shown and the answer is the cautious one.
#include <cstdlib>
#include <cstring>
#include <string>

#include "port/kernel/cp932_text.h"
#include "port/user/window_internal.h"
#include "port/user/window_record.h"

namespace {

int gScriptedAnswer = 0;

bool HaveDisplay() {
  const char* driver = SDL_GetCurrentVideoDriver();
  if (!driver) driver = std::getenv("SDL_VIDEODRIVER");
  if (driver && (std::strcmp(driver, "dummy") == 0 || std::strcmp(driver, "offscreen") == 0))
    return false;
  const char* x11 = std::getenv("DISPLAY");
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  return (x11 && *x11) || (wayland && *wayland);
}

}  // namespace

void PortSetMessageBoxAnswer(int answer) {
  std::lock_guard lock(PortWindowMutex());
  gScriptedAnswer = answer;
}

int WINAPI MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
  {
    std::lock_guard lock(PortWindowMutex());
    if (gScriptedAnswer) return gScriptedAnswer;
  }
  UINT buttons = type & 0xF;
  int negative = buttons == MB_YESNO ? IDNO : buttons == MB_OKCANCEL ? IDCANCEL : IDOK;
  if (!HaveDisplay()) return negative;

  SDL_MessageBoxButtonData data[2];
  int count = 0;
  if (buttons == MB_YESNO) {
    data[count++] = {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, IDYES, "Yes"};
    data[count++] = {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, IDNO, "No"};
  } else if (buttons == MB_OKCANCEL) {
    data[count++] = {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, IDOK, "OK"};
    data[count++] = {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, IDCANCEL, "Cancel"};
  } else {
    data[count++] = {
        SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, IDOK,
        "OK"};
  }
  UINT icon = type & 0xF0;
  Uint32 flags = icon == MB_ICONERROR     ? SDL_MESSAGEBOX_ERROR
                 : icon == MB_ICONWARNING ? SDL_MESSAGEBOX_WARNING
                                          : SDL_MESSAGEBOX_INFORMATION;
  std::string title = PortCp932ToUtf8(caption ? caption : "");
  std::string message = PortCp932ToUtf8(text ? text : "");
  SDL_MessageBoxData box = {
      flags, PortGetSdlWindow(owner), title.c_str(), message.c_str(), count, data, nullptr};
  int pressed = 0;
  if (SDL_ShowMessageBox(&box, &pressed) != 0 || pressed <= 0) return negative;
  return pressed;
}
