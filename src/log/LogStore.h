// The activity log's lines that LOG.TXT must hold, and, with a history, a new LOG.TXT each
// day: the one it replaces is moved into the folder LOGURI, which keeps a bounded number
// of days. A save never raises: what cannot be written now stays for the next save.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "base/FileSystem.h"
#include "base/Text.h"
#include "base/TimeStamp.h"
#include "log/LogFile.h"

class LogStore {
public:
    // Days of history kept in LOGURI, and the most its files may take together. Without
    // days LOG.TXT holds the whole run and is replaced at the run's first save.
    struct History {
        int days = 0;
        uint64_t capBytes = 0;
    };
    void SetHistory(History history) { history_ = history; }

    // Adds one line (without its line end) logged at now. With a history, the first line
    // of a new day begins a new LOG.TXT.
    void Add(std::string_view line, const LocalTime& now);

    // What LOG.TXT must hold: the current day (without a history, the whole run).
    const std::string& Text() const { return day_; }

    // The newest kRecentBytes of the log across days (cut wherever that falls), for a view.
    static constexpr size_t kRecentBytes = 128 * 1024;
    std::string Recent() const;

    struct Outcome {
        bool saved = false;
        std::string error;  // why LOG.TXT could not be written, when it could not
        TextList notes;     // what the log itself should say: LOGURI refused LOG.TXT, and the like
    };
    // Brings folder\LOG.TXT up to Text(), first moving into LOGURI the LOG.TXT of an
    // earlier run or day. Lines that cannot reach the file now stay for the next save.
    Outcome Save(const std::string& folder, const LocalTime& now, LockWait wait) noexcept;

    // The next save rewrites LOG.TXT whole (the folder was gone meanwhile).
    void Forget() noexcept { file_.Forget(); }

private:
    void KeepLogFile(const std::string& folder, const LocalTime& now, TextList& notes);
    void Prune(const std::string& history, const LocalTime& now, const std::string& newest, TextList& notes);
    void Drop(std::string& text);

    History history_;
    std::string day_;
    std::string previous_;  // the day before, until the LOG.TXT that holds it is in LOGURI
    std::string earlier_;   // the newest bytes of what has left memory, for Recent
    LocalTime lastLine_;
    bool started_ = false;  // a line has been added
    // LOG.TXT holds what memory does not (an earlier run's log, or a day given up while
    // LOG.TXT could not be written): it goes to LOGURI as it stands.
    bool moveAsIs_ = true;
    LogFile file_;
    bool deleteFailureNoted_ = false;  // said until a pruning deletes all it should
};
