// Start-up and shutdown of the runtime library, its fatal-error exit, and the desktop
// composition setter. The other setters made before start-up live with what they set:
// ChangeWindowMode, SetWindowResizable and SetWindowTitleText in main_window.h, SetLogOutput
// in log.h.
#pragma once

// 0 when the library runs (at once, without the call lock, when it already did). -1 when
// start-up failed: the steps that had completed are undone first, the call lock included.
int InitLibrary();
// 0. Takes the library down and frees the call lock; does nothing while it is not running.
int EndLibrary();
// The library's fatal exit: writes the text and a line end to the log, shuts down what runs
// (also part-way through start-up), frees the call lock and ends the process with exit code -1.
[[noreturn]] void AbortWithLog(const char* text);

// 1 on, 0 off. Until dwmapi is loaded the wish is only remembered; afterwards a change from the
// remembered state is passed to the desktop window manager. 0.
int SetDesktopComposition(int flag);
// Switches composition back on when the library had switched it off.
void RestoreDesktopComposition();
