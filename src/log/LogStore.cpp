// The activity log's lines that LOG.TXT must hold, a new LOG.TXT each day, and the days
// kept in LOGURI.
#include "log/LogStore.h"

#include <windows.h>

#include <algorithm>

#include "base/AnsiText.h"
#include "base/BrokerError.h"
#include "base/Owners.h"
#include "log/LogHistory.h"

namespace {

// A log's first time stamp is near its top: a settings message or two come before it.
constexpr DWORD kHeadBytes = 64 * 1024;
// Names tried, a second apart, when the name a log's time gives is taken.
constexpr int kNameTries = 100;

// LOGURI as a folder of the service's own, made when missing. A file, or a link to
// somewhere else, planted under that name is no such folder.
bool HistoryFolderReady(const std::string& path) {
    const std::wstring wide = Wide(path);
    if (CreateDirectoryW(wide.c_str(), nullptr)) return true;
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) &&
           !(attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

LocalTime AsLocalTime(const FILETIME& utc) {
    FILETIME local{};
    SYSTEMTIME time{};
    if (!FileTimeToLocalFileTime(&utc, &local) || !FileTimeToSystemTime(&local, &time)) return {};
    return {time.wYear, time.wMonth, time.wDay, time.wHour, time.wMinute, time.wSecond};
}

// The time a log file is named after: its first time-stamped line, else its last write,
// else now.
LocalTime NamingTime(const std::string& path, const LocalTime& now) {
    UniqueFile file(CreateFileW(Wide(path).c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    std::string head(kHeadBytes, '\0');
    DWORD read = 0;
    if (file.valid() && ReadFile(file.get(), head.data(), kHeadBytes, &read, nullptr)) {
        head.resize(read);
        if (auto stamped = FirstStampedTime(head)) return *stamped;
    }
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (GetFileAttributesExW(Wide(path).c_str(), GetFileExInfoStandard, &data)) {
        const LocalTime written = AsLocalTime(data.ftLastWriteTime);
        if (written.year != 0) return written;
    }
    return now;
}

// Another program holds the file so that it cannot be renamed now (a reader that does
// not share deletion, say): worth trying again at the next save.
bool Held(const std::string& path) {
    UniqueFile file(CreateFileW(Wide(path).c_str(), DELETE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    const DWORD error = file.valid() ? ERROR_SUCCESS : GetLastError();
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION || error == ERROR_ACCESS_DENIED;
}

}  // namespace

void LogStore::Add(std::string_view line, const LocalTime& now) {
    if (history_.days > 0 && started_ && !SameDay(now, lastLine_) && !day_.empty()) {
        if (!previous_.empty()) {
            // LOG.TXT has not been writable since the day before yesterday: memory keeps
            // two days at most, and LOG.TXT goes to LOGURI with what it got of the older one.
            Drop(previous_);
            moveAsIs_ = true;
            file_.Forget();
        }
        previous_ = std::move(day_);
        day_ = std::string();
    }
    lastLine_ = now;
    started_ = true;
    day_.append(line).append("\r\n");
}

std::string LogStore::Recent() const {
    std::string recent;
    for (const std::string* part : {&day_, &previous_, &earlier_}) {  // newest first
        const size_t take = std::min(part->size(), kRecentBytes - recent.size());
        recent.insert(0, *part, part->size() - take, take);
    }
    return recent;
}

LogStore::Outcome LogStore::Save(const std::string& folder, const LocalTime& now, LockWait wait) noexcept {
    Outcome outcome;
    try {
        const std::string path = folder + "\\" + kLogFileName;
        if (history_.days > 0 && moveAsIs_) {
            KeepLogFile(folder, now, outcome.notes);
            moveAsIs_ = false;
        }
        if (history_.days > 0 && !previous_.empty()) {
            file_.Save(path, previous_, wait);  // the day ends whole in its file
            KeepLogFile(folder, now, outcome.notes);
            Drop(previous_);
            file_.Forget();
        }
        file_.Save(path, day_, wait);
        outcome.saved = true;
    } catch (...) {
        outcome.error = CurrentErrorText();
    }
    return outcome;
}

// Moves LOG.TXT into LOGURI under a name of its own, never over another file. Raises
// while another program holds LOG.TXT; when LOGURI cannot take it, says so (in the LOG.TXT
// that then replaces it) and lets the log go on.
void LogStore::KeepLogFile(const std::string& folder, const LocalTime& now, TextList& notes) {
    const std::string path = folder + "\\" + kLogFileName;
    const FileState file = StateAt(path);
    if (!file.found || file.size == 0) return;  // nothing to keep: it is replaced
    const std::string history = folder + "\\" + kHistoryFolderName;
    std::string refusal = "Nu pot crea directorul LOGURI; logul continua in LOG.TXT";
    if (HistoryFolderReady(history)) {
        refusal = "Nu pot muta LOG.TXT in LOGURI; logul continua in LOG.TXT";
        LocalTime time = NamingTime(path, now);
        for (int attempt = 0; attempt < kNameTries; ++attempt, time = NextSecond(time)) {
            const std::string name = HistoryFileName(time);
            if (MoveFileExW(Wide(path).c_str(), Wide(history + "\\" + name).c_str(), 0)) {
                Prune(history, now, name, notes);
                return;
            }
            const DWORD error = GetLastError();
            if (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS) continue;
            if (!FileExists(path)) return;  // gone meanwhile
            if (Held(path)) {
                SetLastError(error);
                ThrowFileError("Cannot move file", path);
            }
            break;
        }
    }
    notes.push_back(refusal);
}

// Deletes the days retention no longer keeps; one that cannot be deleted is tried again
// after the next move and said once.
void LogStore::Prune(const std::string& history, const LocalTime& now, const std::string& newest,
                     TextList& notes) {
    std::vector<HistoryFile> files;
    WIN32_FIND_DATAW entry;
    UniqueFind search(FindFirstFileW(Wide(history + "\\LOG_*.TXT").c_str(), &entry));
    for (bool more = search.valid(); more; more = FindNextFileW(search.get(), &entry))
        if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            files.push_back(
                {Ansi(entry.cFileName), (uint64_t(entry.nFileSizeHigh) << 32) | entry.nFileSizeLow});
    bool failed = false;
    for (const std::string& name : ExpiredHistory(files, now, history_.days, history_.capBytes, newest)) {
        if (DeleteFileW(Wide(history + "\\" + name).c_str())) continue;
        if (!failed && !deleteFailureNoted_) notes.push_back("Nu pot sterge fisierul LOGURI\\" + name);
        failed = true;
    }
    deleteFailureNoted_ = failed;
}

// The text leaves memory, its capacity too; its newest bytes stay for Recent.
void LogStore::Drop(std::string& text) {
    const size_t take = std::min(text.size(), kRecentBytes);
    earlier_.append(text, text.size() - take, take);
    if (earlier_.size() > kRecentBytes) earlier_.erase(0, earlier_.size() - kRecentBytes);
    std::string().swap(text);
}
