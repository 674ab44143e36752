// Keeps LOG.TXT equal to the run's whole log at a cost that does not grow with the log.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

class LogFile {
public:
    // Brings the file at path up to text, the run's whole log. While the file is exactly
    // as this object last left it, only the new tail is appended; otherwise (first save
    // of the run, another path, a change from outside) the file is replaced whole.
    // Throws BrokerError when the file cannot be written; the next save then retries.
    void Save(const std::string& path, std::string_view text);

    // The next save rewrites the file whole (the directory was gone meanwhile).
    void Forget() noexcept { known_ = false; }

private:
    bool AppendTail(const std::string& path, std::string_view text);
    void Remember(const std::string& path, uint64_t bytes);

    bool known_ = false;
    std::string path_;
    uint64_t savedBytes_ = 0;
    uint64_t lastWrite_ = 0;
};
