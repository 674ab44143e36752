// What the handlers read from a package's lines.
#include "packages/PackageText.h"

#include <utility>

#include "base/IniView.h"
#include "base/Text.h"
#include "base/Utf8.h"

PackageLines::PackageLines(std::string bytes, bool utf8Files) : bytes_(std::move(bytes)) {
    const RequestText text = ReadRequestText(bytes_, utf8Files);
    lines_ = TextLineViews(text.text);
    utf8_ = text.utf8;
    badLine_ = text.badLine;
}

WorkingMonth ReadWorkingMonth(const std::vector<std::string_view>& lines) {
    const IniView header(lines);
    return {ParseInteger(header.Read("InfoPachet", "AnLucru", "?")),
            ParseInteger(header.Read("InfoPachet", "LunaLucru", "?"))};
}

std::string_view RecordText(const std::vector<std::string_view>& lines) {
    return lines.empty() ? ";" : lines.front();
}
