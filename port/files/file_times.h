// File times: FILETIME counts 100-nanosecond intervals since 1601-01-01 00:00 UTC.
#pragma once

#include "port/kernel/win32_types.h"

// Moves a UTC file time into local time, with the time zone's offset at that moment.
BOOL WINAPI FileTimeToLocalFileTime(const FILETIME* fileTime, FILETIME* localFileTime);
// Calendar fields of a file time (no zone conversion); FALSE for times past 30827.
BOOL WINAPI FileTimeToSystemTime(const FILETIME* fileTime, SYSTEMTIME* systemTime);

// A POSIX time (seconds and nanoseconds since 1970, UTC) as a file time (port-internal).
FILETIME PortFileTimeFromUnix(long long seconds, long nanoseconds);
