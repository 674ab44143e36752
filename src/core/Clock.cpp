// What today is, the time stamp that begins most log lines, and the time for intervals.
#include "base/LocalClock.h"
#include "core/Broker.h"

// The tests give their own clock; the benchmark may move the days on.
LocalTime TEBroker::Now() const {
    if (FClock) return FClock();
    const LocalTime local = SystemLocalTime();
    return FDayShift.On() ? AddDays(local, FDayShift.Days()) : local;
}

std::string TEBroker::TimeStamp() const { return LocalTimeStamp(Now()); }

ULONGLONG TEBroker::UptimeMs() const { return FUptime ? FUptime() : GetTickCount64(); }
