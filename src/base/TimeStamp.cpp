// The time stamp that begins most log lines: "DD.MM.YYYY hh:mm:ss ".
#include "base/TimeStamp.h"

#include <string>

namespace {

std::string Padded(int value, size_t width) {
    std::string digits = std::to_string(value);
    if (digits.size() < width) digits.insert(0, width - digits.size(), '0');
    return digits;
}

}  // namespace

std::string FormatTimeStamp(const LocalTime& time, std::string_view timeSeparator) {
    std::string stamp = Padded(time.day, 2) + "." + Padded(time.month, 2) + "." + Padded(time.year, 4) + " " +
                        Padded(time.hour, 2);
    stamp.append(timeSeparator).append(Padded(time.minute, 2));
    stamp.append(timeSeparator).append(Padded(time.second, 2));
    return stamp + " ";
}
