// The activity log's lines that LOG.TXT must hold, and, with a history, a new LOG.TXT each
// day: the one it replaces is moved into the folder LOGURI, which keeps a bounded number
// of days. A save never raises: what cannot be written now stays for the next save, and
// nothing leaves memory before it has reached a file.
#pragma once

#include <cstdint>
#include <optional>
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

    // What LOG.TXT must end with: the current day (without a history, the whole run), after
    // the earlier days it holds while it cannot be moved. Once LOG.TXT has it, a day longer
    // than kDayHeld keeps only its newest kDayKept bytes here, so that a busy day does not
    // grow the program: a LOG.TXT deleted or cut short from outside gets those back.
    const std::string& Text() const { return day_; }
    static constexpr size_t kDayHeld = 1024 * 1024;
    static constexpr size_t kDayKept = 512 * 1024;

    // The newest kRecentBytes of the log across days (cut wherever that falls), for a view.
    static constexpr size_t kRecentBytes = 128 * 1024;
    std::string Recent() const;

    struct Outcome {
        bool saved = false;
        bool moveFailed = false;  // LOG.TXT could not go to LOGURI: its lines were appended to it
        std::string error;        // why LOG.TXT could not be written, when it could not
        TextList notes;           // what the log itself should say: LOGURI refused LOG.TXT, and the like
    };
    // Brings folder\LOG.TXT up to the lines added, first moving into LOGURI, when tryMove,
    // the LOG.TXT of an earlier run or day. While it cannot be moved the lines are appended
    // to it. Lines that cannot reach the file now stay for the next save.
    Outcome Save(const std::wstring& folder, const LocalTime& now, LockWait wait, bool tryMove) noexcept;

    // The next save rewrites LOG.TXT whole (the folder was gone meanwhile).
    void Forget() noexcept { file_.Forget(); }

private:
    bool KeepLogFile(const std::wstring& folder, const LocalTime& now, TextList& notes);
    void Prune(const std::wstring& history, const LocalTime& now, TextList& notes);
    void SaveOlder(const std::wstring& path, LockWait wait);
    void Drop(std::string& text);
    void TrimDay();

    History history_;
    std::string day_;
    std::string older_;                  // earlier days' lines that have not reached LOG.TXT yet
    std::string earlier_;                // the newest bytes of what has left memory, for Recent
    LocalTime lastLine_, olderLast_;     // when the newest line of day_, and of older_, was added
    std::optional<LocalTime> fileLast_;  // when the newest line this run put in LOG.TXT was added
    bool started_ = false;  // a line has been added
    // LOG.TXT holds an earlier run's log or an earlier day: it goes to LOGURI as it stands.
    bool moveDue_ = true;
    LogFile file_;
    TextList moved_;                 // the newest files (as many as the days kept) this run moved into LOGURI
    bool moveFailureNoted_ = false;  // said until a move succeeds
    bool deleteFailureNoted_ = false;  // said until a pruning deletes all it should
};
