// What library start-up and shutdown call in the subsystems built beside the platform layer
// (graphics, models, soft images, movies): one pointer per step. A pointer stays null until its
// subsystem installs it, and a null step is skipped: nothing is started, so nothing is reported
// as started and nothing is undone for it.
#pragma once

struct LibraryServiceHooks {
  // Start-up, in the order the steps run.
  void (*buildYuvTables)();                            // the movie decoder's colour tables
  int (*hasDisplayModeOfSize)(int width, int height);  // null: no display mode known
  void (*setScreenSize)(int width, int height);   // the 320 x 240 full screen runs at 640 x 480
  int (*setRestoreCallback)(void (*callback)());  // null callback: the graphics' own restore
  int (*initializeGraphics)();                    // 0, or negative: start-up fails
  int (*setDrawTarget)(int target);
  int (*initializeModelSystem)();
  // Shutdown, in the order the steps run.
  int (*terminateModelSystem)();
  int (*terminateGraphics)();
  int (*deleteAllSoftImages)();
};

extern LibraryServiceHooks LibraryHooks;
