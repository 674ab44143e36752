// A read-only sectioned key=value view of INI-style lines.
#include "base/IniView.h"

#include "base/Text.h"

std::string IniView::Read(std::string_view section, std::string_view key, std::string_view fallback) const {
    bool inSection = false;
    for (std::string_view line : lines_) {
        if (line.empty() || line[0] == ';') continue;
        if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
            // Only the first section of a name is ever searched.
            if (inSection) break;
            inSection = EqualsNoCase(line.substr(1, line.size() - 2), section);
        } else if (inSection) {
            const size_t equals = line.find('=');
            if (equals != std::string_view::npos && EqualsNoCase(line.substr(0, equals), key))
                return std::string(line.substr(equals + 1));
        }
    }
    return std::string(fallback);
}
