// The player's line on standard error for a game file that could not be read or written: the
// file's full path, why, and what the game does about it.
#pragma once

// "could not read <full path> (<why>); <consequence>". Why is the system's reason when the file
// does not open, else that its contents were refused.
void ReportUnreadableFile(const char* path, const char* consequence);
// "could not write <full path> (<why>); <consequence>", why from the error number the failed
// write left (0 when there is none: then a missing folder, if it is one).
void ReportUnwritableFile(const char* path, int error, const char* consequence);
