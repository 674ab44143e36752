// What today is, and the time stamp that begins most log lines.
#include <windows.h>

#include "core/Broker.h"
#include "base/AnsiText.h"

namespace {

std::string LocaleTimeSeparator() {
    wchar_t separator[8] = L":";
    GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_STIME, separator, 8);
    return Ansi(separator);
}

}  // namespace

LocalTime TEBroker::Now() const {
    if (FClock) return FClock();
    SYSTEMTIME now{};
    GetLocalTime(&now);
    const LocalTime local{now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
    return FDayShift.On() ? AddDays(local, FDayShift.Days()) : local;
}

std::string TEBroker::TimeStamp() const {
    static const std::string separator = LocaleTimeSeparator();
    return FormatTimeStamp(Now(), separator);
}
