// What the handlers read from a package's lines.
#include "packages/PackageText.h"

#include "app/IniView.h"
#include "app/Text.h"

WorkingMonth ReadWorkingMonth(const std::vector<std::string>& lines) {
    const IniView header(lines);
    return {ParseInteger(header.Read("InfoPachet", "AnLucru", "?")),
            ParseInteger(header.Read("InfoPachet", "LunaLucru", "?"))};
}

std::string RecordText(const std::vector<std::string>& lines) {
    return lines.empty() ? ";" : lines.front();
}
