// Keeps LOG.TXT equal to the run's whole log at a cost that does not grow with the log.
#pragma once

#include <string>
#include <string_view>

#include "base/FileSystem.h"

class LogFile {
public:
    // Brings the file at path up to text, the run's whole log. While the file is the very
    // one this object last wrote (same identity) and exactly as it left it (same size and
    // time), only the new tail is appended; otherwise (first save of the run, another
    // path, a change from outside, another file or a link put in its place) the file is
    // replaced whole. Throws BrokerError when the file cannot be written; the next save
    // then retries.
    void Save(const std::string& path, std::string_view text);

    // The next save rewrites the file whole (the directory was gone meanwhile).
    void Forget() noexcept { known_ = false; }

private:
    bool AppendTail(const std::string& path, std::string_view text);
    void Remember(const std::string& path, FileIdentity identity, uint64_t bytes);  // by value: saved_ changes

    bool known_ = false;
    std::string path_;
    FileState saved_;  // the file as this object last left it
};
