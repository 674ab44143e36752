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
