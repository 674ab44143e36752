// File system access for 8-bit (ANSI) paths, with errors raised as BrokerError.
#include "base/FileSystem.h"

#include <windows.h>

#include <cstdint>
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

void WriteAll(HANDLE file, std::string_view bytes, const std::string& path) {
    while (!bytes.empty()) {
        DWORD chunk = bytes.size() > (1u << 30) ? (1u << 30) : DWORD(bytes.size());
        DWORD written = 0;
        if (!WriteFile(file, bytes.data(), chunk, &written, nullptr) || written == 0)
            ThrowFileError("Cannot write file", path);
        bytes.remove_prefix(written);
    }
}

uint64_t Joined(DWORD high, DWORD low) { return (uint64_t(high) << 32) | low; }

// Whether the file can be moved out of the way: a reader that does not share deletion
// stops ReplaceFileW as surely as a rename, and a failed try may leave its own temporary
// file in the folder.
bool Movable(const std::wstring& path) {
    return UniqueFile(CreateFileW(path.c_str(), DELETE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr))
        .valid();
}

}  // namespace

FileState StateOf(HANDLE file) {
    BY_HANDLE_FILE_INFORMATION information{};
    if (!GetFileInformationByHandle(file, &information)) return {};
    return {true,
            {information.dwVolumeSerialNumber, Joined(information.nFileIndexHigh, information.nFileIndexLow)},
            Joined(information.nFileSizeHigh, information.nFileSizeLow),
            Joined(information.ftLastWriteTime.dwHighDateTime, information.ftLastWriteTime.dwLowDateTime)};
}

FileState StateAt(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(Wide(path).c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return {};
    return {true,
            {},
            Joined(data.nFileSizeHigh, data.nFileSizeLow),
            Joined(data.ftLastWriteTime.dwHighDateTime, data.ftLastWriteTime.dwLowDateTime)};
}

bool DirectoryExists(const std::string& path) {
    if (path.empty()) return false;
    DWORD attributes = GetFileAttributesW(Wide(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

FileIdentity DirectoryIdentity(const std::string& path) {
    UniqueFile directory(CreateFileW(Wide(path).c_str(), FILE_READ_ATTRIBUTES,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                     FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    return directory.valid() ? StateOf(directory.get()).identity : FileIdentity{};
}

bool FileExists(const std::string& path) {
    if (path.empty()) return false;
    DWORD attributes = GetFileAttributesW(Wide(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string ExecutablePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD length = GetModuleFileNameW(nullptr, path.data(), DWORD(path.size()));
        if (length < path.size()) {
            path.resize(length);
            return Ansi(path);
        }
        path.resize(path.size() * 2);
    }
}

bool DeleteFileQuietly(const std::string& path) { return DeleteFileW(Wide(path).c_str()) != 0; }

HANDLE OpenPassingLocks(const std::string& path, DWORD access, DWORD share, LockWait wait) {
    const std::wstring wide = Wide(path);
    for (int attempt = 0;; ++attempt) {
        HANDLE file = CreateFileW(wide.c_str(), access, share, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                                  nullptr);
        if (file != INVALID_HANDLE_VALUE || !PausedForLock(GetLastError(), attempt, wait)) return file;
    }
}

std::string ReadWholeFile(const std::string& path) {
    // A writer that has just renamed the file into place holds it for a moment.
    UniqueFile file(OpenPassingLocks(path, GENERIC_READ, FILE_SHARE_READ));
    if (!file.valid()) ThrowFileError("Cannot open file", path);
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size)) ThrowFileError("Cannot read file", path);
    if (uint64_t(size.QuadPart) > SIZE_MAX / 2) throw BrokerError("File too large \"" + path + "\"");
    std::string content;
    try {
        content.resize(size_t(size.QuadPart));
    } catch (const std::bad_alloc&) {
        throw BrokerError("File too large \"" + path + "\"");
    }
    size_t done = 0;
    while (done < content.size()) {
        DWORD chunk = content.size() - done > (1u << 30) ? (1u << 30) : DWORD(content.size() - done);
        DWORD read = 0;
        if (!ReadFile(file.get(), content.data() + done, chunk, &read, nullptr))
            ThrowFileError("Cannot read file", path);
        if (read == 0) break;  // the file shrank meanwhile
        done += read;
    }
    content.resize(done);
    return content;
}

FileIdentity WriteFileReplacing(const std::string& path, std::string_view bytes, Durability durability,
                                LockWait wait) {
    const std::wstring target = Wide(path);
    const std::wstring temp = target + kTempSuffix;
    if (DirectoryExists(path)) {
        // A rename may take an empty folder's place on some file systems; never let it.
        SetLastError(ERROR_ACCESS_DENIED);
        ThrowFileError("Cannot create file", path);
    }
    // Outside systems write in this folder too: whatever stands under the temporary name
    // (a leftover, or a link to a file elsewhere) goes first, and only a file this call
    // makes itself is written into. Deleting a link leaves its target alone.
    DeleteFileW(temp.c_str());
    UniqueFile file(
        CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) ThrowFileError("Cannot create file", Ansi(temp));
    ScopeExit removeTemp([&] {  // on every path but success
        file.reset();
        DeleteFileW(temp.c_str());
    });
    WriteAll(file.get(), bytes, path);
    const bool onDisk = durability == Durability::OnDisk;
    if (onDisk && !FlushFileBuffers(file.get())) ThrowFileError("Cannot write file", path);
    const FileIdentity identity = StateOf(file.get()).identity;
    file.reset();
    // A rename over the target leaves no moment without the file. A reader, an indexer or
    // a virus scanner may stop it for a moment, so it is tried again for up to a second
    // (unless the caller tries again later); ReplaceFileW, which gets past some readers
    // that a rename cannot, is the last resort where the rename need not be written through.
    const DWORD moveFlags = MOVEFILE_REPLACE_EXISTING | (onDisk ? MOVEFILE_WRITE_THROUGH : 0);
    for (int attempt = 0;; ++attempt) {
        if (MoveFileExW(temp.c_str(), target.c_str(), moveFlags)) break;
        const DWORD error = GetLastError();
        if (PausedForLock(error, attempt, wait)) continue;
        if (IsPassingLock(error) && !onDisk && Movable(target) &&
            ReplaceFileW(target.c_str(), temp.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr,
                         nullptr))
            break;
        SetLastError(error);
        ThrowFileError("Cannot create file", path);
    }
    removeTemp.Dismiss();
    return identity;
}
