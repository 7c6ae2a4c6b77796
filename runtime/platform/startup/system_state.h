// Process-wide flags of start-up and shutdown, and the facts that system information gathers
// for the rest of the library.
#pragma once

#include <cstdint>

struct SystemState {
  // Start-up and shutdown.
  int initialised;  // 1 between a successful start-up and the end of shutdown
  int startupInProgress;
  int shutdownInProgress;
  int comInitialised;
  int performanceCounterAvailable;  // the window creation may clear it after calibration
  int64_t performanceCounterFrequency;

  // System information.
  int systemCode;             // 0 Win32s, 1 95, 2 98, 3 Me, 0x104 NT 3.51 ... 0x109 Windows 7
  int logicalProcessorCount;  // more than one: the sound layer runs its own thread
  int mmxFlag;
  int sseFlag;
  int sse2Flag;
  int timeStampCounterAvailable;
  int64_t timeStampTicksPerSecond;
  int processorMhz;
  char processorName[49];
  char systemDescription[256];  // "Windows7 ( Build 7600  )"
};

extern SystemState gSystemState;
