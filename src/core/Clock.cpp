// What today is, and the time stamp that begins most log lines.
#include "base/LocalClock.h"
#include "core/Broker.h"

LocalTime TEBroker::Now() const { return FClock ? FClock() : SystemLocalTime(); }

std::string TEBroker::TimeStamp() const { return LocalTimeStamp(Now()); }

ULONGLONG TEBroker::UptimeMs() const { return FUptime ? FUptime() : GetTickCount64(); }
