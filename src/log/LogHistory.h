// LOG.TXT's lines and the history of earlier days kept in the folder LOGURI: the names of
// its files, the time they are named after, and which of them retention deletes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/Text.h"
#include "base/TimeStamp.h"

// What begins every line of the activity log.
inline constexpr char kLogLinePrefix[] = "Ver. 3.1 -  ";

inline constexpr char kLogFileName[] = "LOG.TXT";
inline constexpr char kHistoryFolderName[] = "LOGURI";

// "LOG_2026-12-07_090503.TXT": the date and time of the log's first time-stamped line.
std::string HistoryFileName(const LocalTime& time);

// The time a name of exactly that form carries (upper case, a real date and time);
// nothing for any other name, which retention never touches.
std::optional<LocalTime> HistoryFileTime(std::string_view name);

// One second later: the next name to try when one is taken.
LocalTime NextSecond(const LocalTime& time);

// The time stamp of the first, or the last, line that carries one right after the line prefix
// ("DD.MM.YYYY hh:mm:ss ", the time separator being the locale's); nothing when no line does.
std::optional<LocalTime> FirstStampedTime(std::string_view logText);
std::optional<LocalTime> LastStampedTime(std::string_view logText);

struct HistoryFile {
    std::string name;
    uint64_t size = 0;
    LocalTime written;  // its last write: a file moved in carries the time of its last line
};

// The files that retention deletes, oldest first: those written more than keepDays days
// before now, then, oldest first, as many as needed to bring the rest to capBytes or less.
// Names not of the history's form are never chosen; neither is, by age, a file of spared
// (those this run moved in) nor, by the cap, the last of spared (the day just kept). A file
// dated after now (a clock that was once ahead) is never old, and comes last for the cap; a
// clock set back finds fewer files old than the right one did.
TextList ExpiredHistory(const std::vector<HistoryFile>& files, const LocalTime& now, int keepDays,
                        uint64_t capBytes, const TextList& spared);
