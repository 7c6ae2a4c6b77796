// The whole library started by InitLibrary with its graphics, in a temporary folder and a
// window of a class of this process, for the screen tests of both paths; EndLibrary at the end
// must leave no port object, memory image or tracked block behind.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "port/win32.h"
#include "tests/support/log_capture.h"
#include "tests/support/temp_folder.h"

class ScreenLibraryTest : public testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // InitLibrary in a window (windowMode 1) or full screen; the result.
  int Start(int windowMode = 1);
  // EndLibrary, then the checks that nothing is left (also run by TearDown when still running).
  void End();

  // What the main window shows, width x height ARGB pixels (its client size).
  static std::vector<uint32_t> Shown(int width, int height);
  // The log's lines without their stamps and indents.
  std::vector<std::string> LogLines() const;
  bool Logged(const std::string& line) const;

  TempFolder folder_;
  std::unique_ptr<ScopedCurrentDirectory> cwd_;
  std::unique_ptr<LogCapture> log_;
  std::string title_;
  int gdiObjectsAtStart_ = 0;
  int trackedBlocksAtStart_ = 0;
  bool started_ = false;
};

// The screen image's pixel (x, y) as ARGB, as GDI shows it (5-6-5 widened as the DIB output
// does).
uint32_t ScreenImagePixel(int x, int y);
// Fills the screen image with a pattern (a distinct colour per pixel where the depth allows).
void PaintScreenImage();
