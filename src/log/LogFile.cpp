// Keeps LOG.TXT equal to the log it is given at a cost that does not grow with the log.
#include "log/LogFile.h"

#include "base/AnsiText.h"
#include "base/BrokerError.h"
#include "base/FileSystem.h"
#include "base/Owners.h"
#include "base/Utf8.h"

namespace {

// A UTF-8 log begins with the mark: Notepad then reads its letters right on every version of
// Windows, and a LOG.TXT left in the other encoding is told apart from it.
std::string_view LogMark() { return ServiceEncoding() == TextEncoding::Utf8 ? kUtf8Bom : std::string_view(); }

}  // namespace

void LogFile::Save(const std::string& path, std::string_view text, LockWait wait) {
    if (AppendTail(path, text, wait)) return;
    Forget();
    const std::string_view mark = LogMark();
    if (mark.empty()) {
        Remember(path, WriteFileReplacing(path, text, Durability::Cached, wait), text.size());
        return;
    }
    std::string marked;
    marked.reserve(mark.size() + text.size());
    marked.append(mark).append(text);
    Remember(path, WriteFileReplacing(path, marked, Durability::Cached, wait), marked.size());
    base_ = mark.size();
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
    FileState state;
    if (!PlainFile(path, state)) return;
    if (!InLogEncoding(path) || !PlainFile(path, state)) return;  // a file rewritten is looked at anew
    saved_ = state;
    known_ = saved_.found;
    base_ = saved_.size;
    path_ = path;
}

// Not a file with other names (a link).
bool LogFile::PlainFile(const std::string& path, FileState& state) {
    UniqueFile file(CreateFileW(Wide(path).c_str(), FILE_READ_ATTRIBUTES,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    BY_HANDLE_FILE_INFORMATION information{};
    if (!file.valid() || !GetFileInformationByHandle(file.get(), &information) ||
        information.nNumberOfLinks != 1 || (information.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return false;
    state = StateOf(file.get());
    return true;
}

// One file never holds two encodings: a LOG.TXT of the other one (the setting changed, and
// LOGURI would not take the file) is rewritten in this one, its lines kept, before it grows.
bool LogFile::InLogEncoding(const std::string& path) {
    try {
        const std::string content = ReadWholeFile(path);
        const bool marked = StartsWithUtf8Bom(content);
        if (content.empty() || marked == !LogMark().empty()) return true;
        const std::string text = marked ? ServiceText(content.substr(kUtf8Bom.size()), TextEncoding::Utf8)
                                        : std::string(LogMark()) + ServiceText(content, TextEncoding::Ansi);
        WriteFileReplacing(path, text);
        return true;
    } catch (...) {
        return false;  // replaced whole at the next save, as any file it could not keep
    }
}

// What the file this object wrote is now, provided it holds all it was given. Size and
// time are taken by name; the next append checks the identity on the file it opens.
void LogFile::Remember(const std::string& path, FileIdentity identity, uint64_t bytes) {
    saved_ = StateAt(path);
    saved_.identity = identity;
    known_ = saved_.found && saved_.size == bytes;
    path_ = path;
}
