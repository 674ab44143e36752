// What the handlers read from a package's lines.
#include "packages/PackageText.h"

#include <utility>

#include "base/IniView.h"
#include "base/Text.h"

PackageLines::PackageLines(std::string bytes) : bytes_(std::move(bytes)), lines_(TextLineViews(bytes_)) {}

WorkingMonth ReadWorkingMonth(const std::vector<std::string_view>& lines) {
    const IniView header(lines);
    return {ParseInteger(header.Read("InfoPachet", "AnLucru", "?")),
            ParseInteger(header.Read("InfoPachet", "LunaLucru", "?"))};
}

std::string_view RecordText(const std::vector<std::string_view>& lines) {
    return lines.empty() ? ";" : lines.front();
}
