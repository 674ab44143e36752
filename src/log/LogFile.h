// Keeps LOG.TXT equal to the log it is given at a cost that does not grow with the log.
#pragma once

#include <string>
#include <string_view>

#include "base/FileSystem.h"

class LogFile {
public:
    // Brings the file at path up to text, the log that began with the text last saved.
    // While the file is the very one this object last wrote (same identity) and as long as
    // it left it, only the new tail is appended; otherwise (first save,
    // another path, a change from outside, another file or a link put in its place) the
    // file is replaced whole. Throws BrokerError when the file cannot be written; the next
    // save then retries.
    void Save(const std::wstring& path, std::string_view text, LockWait wait);

    // The next save rewrites the file whole (the directory was gone meanwhile, or the
    // text no longer begins with what was saved).
    void Forget() noexcept {
        known_ = false;
        base_ = 0;
    }

    // The file at path as it stands (an earlier run's log that cannot be moved away) is
    // kept, and the next saves append after it; not a file with other names (a link).
    void Adopt(const std::wstring& path);
    bool Known() const { return known_; }
    // The next saves are given the text without its first bytes, which the file keeps.
    void Dropped(size_t bytes) { base_ += bytes; }

private:
    bool AppendTail(const std::wstring& path, std::string_view text, LockWait wait);
    void Remember(const std::wstring& path, FileIdentity identity, uint64_t bytes);
    static bool PlainFile(const std::wstring& path, FileIdentity& identity, uint64_t& size, bool& marked);
    static bool Reencode(const std::wstring& path);  // into the log's encoding, its lines kept

    bool known_ = false;
    uint64_t base_ = 0;  // bytes the file holds before the text it is given
    std::wstring path_;
    FileState saved_;  // the file as this object last left it
};
