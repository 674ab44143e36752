// File system access for wide paths, passed to the system as they are, with errors raised as
// BrokerError (which name the path in the service's 8-bit text).
#include "base/FileSystem.h"

#include <windows.h>

#include <cstdint>
#include <cstring>
#include <new>

#include "base/AnsiText.h"
#include "base/BrokerError.h"
#include "base/Owners.h"

namespace {

// The temporary file's name ends in ".~tmp", which no request pattern matches.
constexpr wchar_t kTempSuffix[] = L".~tmp";

// Another program's hold on a file usually passes within a second.
constexpr int kLockRetries = 50;
constexpr DWORD kLockPauseMs = 20;

// Notes one call of this thread into the file system. A failure that found no such name read
// the whole directory to say so (under Wine every such look-up reads it afresh).
bool Noted(bool succeeded) noexcept {
    FileCallCount& count = FileCallsOfThisThread();
    ++count.calls;
    if (!succeeded) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) ++count.directoryReads;
    }
    return succeeded;
}

HANDLE NotedOpen(HANDLE file) noexcept {
    Noted(file != INVALID_HANDLE_VALUE);
    return file;
}

bool IsPassingLock(DWORD error) {
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ||
           error == ERROR_ACCESS_DENIED || error == ERROR_UNABLE_TO_REMOVE_REPLACED ||
           error == ERROR_UNABLE_TO_MOVE_REPLACEMENT;
}

// True, after a pause, when the failed attempt met a passing lock that is waited for and
// the second is not over; the last error is kept for the caller.
bool PausedForLock(DWORD error, int attempt, LockWait wait) {
    if (wait == LockWait::None || !IsPassingLock(error) || attempt >= kLockRetries) return false;
    Sleep(kLockPauseMs);
    SetLastError(error);
    return true;
}

void WriteAll(HANDLE file, std::string_view bytes, const std::wstring& path) {
    while (!bytes.empty()) {
        DWORD chunk = bytes.size() > (1u << 30) ? (1u << 30) : DWORD(bytes.size());
        DWORD written = 0;
        if (!Noted(WriteFile(file, bytes.data(), chunk, &written, nullptr)) || written == 0)
            ThrowFileError("Cannot write file", path);
        bytes.remove_prefix(written);
    }
}

uint64_t Joined(DWORD high, DWORD low) { return (uint64_t(high) << 32) | low; }

// Whether the file can be moved out of the way: a reader that does not share deletion
// stops ReplaceFileW as surely as a rename, and a failed try may leave its own temporary
// file in the folder.
bool Movable(const std::wstring& path) {
    return UniqueFile(NotedOpen(CreateFileW(path.c_str(), DELETE,
                                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                            OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr)))
        .valid();
}

}  // namespace

FileState StateOf(HANDLE file) {
    BY_HANDLE_FILE_INFORMATION information{};
    if (!Noted(GetFileInformationByHandle(file, &information))) return {};
    return {true,
            {information.dwVolumeSerialNumber, Joined(information.nFileIndexHigh, information.nFileIndexLow)},
            Joined(information.nFileSizeHigh, information.nFileSizeLow),
            Joined(information.ftLastWriteTime.dwHighDateTime, information.ftLastWriteTime.dwLowDateTime)};
}

bool IdentityOf(HANDLE file, FileIdentity& identity) {
    struct {  // FILE_ID_INFO, which the system's headers give only from Windows 8 on
        ULONGLONG volume;
        BYTE id[16];
    } information{};
    constexpr auto kFileIdInfo = FILE_INFO_BY_HANDLE_CLASS(18);
    if (Noted(GetFileInformationByHandleEx(file, kFileIdInfo, &information, sizeof information))) {
        uint64_t low = 0, high = 0;
        memcpy(&low, information.id, 8);
        memcpy(&high, information.id + 8, 8);
        identity = {uint32_t(information.volume), low ^ (high * 0x9E3779B97F4A7C15ull)};
        return true;
    }
    const FileState state = StateOf(file);  // before Windows 8
    identity = state.identity;
    return state.found;
}

bool SizeOf(HANDLE file, uint64_t& size) {
    LARGE_INTEGER value{};
    if (!Noted(GetFileSizeEx(file, &value))) return false;
    size = uint64_t(value.QuadPart);
    return true;
}

bool LastWriteOf(HANDLE file, uint64_t& lastWrite) {
    FILETIME written{};
    if (!Noted(GetFileTime(file, nullptr, nullptr, &written))) return false;
    lastWrite = Joined(written.dwHighDateTime, written.dwLowDateTime);
    return true;
}

FileState StateAt(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!Noted(GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return {};
    return {true,
            {},
            Joined(data.nFileSizeHigh, data.nFileSizeLow),
            Joined(data.ftLastWriteTime.dwHighDateTime, data.ftLastWriteTime.dwLowDateTime)};
}

bool DirectoryExists(const std::wstring& path) {
    if (path.empty()) return false;
    DWORD attributes = GetFileAttributesW(path.c_str());
    Noted(attributes != INVALID_FILE_ATTRIBUTES);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

FileIdentity DirectoryIdentity(const std::wstring& path) {
    UniqueFile directory(NotedOpen(CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                               OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr)));
    FileIdentity identity;
    if (directory.valid()) IdentityOf(directory.get(), identity);
    return identity;
}

bool NothingAt(const std::wstring& path) {
    if (Noted(GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES)) return false;
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

bool FileExists(const std::wstring& path) {
    if (path.empty()) return false;
    DWORD attributes = GetFileAttributesW(path.c_str());
    Noted(attributes != INVALID_FILE_ATTRIBUTES);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool ListDirectory(const std::wstring& folder, const std::function<void(const WIN32_FIND_DATAW&)>& visit) {
    WIN32_FIND_DATAW entry;
    // One listing is one call and one read of the directory, however many entries it returns.
    FileCallCount& count = FileCallsOfThisThread();
    ++count.calls;
    ++count.directoryReads;
    UniqueFind search(FindFirstFileExW((folder + L"\\*").c_str(), FindExInfoBasic, &entry,
                                       FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH));
    if (!search.valid()) return GetLastError() == ERROR_FILE_NOT_FOUND;  // nothing at all, not even "."
    do {
        const wchar_t* name = entry.cFileName;
        if (name[0] == L'.' && (name[1] == 0 || (name[1] == L'.' && name[2] == 0))) continue;
        visit(entry);
    } while (FindNextFileW(search.get(), &entry));
    const DWORD error = GetLastError();
    SetLastError(error == ERROR_NO_MORE_FILES ? ERROR_SUCCESS : error);
    return error == ERROR_NO_MORE_FILES;
}

HANDLE OpenExisting(const std::wstring& path, DWORD access, DWORD share, DWORD flags) {
    return NotedOpen(CreateFileW(path.c_str(), access, share, nullptr, OPEN_EXISTING, flags, nullptr));
}

bool InformationOf(HANDLE file, BY_HANDLE_FILE_INFORMATION& information) {
    return Noted(GetFileInformationByHandle(file, &information));
}

bool SetLastWriteOf(HANDLE file, const FILETIME& written) {
    return Noted(SetFileTime(file, nullptr, nullptr, &written));
}

std::string ReadPart(HANDLE file, uint64_t offset, size_t size) {
    LARGE_INTEGER from{};
    from.QuadPart = LONGLONG(offset);
    std::string part(size, '\0');
    DWORD read = 0;
    if (!Noted(SetFilePointerEx(file, from, nullptr, FILE_BEGIN)) ||
        !Noted(ReadFile(file, part.data(), DWORD(size), &read, nullptr)))
        return {};
    part.resize(read);
    return part;
}

DWORD AttributesAt(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    Noted(attributes != INVALID_FILE_ATTRIBUTES);
    return attributes;
}

bool MakeFolder(const std::wstring& path) { return Noted(CreateDirectoryW(path.c_str(), nullptr)); }

std::wstring ExecutablePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD length = GetModuleFileNameW(nullptr, path.data(), DWORD(path.size()));
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

bool DeleteFileQuietly(const std::wstring& path) { return Noted(DeleteFileW(path.c_str()) != 0); }

bool RenameFile(const std::wstring& from, const std::wstring& to) {
    return Noted(MoveFileExW(from.c_str(), to.c_str(), 0) != 0);
}

HANDLE OpenPassingLocks(const std::wstring& path, DWORD access, DWORD share, LockWait wait) {
    for (int attempt = 0;; ++attempt) {
        HANDLE file = NotedOpen(
            CreateFileW(path.c_str(), access, share, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file != INVALID_HANDLE_VALUE || !PausedForLock(GetLastError(), attempt, wait)) return file;
    }
}

std::string ReadWholeFile(const std::wstring& path) {
    // A writer that has just renamed the file into place holds it for a moment.
    UniqueFile file(OpenPassingLocks(path, GENERIC_READ, FILE_SHARE_READ));
    if (!file.valid()) ThrowFileError("Cannot open file", path);
    uint64_t size = 0;
    if (!SizeOf(file.get(), size)) ThrowFileError("Cannot read file", path);
    return ReadOpenFile(file.get(), path, size);
}

// Reads until the system says the file ends: a read that returns less than it was asked for.
// One byte more than expected is asked for, so that a file of the expected size ends at once.
std::string ReadOpenFile(HANDLE file, const std::wstring& path, uint64_t sizeHint) {
    if (sizeHint > SIZE_MAX / 2) throw BrokerError("File too large \"" + Ansi(path) + "\"");
    std::string content;
    size_t done = 0;
    for (size_t want = size_t(sizeHint) + 1;; want = content.size() / 2 + 4096) {
        try {
            content.resize(done + want);
        } catch (const std::bad_alloc&) {
            throw BrokerError("File too large \"" + Ansi(path) + "\"");
        }
        while (done < content.size()) {
            DWORD chunk = content.size() - done > (1u << 30) ? (1u << 30) : DWORD(content.size() - done);
            DWORD read = 0;
            if (!Noted(ReadFile(file, content.data() + done, chunk, &read, nullptr)))
                ThrowFileError("Cannot read file", path);
            done += read;
            if (read < chunk) {
                content.resize(done);
                return content;
            }
        }
        if (content.size() > SIZE_MAX / 4) throw BrokerError("File too large \"" + Ansi(path) + "\"");
    }
}

void AppendToFile(HANDLE file, std::string_view bytes, const std::wstring& path) { WriteAll(file, bytes, path); }

FileIdentity WriteFileReplacing(const std::wstring& path, std::string_view bytes, const ReplaceWays& ways) {
    const std::wstring& target = path;
    const std::wstring temp = target + kTempSuffix;
    if (!ways.noFolderListed && DirectoryExists(path)) {
        // A rename may take an empty folder's place on some file systems; never let it.
        SetLastError(ERROR_ACCESS_DENIED);
        ThrowFileError("Cannot create file", path);
    }
    // Outside systems write in this folder too: whatever stands under the temporary name
    // (a leftover, or a link to a file elsewhere) goes first, and only a file this call
    // makes itself is written into. Deleting a link leaves its target alone.
    const auto makeTemp = [&] {
        return NotedOpen(
            CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    };
    UniqueFile file(makeTemp());
    if (!file.valid() && (GetLastError() == ERROR_FILE_EXISTS || GetLastError() == ERROR_ALREADY_EXISTS)) {
        Noted(DeleteFileW(temp.c_str()));
        file.reset(makeTemp());
    }
    if (!file.valid()) ThrowFileError("Cannot create file", temp);
    ScopeExit removeTemp([&] {  // on every path but success
        file.reset();
        DeleteFileW(temp.c_str());
    });
    WriteAll(file.get(), bytes, path);
    const bool onDisk = ways.durability == Durability::OnDisk;
    if (onDisk && !Noted(FlushFileBuffers(file.get()))) ThrowFileError("Cannot write file", path);
    FileIdentity identity;
    if (ways.identity) IdentityOf(file.get(), identity);
    file.reset();
    // A rename over the target leaves no moment without the file. A reader, an indexer or
    // a virus scanner may stop it for a moment, so it is tried again for up to a second
    // (unless the caller tries again later); ReplaceFileW, which gets past some readers
    // that a rename cannot, is the last resort where the rename need not be written through.
    const DWORD moveFlags = MOVEFILE_REPLACE_EXISTING | (onDisk ? MOVEFILE_WRITE_THROUGH : 0);
    for (int attempt = 0;; ++attempt) {
        if (Noted(MoveFileExW(temp.c_str(), target.c_str(), moveFlags))) break;
        const DWORD error = GetLastError();
        if (PausedForLock(error, attempt, ways.wait)) continue;
        if (IsPassingLock(error) && !onDisk && Movable(target) &&
            Noted(ReplaceFileW(target.c_str(), temp.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr,
                               nullptr)))
            break;
        SetLastError(error);
        ThrowFileError("Cannot create file", path);
    }
    removeTemp.Dismiss();
    return identity;
}
