// What the handlers read from a package's lines: working month and master-data record.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// A package's bytes and its lines as views into them, after a leading UTF-8 mark. It stays
// where it was made (no copy, no move), so the views stay valid as long as it lives.
class PackageLines {
public:
    // utf8Files: the setting says that packages are UTF-8; a mark says so of its own package.
    explicit PackageLines(std::string bytes, bool utf8Files = false);
    PackageLines(const PackageLines&) = delete;
    PackageLines& operator=(const PackageLines&) = delete;

    const std::vector<std::string_view>& lines() const { return lines_; }
    bool utf8() const { return utf8_; }
    // The first line that is not UTF-8 in a UTF-8 package, 0 when none: nothing of such a
    // package may reach the server.
    size_t badLine() const { return badLine_; }

private:
    std::string bytes_;
    std::vector<std::string_view> lines_;
    bool utf8_ = false;
    size_t badLine_ = 0;
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
