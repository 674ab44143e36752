// The changes in one directory as the system records them.
#include "base/ChangeWatch.h"

#include "base/AnsiText.h"

namespace {

// A file created, renamed into the directory or written to: what a writer does to a request.
constexpr DWORD kChanges = FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_LAST_WRITE | FILE_NOTIFY_CHANGE_SIZE;
// Records of a few hundred names; more between two takes are reported as lost.
constexpr size_t kBufferBytes = 64 * 1024;

}  // namespace

bool ChangeWatch::Open(const std::wstring& directory) {
    reset();
    ++FileCallsOfThisThread().calls;
    directory_.reset(CreateFileW(directory.c_str(), FILE_LIST_DIRECTORY,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                 FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OVERLAPPED, nullptr));
    if (!directory_.valid()) return false;
    event_.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    buffer_.resize(kBufferBytes / sizeof(DWORD));
    if (event_.valid() && Arm()) return true;
    reset();
    return false;
}

bool ChangeWatch::Arm() {
    overlapped_ = OVERLAPPED{};
    overlapped_.hEvent = event_.get();
    ResetEvent(event_.get());
    ++FileCallsOfThisThread().calls;
    return ReadDirectoryChangesW(directory_.get(), buffer_.data(), DWORD(buffer_.size() * sizeof(DWORD)), FALSE,
                                 kChanges, nullptr, &overlapped_, nullptr) != 0;
}

// The read in flight ends before its buffer can go.
void ChangeWatch::reset() noexcept {
    if (directory_.valid()) {
        DWORD bytes = 0;
        if (CancelIoEx(directory_.get(), &overlapped_)) GetOverlappedResult(directory_.get(), &overlapped_, &bytes, TRUE);
    }
    directory_.reset();
    event_.reset();
}

// Everything recorded by now is taken at once: the records of one operation (a file made,
// written and renamed) may complete several reads one after another.
ChangeWatch::Taken ChangeWatch::Take(const std::function<void(DWORD, std::wstring_view)>& visit) {
    Taken taken = Taken::None;
    while (valid()) {
        DWORD bytes = 0;
        if (!GetOverlappedResult(directory_.get(), &overlapped_, &bytes, FALSE)) {
            if (GetLastError() != ERROR_IO_INCOMPLETE) break;
            ResetEvent(event_.get());
            // A change may have completed the read between the test and the reset.
            if (HasOverlappedIoCompleted(&overlapped_)) SetEvent(event_.get());
            return taken;
        }
        if (bytes == 0) taken = Taken::Lost;  // no records: more came than the system kept
        if (taken == Taken::None) taken = Taken::Changes;
        for (size_t offset = 0; bytes != 0;) {
            const auto* record = reinterpret_cast<const FILE_NOTIFY_INFORMATION*>(
                reinterpret_cast<const char*>(buffer_.data()) + offset);
            visit(record->Action, std::wstring_view(record->FileName, record->FileNameLength / sizeof(wchar_t)));
            if (record->NextEntryOffset == 0) break;
            offset += record->NextEntryOffset;
        }
        if (!Arm()) break;
    }
    reset();
    return Taken::Failed;
}
