// The log file ("Log.txt" in the log directory) and its mirror on the debugger output. Each
// text that begins a line gets the milliseconds since StartLogFile and one tab per indent
// level; line feeds become CR LF. The file is opened, appended to and closed for every text,
// so it is complete even if the process dies. Safe to call from any thread.
#pragma once

#include "port/kernel/win32_types.h"

// Deletes and re-creates the log file (unless the log is off); resets the indent and the
// start time. 0.
int StartLogFile();
// Appends a text. Always -1, so an error path can return its result directly.
int WriteLogText(const char* text);
int PutLogText(const char* text);
// A printf-style line: the formatted text and a line feed. Returns what WriteLogText returns.
int LogPrintf(const char* format, ...) __attribute__((format(printf, 1, 2)));
// Indent level + 1 / - 1 (never below 0). 0.
int LogIndentIn();
int LogIndentOut();
// 1 log on, 0 log off (neither file nor debugger output). 0.
int SetLogOutput(int flag);

// What start-up sets before StartLogFile: the directory the log lives in (a Windows path of at
// most 259 bytes; -1 and no change when longer). Lines are stamped with the multimedia timer
// of the run-time library table (stamps read 0 while it is not loaded); tests can set a clock
// of their own instead, and null puts the timer back.
int SetLogDirectory(const char* directory);
const char* GetLogDirectory();
void SetLogClock(DWORD(WINAPI* clock)());
// Names the file "Log<year>_<month>_<day>_<hour>_<minute>_<second>.txt" instead of "Log.txt".
// Off unless set.
void SetLogDateFileName(int flag);
// The name StartLogFile chose.
const char* GetLogFileName();
