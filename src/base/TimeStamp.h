// The time stamp that begins most log lines: "DD.MM.YYYY hh:mm:ss ".
#pragma once

#include <string>
#include <string_view>

struct LocalTime {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

// Day, month and year with dots, the time with the locale's separator, one trailing blank.
std::string FormatTimeStamp(const LocalTime& time, std::string_view timeSeparator);
