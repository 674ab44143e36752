// LOG.TXT's lines and the history of earlier days kept in the folder LOGURI.
#include "log/LogHistory.h"

#include <algorithm>
#include <tuple>

namespace {

// Reads exactly `width` decimal digits at `at`, moving past them.
bool Digits(std::string_view text, size_t& at, size_t width, int& value) {
    if (at + width > text.size()) return false;
    value = 0;
    for (size_t end = at + width; at < end; ++at) {
        if (text[at] < '0' || text[at] > '9') return false;
        value = value * 10 + (text[at] - '0');
    }
    return true;
}

bool Literal(std::string_view text, size_t& at, std::string_view literal) {
    if (text.substr(at, literal.size()) != literal) return false;
    at += literal.size();
    return true;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// A real date (no 30 February) and time of day.
bool Valid(const LocalTime& time) {
    if (time.month < 1 || time.month > 12 || time.day < 1 || time.day > 31 || time.hour > 23 ||
        time.minute > 59 || time.second > 59)
        return false;
    const LocalTime same = AddDays(time, 0);
    return same.month == time.month && same.day == time.day;
}

// "DD.MM.YYYY hh" + separator + "mm" + separator + "ss ", the separator being what stands
// between the hour's and the minute's digits (the locale's, one to three characters).
std::optional<LocalTime> StampAt(std::string_view line, size_t at) {
    LocalTime time;
    if (!Digits(line, at, 2, time.day) || !Literal(line, at, ".") || !Digits(line, at, 2, time.month) ||
        !Literal(line, at, ".") || !Digits(line, at, 4, time.year) || !Literal(line, at, " ") ||
        !Digits(line, at, 2, time.hour))
        return std::nullopt;
    size_t separatorEnd = at;
    while (separatorEnd < line.size() && separatorEnd - at < 3 && !IsDigit(line[separatorEnd]))
        ++separatorEnd;
    const std::string_view separator = line.substr(at, separatorEnd - at);
    if (separator.empty()) return std::nullopt;
    at = separatorEnd;
    if (!Digits(line, at, 2, time.minute) || !Literal(line, at, separator) ||
        !Digits(line, at, 2, time.second) || !Literal(line, at, " "))
        return std::nullopt;
    if (!Valid(time)) return std::nullopt;
    return time;
}

std::optional<LocalTime> LineStamp(std::string_view line) {
    if (line.substr(0, sizeof kLogLinePrefix - 1) != kLogLinePrefix) return std::nullopt;
    return StampAt(line, sizeof kLogLinePrefix - 1);
}

auto Key(const LocalTime& t) { return std::make_tuple(t.year, t.month, t.day, t.hour, t.minute, t.second); }

}  // namespace

std::string HistoryFileName(const LocalTime& time) {
    return "LOG_" + ZeroPadded(time.year, 4) + "-" + ZeroPadded(time.month, 2) + "-" +
           ZeroPadded(time.day, 2) + "_" + ZeroPadded(time.hour, 2) + ZeroPadded(time.minute, 2) +
           ZeroPadded(time.second, 2) + ".TXT";
}

std::optional<LocalTime> HistoryFileTime(std::string_view name) {
    LocalTime time;
    size_t at = 0;
    if (name.size() != 25 || !Literal(name, at, "LOG_") || !Digits(name, at, 4, time.year) ||
        !Literal(name, at, "-") || !Digits(name, at, 2, time.month) || !Literal(name, at, "-") ||
        !Digits(name, at, 2, time.day) || !Literal(name, at, "_") || !Digits(name, at, 2, time.hour) ||
        !Digits(name, at, 2, time.minute) || !Digits(name, at, 2, time.second) ||
        !Literal(name, at, ".TXT") || !Valid(time))
        return std::nullopt;
    return time;
}

LocalTime NextSecond(const LocalTime& time) {
    LocalTime next = time;
    if (++next.second < 60) return next;
    next.second = 0;
    if (++next.minute < 60) return next;
    next.minute = 0;
    if (++next.hour < 24) return next;
    next.hour = 0;
    return AddDays(next, 1);
}

std::optional<LocalTime> FirstStampedTime(std::string_view logText) {
    for (std::string_view line : TextLineViews(logText))
        if (auto time = LineStamp(line)) return time;
    return std::nullopt;
}

std::optional<LocalTime> LastStampedTime(std::string_view logText) {
    const std::vector<std::string_view> lines = TextLineViews(logText);
    for (auto line = lines.rbegin(); line != lines.rend(); ++line)
        if (auto time = LineStamp(*line)) return time;
    return std::nullopt;
}

TextList ExpiredHistory(const std::vector<HistoryFile>& files, const LocalTime& now, int keepDays,
                        uint64_t capBytes, const TextList& spared) {
    std::vector<const HistoryFile*> dated;
    for (const HistoryFile& file : files)
        if (HistoryFileTime(file.name)) dated.push_back(&file);
    std::sort(dated.begin(), dated.end(), [](const HistoryFile* a, const HistoryFile* b) {
        return std::make_tuple(Key(a->written), std::string_view(a->name)) <
               std::make_tuple(Key(b->written), std::string_view(b->name));
    });

    auto isSpared = [&](const HistoryFile* file) {
        return std::find(spared.begin(), spared.end(), file->name) != spared.end();
    };
    const long long oldestKept = DayNumber(now) - keepDays;
    TextList expired;
    uint64_t total = 0;
    std::vector<const HistoryFile*> kept;
    for (const HistoryFile* file : dated) {
        if (DayNumber(file->written) < oldestKept && !isSpared(file)) {
            expired.push_back(file->name);
        } else {
            kept.push_back(file);
            total += file->size;
        }
    }
    for (const HistoryFile* file : kept) {
        if (total <= capBytes) break;
        if (!spared.empty() && file->name == spared.back()) continue;
        expired.push_back(file->name);
        total -= file->size;
    }
    return expired;
}
