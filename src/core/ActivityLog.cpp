// The activity log: every line goes to the front end (the window's view) and to LOG.TXT
// in the working directory; with a history, each day's LOG.TXT is kept in LOGURI.
#include "base/FileSystem.h"
#include "base/LocalClock.h"
#include "core/Broker.h"
#include "log/LogHistory.h"

void TEBroker::LogMessage(const std::string& text) { LogLine(text, Now()); }

// The line's day is the day of its time stamp: one reading of the clock gives both.
void TEBroker::LogStamped(std::string_view text) {
    const LocalTime now = Now();
    LogLine(LocalTimeStamp(now).append(text), now);
}

void TEBroker::LogLine(const std::string& text, const LocalTime& now) {
    try {
        const std::string line = kLogLinePrefix + text;
        FLog.Add(line, now);
        if (FFrontEnd) FFrontEnd->LineLogged(line);
        FLogPending = true;
        if (FLogHeld == 0) FlushLog();
    } catch (...) {
        // Out of memory for one more line: the request in hand goes on without it.
    }
}

void TEBroker::LogErrorLine(const std::string& text) noexcept {
    try {
        LogStamped(" ... " + text);
    } catch (...) {
        // Nothing more to tell it with.
    }
}

// The lines held since the last save reach LOG.TXT in one append; what the save has to say
// about the history joins them at the next.
void TEBroker::FlushLog() noexcept {
    for (int round = 0; FLogPending && round < 3; ++round) {
        FLogPending = false;
        try {
            for (const std::string& note : SaveLog(LockWait::None)) LogStamped(" ... " + note);
        } catch (...) {
            // Out of memory for a note: the lines themselves are saved.
        }
    }
}

// Lines kept while LOG.TXT could not be written reach it without waiting for a new line.
void TEBroker::RetryLogSave() {
    if (!FLogOutage) return;
    for (const std::string& note : SaveLog(LockWait::None)) LogStamped(" ... " + note);
}

// LOG.TXT brought up to the log when the working directory is there; what the log
// itself should say about its history comes back to be logged. A failure adds no line
// (LOG.TXT holds only what the handlers say): the first of an outage goes to the Event Log.
// A save that failed, or a move into LOGURI, is tried again a second later at the earliest,
// whatever asks for it (each try wakes the watch of the directory); the last save at the
// stop always tries. The tick's listing has just found the directory: it is asked again only
// when a save fails, since a directory gone is no outage of LOG.TXT.
TextList TEBroker::SaveLog(LockWait wait) {
    if (!FDirListed && !DirectoryExists(FWorkDir)) {
        FLog.Forget();
        return {};
    }
    const bool last = wait == LockWait::UpToASecond;
    const bool due = last || UptimeMs() >= FLogRetryAt;
    if (FLogOutage && !due) return {};
    LogStore::Outcome outcome = FLog.Save(FWorkDir, Now(), wait, due);
    if (!outcome.saved && FDirListed && !DirectoryExists(FWorkDir)) {
        FLog.Forget();
        return {};
    }
    if (!outcome.saved || outcome.moveFailed) FLogRetryAt = UptimeMs() + kSaveRetryMs;
    if (!outcome.saved && !FLogOutage) ReportLogOutage(outcome.error);
    FLogOutage = !outcome.saved;
    return std::move(outcome.notes);
}

void TEBroker::ReportLogOutage(const std::string& text) {
    const std::string report =
        "Nu pot scrie LOG.TXT; liniile raman in memorie si ajung in fisier la prima salvare reusita: " + text;
    FEvents->Report(EventKind::Warning, report);
    FRequestWatch.ErrorReported(report);
}
