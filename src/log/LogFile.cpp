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

void LogFile::Save(const std::wstring& path, std::string_view text, LockWait wait) {
    if (AppendTail(path, text, wait)) return;
    Forget();
    const std::string_view mark = LogMark();
    const ReplaceWays ways{Durability::Cached, wait, false, true};
    if (mark.empty()) {
        Remember(path, WriteFileReplacing(path, text, ways), text.size());
        return;
    }
    std::string marked;
    marked.reserve(mark.size() + text.size());
    marked.append(mark).append(text);
    Remember(path, WriteFileReplacing(path, marked, ways), marked.size());
    base_ = mark.size();
}

// One check a save, on the open file itself so that nothing can be swapped in between: the
// file is the one this object wrote (its identity, asked without the volume) and as long as
// it left it. Nothing else asks for the file by name.
bool LogFile::AppendTail(const std::wstring& path, std::string_view text, LockWait wait) {
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

void LogFile::Adopt(const std::wstring& path) {
    FileIdentity identity;
    uint64_t size = 0;
    bool marked = false;
    if (!PlainFile(path, identity, size, marked)) return;
    // One file never holds two encodings: a LOG.TXT of the other one (the setting changed, and
    // LOGURI would not take the file) is rewritten in this one, its lines kept, before it grows;
    // the file rewritten is looked at anew.
    if (size != 0 && marked == LogMark().empty() &&
        !(Reencode(path) && PlainFile(path, identity, size, marked)))
        return;
    Remember(path, identity, size);
    base_ = size;
}

// Not a file with other names (a link). Its first bytes say whether it begins with the mark.
bool LogFile::PlainFile(const std::wstring& path, FileIdentity& identity, uint64_t& size, bool& marked) {
    UniqueFile file(OpenExisting(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                 FILE_FLAG_OPEN_REPARSE_POINT));
    BY_HANDLE_FILE_INFORMATION information{};
    if (!file.valid() || !InformationOf(file.get(), information) ||
        information.nNumberOfLinks != 1 || (information.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return false;
    if (!IdentityOf(file.get(), identity)) return false;
    size = (uint64_t(information.nFileSizeHigh) << 32) | information.nFileSizeLow;
    marked = StartsWithUtf8Bom(ReadPart(file.get(), 0, kUtf8Bom.size()));
    return true;
}

bool LogFile::Reencode(const std::wstring& path) {
    try {
        const std::string content = ReadWholeFile(path);
        const bool marked = StartsWithUtf8Bom(content);
        WriteFileReplacing(path, marked ? ServiceText(content.substr(kUtf8Bom.size()), TextEncoding::Utf8)
                                        : std::string(LogMark()) + ServiceText(content, TextEncoding::Ansi));
        return true;
    } catch (...) {
        return false;  // replaced whole at the next save, as any file it could not keep
    }
}

// The file this object wrote: it holds all it was given.
void LogFile::Remember(const std::wstring& path, FileIdentity identity, uint64_t bytes) {
    saved_ = {true, identity, bytes, 0};
    known_ = true;
    path_ = path;
}
