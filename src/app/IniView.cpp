// A read-only sectioned key=value view of INI-style lines.
#include "app/IniView.h"

#include "app/Text.h"

IniView::IniView(const std::vector<std::string>& lines) {
    for (const std::string& line : lines) {
        if (line.empty() || line[0] == ';') continue;
        if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
            sections_.push_back({line.substr(1, line.size() - 2), {}});
        } else if (!sections_.empty()) {
            sections_.back().lines.push_back(line);
        }
    }
}

std::string IniView::Read(std::string_view section, std::string_view key,
                          std::string_view fallback) const {
    for (const Section& candidate : sections_) {
        if (!EqualsNoCase(candidate.name, section)) continue;
        // Only the first section of a name is ever searched.
        for (const std::string& line : candidate.lines) {
            size_t equals = line.find('=');
            if (equals != std::string::npos &&
                EqualsNoCase(std::string_view(line).substr(0, equals), key))
                return line.substr(equals + 1);
        }
        break;
    }
    return std::string(fallback);
}
