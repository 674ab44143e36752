// Local dates and times, and the time stamp that begins most log lines: "DD.MM.YYYY hh:mm:ss ".
#include "base/TimeStamp.h"

#include <string>

std::string ZeroPadded(int value, size_t width) {
    std::string digits = std::to_string(value);
    if (digits.size() < width) digits.insert(0, width - digits.size(), '0');
    return digits;
}

bool SameDay(const LocalTime& a, const LocalTime& b) {
    return a.year == b.year && a.month == b.month && a.day == b.day;
}

// Howard Hinnant's days_from_civil: years begin in March, so that the leap day is last.
long long DayNumber(const LocalTime& time) {
    const long long year = time.year - (time.month <= 2);
    const long long era = (year >= 0 ? year : year - 399) / 400;
    const long long yearOfEra = year - era * 400;
    const long long dayOfYear = (153 * (time.month + (time.month > 2 ? -3 : 9)) + 2) / 5 + time.day - 1;
    const long long dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

// And its inverse, civil_from_days.
LocalTime AddDays(const LocalTime& time, int days) {
    const long long number = DayNumber(time) + days + 719468;
    const long long era = (number >= 0 ? number : number - 146096) / 146097;
    const long long dayOfEra = number - era * 146097;
    const long long yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const long long dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const long long shifted = (5 * dayOfYear + 2) / 153;
    LocalTime result = time;
    result.day = int(dayOfYear - (153 * shifted + 2) / 5 + 1);
    result.month = int(shifted < 10 ? shifted + 3 : shifted - 9);
    result.year = int(yearOfEra + era * 400 + (result.month <= 2));
    return result;
}

std::string FormatTimeStamp(const LocalTime& time, std::string_view timeSeparator) {
    std::string stamp = ZeroPadded(time.day, 2) + "." + ZeroPadded(time.month, 2) + "." +
                        ZeroPadded(time.year, 4) + " " + ZeroPadded(time.hour, 2);
    stamp.append(timeSeparator).append(ZeroPadded(time.minute, 2));
    stamp.append(timeSeparator).append(ZeroPadded(time.second, 2));
    return stamp + " ";
}
