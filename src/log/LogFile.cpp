// Keeps LOG.TXT equal to the log it is given at a cost that does not grow with the log.
#include "log/LogFile.h"

#include "base/AnsiText.h"
#include "base/BrokerError.h"
#include "base/Owners.h"

void LogFile::Save(const std::string& path, std::string_view text, LockWait wait) {
    if (AppendTail(path, text, wait)) return;
    Forget();
    const FileIdentity identity =
        WriteFileReplacing(path, text, ReplaceWays{Durability::Cached, wait, false, true});
    Remember(path, identity, text.size());
}

// One check a save, on the open file itself so that nothing can be swapped in between: the
// file is the one this object wrote (its identity, asked without the volume) and as long as
// it left it. Nothing else asks for the file by name.
bool LogFile::AppendTail(const std::string& path, std::string_view text, LockWait wait) {
    if (!known_ || path != path_ || base_ + text.size() < saved_.size) return false;
    UniqueFile file(OpenPassingLocks(path, FILE_APPEND_DATA | FILE_READ_ATTRIBUTES, FILE_SHARE_READ, wait));
    if (!file.valid()) {
        if (GetLastError() == ERROR_FILE_NOT_FOUND) return false;
        ThrowFileError("Cannot open file", path);
    }
    FileIdentity identity;
    uint64_t size = 0;
    if (!IdentityOf(file.get(), identity) || identity != saved_.identity || !SizeOf(file.get(), size) ||
        size != saved_.size)
        return false;
    try {
        AppendToFile(file.get(), text.substr(size_t(saved_.size - base_)), path);
    } catch (...) {
        known_ = false;  // a partial append: the next save rewrites the whole file
        throw;
    }
    saved_.size = base_ + text.size();
    return true;
}

void LogFile::Adopt(const std::string& path) {
    UniqueFile file(OpenExisting(path, FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                 FILE_FLAG_OPEN_REPARSE_POINT));
    BY_HANDLE_FILE_INFORMATION information{};
    if (!file.valid() || !InformationOf(file.get(), information) ||
        information.nNumberOfLinks != 1 || (information.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return;
    FileIdentity identity;
    if (!IdentityOf(file.get(), identity)) return;
    const uint64_t size = (uint64_t(information.nFileSizeHigh) << 32) | information.nFileSizeLow;
    Remember(path, identity, size);
    base_ = size;
}

// The file this object wrote: it holds all it was given.
void LogFile::Remember(const std::string& path, FileIdentity identity, uint64_t bytes) {
    saved_ = {true, identity, bytes, 0};
    known_ = true;
    path_ = path;
}
