// What the handlers read from a package's lines: working month and master-data record.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// A package's bytes and its lines as views into them. It stays where it was made (no
// copy, no move), so the views stay valid as long as it lives.
class PackageLines {
public:
    explicit PackageLines(std::string bytes);
    PackageLines(const PackageLines&) = delete;
    PackageLines& operator=(const PackageLines&) = delete;

    const std::vector<std::string_view>& lines() const { return lines_; }

private:
    std::string bytes_;
    std::vector<std::string_view> lines_;
};

struct WorkingMonth {
    int year = 0;
    int month = 0;
};

// "AnLucru" and "LunaLucru" of the first section "InfoPachet", by the header view's
// rules; 0 for a missing key or a value that is not a whole integer. Never fails.
WorkingMonth ReadWorkingMonth(const std::vector<std::string_view>& lines);

// The first line, unchanged; ";" when the package has no line at all.
std::string_view RecordText(const std::vector<std::string_view>& lines);
