// A file that tests and benchmarks ask the running program to note things in, named by a
// value under HKLM\Software\VQBroker: off unless that value is set.
#pragma once

#include <string>

class TraceFile {
public:
    explicit TraceFile(const wchar_t* registryValue);
    bool On() const { return !path_.empty(); }
    // Appends one line (CR LF added) in one write, so that lines never mix.
    void Append(const std::string& line) const;

private:
    std::wstring path_;
};
