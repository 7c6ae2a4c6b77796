// The ending text "data/ed.txt", which the closing stage's script reads on its second frame and the
// closing stages' overlay scrolls: up to 64 lines of up to 63 bytes. SceneWork[1] counts the lines
// read. The text is the data kit's, not game state.
#pragma once

constexpr int kEndingTextRows = 64;
constexpr int kEndingTextRowBytes = 65;

extern char EndingTextLines[kEndingTextRows][kEndingTextRowBytes];

// Reads the lines until the first empty one, the 64th or the file's end; nothing when the file
// cannot be opened.
void LoadEndingText();
