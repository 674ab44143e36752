// Keeps LOG.TXT equal to the run's whole log at a cost that does not grow with the log.
#include "log/LogFile.h"

#include <windows.h>

#include "app/FileSystem.h"
#include "server/AnsiText.h"
#include "server/BrokerError.h"
#include "server/ComOwners.h"

namespace {

struct FileStamp {
    bool found = false;
    uint64_t size = 0;
    uint64_t lastWrite = 0;
};

FileStamp StampOf(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(Wide(path).c_str(), GetFileExInfoStandard, &data)) return {};
    return {true, (uint64_t(data.nFileSizeHigh) << 32) | data.nFileSizeLow,
            (uint64_t(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime};
}

}  // namespace

void LogFile::Save(const std::string& path, std::string_view text) {
    if (AppendTail(path, text)) return;
    known_ = false;
    WriteFileReplacing(path, text);
    Remember(path, text.size());
}

bool LogFile::AppendTail(const std::string& path, std::string_view text) {
    if (!known_ || path != path_ || text.size() < savedBytes_) return false;
    FileStamp stamp = StampOf(path);
    if (!stamp.found || stamp.size != savedBytes_ || stamp.lastWrite != lastWrite_) return false;
    UniqueHandle file(CreateFileW(Wide(path).c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) ThrowFileError("Cannot open file", path);
    std::string_view tail = text.substr(size_t(savedBytes_));
    DWORD written = 0;
    if (!WriteFile(file.get(), tail.data(), DWORD(tail.size()), &written, nullptr) ||
        written != tail.size()) {
        known_ = false;  // a partial append: the next save rewrites the whole file
        ThrowFileError("Cannot write file", path);
    }
    file.reset();
    Remember(path, text.size());
    return true;
}

void LogFile::Remember(const std::string& path, uint64_t bytes) {
    FileStamp stamp = StampOf(path);
    known_ = stamp.found && stamp.size == bytes;
    path_ = path;
    savedBytes_ = bytes;
    lastWrite_ = stamp.lastWrite;
}
