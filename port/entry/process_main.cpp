// The process entry of the game executable: Linux starts main, the game starts at WinMain, as
// Windows would call it for a GUI program with no command line.
#include "port/entry/win_main.h"
#include "port/kernel/module_table.h"
#include "port/user/user32.h"

int main() {
  return WinMain(GetModuleHandleA(nullptr), nullptr, const_cast<LPSTR>(""), SW_SHOWDEFAULT);
}
