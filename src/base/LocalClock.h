// The machine's local date and time, and the time stamp written with them.
#pragma once

#include <string>

#include "base/TimeStamp.h"

// The local date and time now.
LocalTime SystemLocalTime();

// The time stamp of time with the user's time separator, as the log writes it; safe on
// any thread.
std::string LocalTimeStamp(const LocalTime& time);
