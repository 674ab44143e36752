// Keeps LOG.TXT equal to the log it is given at a cost that does not grow with the log.
#include "log/LogFile.h"

#include "base/AnsiText.h"
#include "base/BrokerError.h"
#include "base/Owners.h"

void LogFile::Save(const std::string& path, std::string_view text, LockWait wait) {
    if (AppendTail(path, text, wait)) return;
    Forget();
    Remember(path, WriteFileReplacing(path, text, Durability::Cached, wait), text.size());
}

bool LogFile::AppendTail(const std::string& path, std::string_view text, LockWait wait) {
    if (!known_ || path != path_ || base_ + text.size() < saved_.size) return false;
    UniqueFile file(OpenPassingLocks(path, FILE_APPEND_DATA | FILE_READ_ATTRIBUTES, FILE_SHARE_READ, wait));
    if (!file.valid()) {
        if (GetLastError() == ERROR_FILE_NOT_FOUND) return false;
        ThrowFileError("Cannot open file", path);
    }
    // Checked on the open file itself, so nothing can be swapped in between.
    const FileState now = StateOf(file.get());
    if (!now.found || now.identity != saved_.identity || now.size != saved_.size ||
        now.lastWrite != saved_.lastWrite)
        return false;
    std::string_view tail = text.substr(size_t(saved_.size - base_));
    DWORD written = 0;
    if (!WriteFile(file.get(), tail.data(), DWORD(tail.size()), &written, nullptr) ||
        written != tail.size()) {
        known_ = false;  // a partial append: the next save rewrites the whole file
        ThrowFileError("Cannot write file", path);
    }
    file.reset();  // the last write time settles when the file is closed
    Remember(path, saved_.identity, base_ + text.size());
    return true;
}

void LogFile::Adopt(const std::string& path) {
    UniqueFile file(CreateFileW(Wide(path).c_str(), FILE_READ_ATTRIBUTES,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    BY_HANDLE_FILE_INFORMATION information{};
    if (!file.valid() || !GetFileInformationByHandle(file.get(), &information) ||
        information.nNumberOfLinks != 1 || (information.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return;
    saved_ = StateOf(file.get());
    known_ = saved_.found;
    base_ = saved_.size;
    path_ = path;
}

// What the file this object wrote is now, provided it holds all it was given. Size and
// time are taken by name; the next append checks the identity on the file it opens.
void LogFile::Remember(const std::string& path, FileIdentity identity, uint64_t bytes) {
    saved_ = StateAt(path);
    saved_.identity = identity;
    known_ = saved_.found && saved_.size == bytes;
    path_ = path;
}
