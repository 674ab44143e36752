// Local dates and times, and the time stamp that begins most log lines: "DD.MM.YYYY hh:mm:ss ".
#pragma once

#include <string>
#include <string_view>

struct LocalTime {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

bool SameDay(const LocalTime& a, const LocalTime& b);

// Days from 1 January 1970 to the date (Gregorian calendar): dates compare and shift as numbers.
long long DayNumber(const LocalTime& time);

// The same time of day, days later (earlier when negative).
LocalTime AddDays(const LocalTime& time, int days);

// The number in at least width digits, zeros in front: "07".
std::string ZeroPadded(int value, size_t width);

// Day, month and year with dots, the time with the locale's separator, one trailing blank.
std::string FormatTimeStamp(const LocalTime& time, std::string_view timeSeparator);
