// A read-only sectioned key=value view of INI-style lines (the settings file and the
// header of a document package follow the same reading rules).
#pragma once

#include <string>
#include <string_view>
#include <vector>

class IniView {
public:
    // Views the lines, which must outlive the view, by these rules: empty lines and lines
    // starting with ";" are skipped, a line that starts with "[" and ends with "]" opens a
    // section, lines before the first section are dropped. Nothing is trimmed.
    explicit IniView(const std::vector<std::string_view>& lines) : lines_(lines) {}
    IniView(std::vector<std::string_view>&&) = delete;

    // The value of the first entry whose text before its first "=" equals key (ignoring
    // case), in the first section named section (ignoring case); fallback when there is none.
    std::string Read(std::string_view section, std::string_view key, std::string_view fallback) const;

private:
    // Each read scans the lines and stops at the end of the section: a package's header
    // comes first, and a package may have 100,000 lines after it.
    const std::vector<std::string_view>& lines_;
};
