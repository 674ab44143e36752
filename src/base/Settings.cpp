// What the settings file "VQBroker.Ini" gives the service, read by fixed rules.
#include "base/Settings.h"

#include "base/IniView.h"
#include "base/Text.h"

Settings ReadSettings(std::string_view content) {
    const std::vector<std::string_view> lines = TextLineViews(content);
    const IniView ini(lines);
    const char* section = "Generale";
    Settings settings;
    settings.workDir = ini.Read(section, "DirectorLucru", "?");
    if (!settings.workDir.empty() && settings.workDir.back() == '\\') settings.workDir.pop_back();
    settings.company = ini.Read(section, "FirmaLucru", "?");
    settings.articleIdKind = ini.Read(section, "IDArticol", "?");
    settings.partnerIdKind = ini.Read(section, "IDPartener", "?");
    SplitList(UpperAscii(ini.Read(section, "Gestiune", "")), ';', settings.gestiuni);
    settings.prefixErrors = UpperAscii(ini.Read(section, "PrefixareErori", "")) == "D";
    settings.immediate = UpperAscii(ini.Read(section, "RaspunsImediat", "")) == "D";
    const std::string days = ini.Read(section, "ZileIstoricLog", "");
    if (days.find('-') == std::string::npos) settings.logHistoryDays = ParseDecimal(days, kLogHistoryDays);
    return settings;
}
