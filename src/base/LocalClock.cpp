// The machine's local date and time, and the time stamp written with them.
#include "base/LocalClock.h"

#include <windows.h>

#include "base/AnsiText.h"

namespace {

std::string LocaleTimeSeparator() {
    wchar_t separator[8] = L":";
    GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_STIME, separator, 8);
    return Ansi(separator);
}

}  // namespace

LocalTime SystemLocalTime() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
}

std::string LocalTimeStamp(const LocalTime& time) {
    static const std::string separator = LocaleTimeSeparator();  // thread-safe initialisation
    return FormatTimeStamp(time, separator);
}

bool FileTimeOf(const LocalTime& time, FILETIME& utc) {
    const SYSTEMTIME local{WORD(time.year),   WORD(time.month),  0, WORD(time.day), WORD(time.hour),
                           WORD(time.minute), WORD(time.second), 0};
    FILETIME localTime{};
    return SystemTimeToFileTime(&local, &localTime) && LocalFileTimeToFileTime(&localTime, &utc);
}

LocalTime LocalTimeOf(const FILETIME& utc) {
    FILETIME local{};
    SYSTEMTIME time{};
    if (!FileTimeToLocalFileTime(&utc, &local) || !FileTimeToSystemTime(&local, &time)) return {};
    return {time.wYear, time.wMonth, time.wDay, time.wHour, time.wMinute, time.wSecond};
}
