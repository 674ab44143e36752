// File system access for 8-bit (ANSI) paths, with errors raised as BrokerError.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

// Which file a name leads to: its volume and its index on that volume. Two names that
// are links to one file have the same identity.
struct FileIdentity {
    uint32_t volume = 0;
    uint64_t index = 0;
    bool operator==(const FileIdentity&) const = default;
};

// What an open file is now; found is false when the system cannot tell.
struct FileState {
    bool found = false;
    FileIdentity identity;
    uint64_t size = 0;
    uint64_t lastWrite = 0;  // FILETIME as one number
};
FileState StateOf(HANDLE file);

// The file at path by name, found only when it exists and is not a directory. Its
// identity is left empty: asking for it means opening the file (and, under Wine, a slow
// question about its volume), so whoever needs it asks the open file with StateOf.
FileState StateAt(const std::string& path);

// The path exists and is a directory ("" and "?" never are).
bool DirectoryExists(const std::string& path);

// The identity of the directory at path, empty when there is none: a directory renamed
// away and made anew under the same name has a new one.
FileIdentity DirectoryIdentity(const std::string& path);

// The path exists and is not a directory.
bool FileExists(const std::string& path);

// The running program's full path, however long.
std::string ExecutablePath();

// Deletes a file; a missing file, or one that cannot be deleted, is no error.
bool DeleteFileQuietly(const std::string& path);

// Reads a whole file, letting others read but not write it meanwhile; a hold by another
// program is waited for up to a second.
std::string ReadWholeFile(const std::string& path);

// Whether a file that another program holds (a reader, an indexer, a virus scanner) is
// tried again for up to a second, or given up at once by a caller that tries again later.
enum class LockWait { UpToASecond, None };

// Opens an existing file as CreateFileW does, waiting for a hold as told. An invalid
// handle, with the last error set, when it cannot be opened.
HANDLE OpenPassingLocks(const std::string& path, DWORD access, DWORD share,
                        LockWait wait = LockWait::UpToASecond);

// Whether a replacement must be on the disk when the call returns (a power cut must not
// take it back), or may stay in the system's cache like any ordinary write.
enum class Durability { Cached, OnDisk };

// Replaces path with bytes in one step: the bytes go to a temporary file in the same
// folder, made new by this call, which is then renamed over the target. No reader ever
// sees a partial file, and no file already there (a link planted under either name
// included) is ever written into. Returns the identity of the file now at path.
FileIdentity WriteFileReplacing(const std::string& path, std::string_view bytes,
                                Durability durability = Durability::Cached,
                                LockWait wait = LockWait::UpToASecond);
