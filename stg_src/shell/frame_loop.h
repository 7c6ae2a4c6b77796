// The program's frame: WinMain starts the library and sets the game's screen, then runs one
// loop iteration per displayed frame until the player quits or the window closes, then the exit
// sequence. BeginFrame and EndFrame frame each iteration: input sampling, presenting and the
// 17 ms pacing; between them runs RunFrameBody (scene_machine.h).
#pragma once

// WinMain's start-up before the screen: the window title, the full-screen question (anything
// but Yes gives a resizable window), the log switched off, the library started. 0, or -1 when
// the library did not start.
int StartGameLibrary();
// The screen mode 640 x 480 x 32 at 60 Hz, the transparent colour and the default font.
void SetGameScreen();
// One loop iteration; false ends the loop (the exit sequence follows).
bool RunMainLoopIteration();
bool BeginFrame();
bool EndFrame();
// The screenshot counter saved, every image and sound released, the library ended.
void RunExitSequence();
