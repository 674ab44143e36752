// File system access for wide paths, passed to the system as they are, with errors raised as
// BrokerError (which name the path in the service's 8-bit text).
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "base/Owners.h"

// A name the service gives its own files (all ASCII), as a path's part.
inline std::wstring WideAscii(std::string_view name) { return std::wstring(name.begin(), name.end()); }

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

// The identity of an open file, asked without a question about its volume where the
// system allows it (from Windows 8 on, and under Wine); found is false when it cannot tell.
bool IdentityOf(HANDLE file, FileIdentity& identity);

// The size of an open file; false when the system cannot tell.
bool SizeOf(HANDLE file, uint64_t& size);

// The last write of an open file, as one number; false when the system cannot tell.
bool LastWriteOf(HANDLE file, uint64_t& lastWrite);

// The file at path by name, found only when it exists and is not a directory. Its
// identity is left empty: asking for it means opening the file (and, under Wine, a slow
// question about its volume), so whoever needs it asks the open file with StateOf.
FileState StateAt(const std::wstring& path);

// The path exists and is a directory ("" and "?" never are).
bool DirectoryExists(const std::wstring& path);

// The identity of the directory at path, empty when there is none: a directory renamed
// away and made anew under the same name has a new one.
FileIdentity DirectoryIdentity(const std::wstring& path);

// Nothing at all has that name, as opposed to a name that cannot be looked up now.
bool NothingAt(const std::wstring& path);

// The path exists and is not a directory.
bool FileExists(const std::wstring& path);

// Every entry of folder but "." and "..", handed to visit in the order the system gives them:
// one read of the directory. False, with the last error set, when the folder cannot be listed
// (an empty drive's root lists as empty).
bool ListDirectory(const std::wstring& folder, const std::function<void(const WIN32_FIND_DATAW&)>& visit);

// Opens an existing file or folder as CreateFileW does with OPEN_EXISTING and flags; an invalid
// handle, with the last error set, when it cannot.
HANDLE OpenExisting(const std::wstring& path, DWORD access, DWORD share, DWORD flags);

// What the system keeps about an open file, its number of names included; false when it cannot tell.
bool InformationOf(HANDLE file, BY_HANDLE_FILE_INFORMATION& information);

// Sets an open file's last write; false when it cannot.
bool SetLastWriteOf(HANDLE file, const FILETIME& written);

// Reads up to size bytes of an open file from offset; empty when it cannot be read.
std::string ReadPart(HANDLE file, uint64_t offset, size_t size);

// The attributes of the name, INVALID_FILE_ATTRIBUTES when there is none.
DWORD AttributesAt(const std::wstring& path);

// Makes a folder; false, with the last error set, when it cannot (one already there included).
bool MakeFolder(const std::wstring& path);

// The running program's full path, however long.
std::wstring ExecutablePath();

// Deletes a file; a missing file, or one that cannot be deleted, is no error.
bool DeleteFileQuietly(const std::wstring& path);

// Reads a whole file, letting others read but not write it meanwhile; a hold by another
// program is waited for up to a second.
std::string ReadWholeFile(const std::wstring& path);

// Reads the rest of an open file, expected to hold about sizeHint bytes (as a listing gave
// it): one read when it holds no more, whatever it holds.
std::string ReadOpenFile(HANDLE file, const std::wstring& path, uint64_t sizeHint);

// Appends bytes to a file opened for appending; the path only names it in an error.
void AppendToFile(HANDLE file, std::string_view bytes, const std::wstring& path);

// Whether a file that another program holds (a reader, an indexer, a virus scanner) is
// tried again for up to a second, or given up at once by a caller that tries again later.
enum class LockWait { UpToASecond, None };

// Opens an existing file as CreateFileW does, waiting for a hold as told. An invalid
// handle, with the last error set, when it cannot be opened.
HANDLE OpenPassingLocks(const std::wstring& path, DWORD access, DWORD share,
                        LockWait wait = LockWait::UpToASecond);

// Whether a replacement must be on the disk when the call returns (a power cut must not
// take it back), or may stay in the system's cache like any ordinary write.
enum class Durability { Cached, OnDisk };

// How a replacement is made, and what its caller already knows.
struct ReplaceWays {
    Durability durability = Durability::Cached;
    LockWait wait = LockWait::UpToASecond;
    bool noFolderListed = false;  // a listing of the folder just now found no folder of the target's name
    bool identity = false;        // the identity of the file written is wanted
};

// Replaces path with bytes in one step: the bytes go to a temporary file in the same
// folder, made new by this call, which is then renamed over the target. No reader ever
// sees a partial file, and no file already there (a link planted under either name
// included) is ever written into. Returns the identity of the file now at path when asked.
FileIdentity WriteFileReplacing(const std::wstring& path, std::string_view bytes, const ReplaceWays& ways);
inline void WriteFileReplacing(const std::wstring& path, std::string_view bytes,
                               Durability durability = Durability::Cached,
                               LockWait wait = LockWait::UpToASecond) {
    WriteFileReplacing(path, bytes, ReplaceWays{durability, wait});
}

// Renames a file within its folder, never over another; false when it cannot.
bool RenameFile(const std::wstring& from, const std::wstring& to);
