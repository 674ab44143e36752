// The activity log's lines that LOG.TXT must hold, a new LOG.TXT each day, and the days
// kept in LOGURI.
#include "log/LogStore.h"

#include <windows.h>

#include <algorithm>
#include <map>

#include "base/AnsiText.h"
#include "base/BrokerError.h"
#include "base/LocalClock.h"
#include "base/Owners.h"
#include "base/Utf8.h"
#include "log/LogHistory.h"

namespace {

// A log's first time stamp is near its top, a settings message or two before it; its last
// near its end.
constexpr DWORD kEndBytes = 64 * 1024;
// Names tried, a second apart, when the name a log's time gives is taken.
constexpr int kNameTries = 100;

// LOGURI as a folder of the service's own, made when missing. A file, or a link to
// somewhere else, planted under that name is no such folder.
bool HistoryFolderReady(const std::wstring& path) {
    if (MakeFolder(path)) return true;
    const DWORD attributes = AttributesAt(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) &&
           !(attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

// The first or the last 64 KB of a file; empty when it cannot be read.
std::string ReadEnd(const std::wstring& path, bool tail) {
    UniqueFile file(OpenExisting(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                 FILE_ATTRIBUTE_NORMAL));
    uint64_t size = 0;
    if (!file.valid() || !SizeOf(file.get(), size)) return {};
    std::string part = ReadPart(file.get(), tail && size > kEndBytes ? size - kEndBytes : 0, kEndBytes);
    if (!tail && StartsWithUtf8Bom(part)) part.erase(0, kUtf8Bom.size());
    return part;
}

// The time a log file is named after: its first time-stamped line, else its last write,
// else now.
LocalTime NamingTime(const std::wstring& path, const LocalTime& now) {
    if (auto stamped = FirstStampedTime(ReadEnd(path, false))) return *stamped;
    const FileState file = StateAt(path);
    if (file.found) {
        const FILETIME time{DWORD(file.lastWrite), DWORD(file.lastWrite >> 32)};
        const LocalTime written = LocalTimeOf(time);
        if (written.year != 0) return written;
    }
    return now;
}

// A file moved into LOGURI is as old as its last line. Not a file with other names (a link).
void SetLastWrite(const std::wstring& path, const LocalTime& time) {
    UniqueFile file(OpenExisting(path, FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, FILE_FLAG_OPEN_REPARSE_POINT));
    BY_HANDLE_FILE_INFORMATION information{};
    FILETIME written{};
    if (file.valid() && InformationOf(file.get(), information) && information.nNumberOfLinks == 1 &&
        FileTimeOf(time, written))
        SetLastWriteOf(file.get(), written);
}

}  // namespace

void LogStore::Add(std::string_view line, const LocalTime& now) {
    if (history_.days > 0 && started_ && !SameDay(now, lastLine_) && !day_.empty()) {
        if (older_.empty()) {
            older_.swap(day_);
        } else {
            older_.append(day_);  // LOG.TXT has not been writable since an earlier day
        }
        std::string().swap(day_);
        olderLast_ = lastLine_;
        moveDue_ = true;
    }
    lastLine_ = now;
    started_ = true;
    day_.append(line).append("\r\n");
}

std::string LogStore::Recent() const {
    std::string recent;
    for (const std::string* part : {&day_, &older_, &earlier_}) {  // newest first
        const size_t take = std::min(part->size(), kRecentBytes - recent.size());
        recent.insert(0, *part, part->size() - take, take);
    }
    return recent;
}

LogStore::Outcome LogStore::Save(const std::wstring& folder, const LocalTime& now, LockWait wait,
                                 bool tryMove) noexcept {
    Outcome outcome;
    try {
        const std::wstring path = folder + L"\\" + WideAscii(kLogFileName);
        const bool history = history_.days > 0;
        if (history && moveDue_ && tryMove) {
            SaveOlder(path, wait);  // the earlier day ends whole in its file
            moveDue_ = !KeepLogFile(folder, now, outcome.notes);
            outcome.moveFailed = moveDue_;
            if (!moveDue_) file_.Forget();
        }
        // Until it can be moved, the LOG.TXT found is kept and appended to.
        if (history && moveDue_ && !file_.Known()) file_.Adopt(path);
        SaveOlder(path, wait);
        file_.Save(path, day_, wait);
        if (!day_.empty()) fileLast_ = lastLine_;
        TrimDay();
        outcome.saved = true;
    } catch (...) {
        outcome.error = CurrentErrorText();
    }
    return outcome;
}

// Earlier days' lines reach LOG.TXT before it is moved or appended to, then leave memory.
void LogStore::SaveOlder(const std::wstring& path, LockWait wait) {
    if (older_.empty()) return;
    file_.Save(path, older_, wait);
    file_.Dropped(older_.size());
    fileLast_ = olderLast_;
    Drop(older_);
}

// Moves LOG.TXT into LOGURI under a name of its own, never over another file, with the
// time of its last line. False while it cannot (another program holds it, LOGURI cannot be
// made or refuses it): the log goes on in LOG.TXT, and LOG.TXT says so once.
bool LogStore::KeepLogFile(const std::wstring& folder, const LocalTime& now, TextList& notes) {
    const std::wstring path = folder + L"\\" + WideAscii(kLogFileName);
    const FileState file = StateAt(path);
    if (!file.found || file.size == 0) return true;  // nothing to keep: it is replaced
    const std::wstring history = folder + L"\\" + WideAscii(kHistoryFolderName);
    std::string refusal = "Nu pot crea directorul LOGURI; logul continua in LOG.TXT";
    if (HistoryFolderReady(history)) {
        refusal = "Nu pot muta LOG.TXT in LOGURI; logul continua in LOG.TXT";
        const std::optional<LocalTime> last = fileLast_ ? fileLast_ : LastStampedTime(ReadEnd(path, true));
        LocalTime time = NamingTime(path, now);
        for (int attempt = 0; attempt < kNameTries; ++attempt, time = NextSecond(time)) {
            const std::string name = HistoryFileName(time);
            const std::wstring kept = history + L"\\" + WideAscii(name);
            if (RenameFile(path, kept)) {
                if (last) SetLastWrite(kept, *last);
                fileLast_.reset();
                moveFailureNoted_ = false;
                moved_.push_back(name);
                if (moved_.size() > size_t(history_.days)) moved_.erase(moved_.begin());
                Prune(history, now, notes);
                return true;
            }
            const DWORD error = GetLastError();
            if (error != ERROR_ALREADY_EXISTS && error != ERROR_FILE_EXISTS) break;
        }
        if (!FileExists(path)) return true;  // gone meanwhile
    }
    if (!moveFailureNoted_) notes.push_back(refusal);
    moveFailureNoted_ = true;
    return false;
}

// Deletes the days retention no longer keeps; one that cannot be deleted is tried again
// after the next move and said once.
void LogStore::Prune(const std::wstring& history, const LocalTime& now, TextList& notes) {
    std::vector<HistoryFile> files;
    std::map<std::string, std::wstring> listed;  // each file's name as text, and as the listing gave it
    ListDirectory(history, [&](const WIN32_FIND_DATAW& entry) {
        std::string name = Ansi(entry.cFileName);
        if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && name.size() >= 8 &&
            EqualsNoCase(std::string_view(name).substr(0, 4), "LOG_") &&
            EqualsNoCase(std::string_view(name).substr(name.size() - 4), ".TXT")) {
            listed.emplace(name, entry.cFileName);
            files.push_back({std::move(name), (uint64_t(entry.nFileSizeHigh) << 32) | entry.nFileSizeLow,
                             LocalTimeOf(entry.ftLastWriteTime)});
        }
    });
    bool failed = false;
    for (const std::string& name : ExpiredHistory(files, now, history_.days, history_.capBytes, moved_)) {
        const auto file = listed.find(name);
        if (file != listed.end() && DeleteFileQuietly(history + L"\\" + file->second)) continue;
        if (!failed && !deleteFailureNoted_) notes.push_back("Nu pot sterge fisierul LOGURI\\" + name);
        failed = true;
    }
    deleteFailureNoted_ = failed;
}

// The head of a long day leaves memory once LOG.TXT has it, at a line's end; what is kept is
// more than Recent shows.
void LogStore::TrimDay() {
    static_assert(kDayKept > kRecentBytes && kDayHeld > kDayKept);
    if (day_.size() <= kDayHeld) return;
    const size_t lineEnd = day_.find("\r\n", day_.size() - kDayKept);
    if (lineEnd == std::string::npos) return;
    file_.Dropped(lineEnd + 2);
    day_.erase(0, lineEnd + 2);
}

// The text leaves memory, its capacity too; its newest bytes stay for Recent.
void LogStore::Drop(std::string& text) {
    const size_t take = std::min(text.size(), kRecentBytes);
    earlier_.append(text, text.size() - take, take);
    if (earlier_.size() > kRecentBytes) earlier_.erase(0, earlier_.size() - kRecentBytes);
    std::string().swap(text);
}
