// Lines for the player on standard error: what failed and where, when the program ends or
// refuses something because of it. They go out whether or not the log file is on, since the
// game switches the log off.
#pragma once

// Writes "<program name>: <formatted text>" and a line feed to standard error as one write.
// Always -1, so an error path can return its result directly.
int ReportToUser(const char* format, ...) __attribute__((format(printf, 1, 2)));
// The name the lines begin with: the window text once one is set, "Tarnu" before.
void SetUserReportName(const char* name);
