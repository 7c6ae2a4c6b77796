// The system information block of start-up: library version, processors, Windows version,
// processor speed and features. It fills gSystemState as it goes.
#pragma once

#include <cstdint>

#include "port/kernel/kernel_system.h"

// Writes the block to the log and sets the system code, the processor count, the MMX / SSE /
// SSE2 flags and the time-stamp counter calibration (a 100 ms measurement).
void LogSystemInformation();

// Start-up's check of the performance counter: stores its frequency and whether it exists.
void DetectPerformanceCounter();

// "Windows" and the release for a version record, and the system code it gives; the code is
// left as it was for a version the library does not know.
void DescribeWindowsVersion(const OSVERSIONINFOA& version, char (&name)[32], int* systemCode);

// What the processor identification instruction reports.
struct ProcessorIdentity {
  int hasIdentification;  // the flag register's bit 21 can be toggled
  char vendor[13];
  uint32_t featureBits;  // leaf 1, EDX
  int hasName;           // extended leaf 0x80000004 exists
  char name[49];
};
// 0 without the instruction, 1 with it, 3 with MMX, 4 with MMX and SSE, 5 with all three.
int ProcessorFeatureLevel(const ProcessorIdentity& identity);
void ReadProcessorIdentity(ProcessorIdentity* identity);
// For tests: the identity LogSystemInformation uses instead of the processor's (null: the
// processor's own).
void SetProcessorIdentityForTest(const ProcessorIdentity* identity);
