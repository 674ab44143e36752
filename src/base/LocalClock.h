// The machine's local date and time, and the time stamp written with them.
#pragma once

#include <windows.h>

#include <string>

#include "base/TimeStamp.h"

// The local date and time now.
LocalTime SystemLocalTime();

// The time stamp of time with the user's time separator, as the log writes it; safe on
// any thread.
std::string LocalTimeStamp(const LocalTime& time);

// A local time as the file system keeps times (UTC), and back: false, or a zero time, when
// the system cannot convert it.
bool FileTimeOf(const LocalTime& time, FILETIME& utc);
LocalTime LocalTimeOf(const FILETIME& utc);
