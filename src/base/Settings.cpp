// What the settings file "VQBroker.Ini" gives the service, read by fixed rules.
#include "base/Settings.h"

#include "base/IniView.h"
#include "base/Text.h"

namespace {

// A count written in plain decimal digits; anything else (a sign, a blank, a letter, a
// number too large) keeps the fallback.
int ReadCount(const IniView& ini, const char* section, const char* key, int fallback) {
    const std::string value = ini.Read(section, key, "");
    return value.find('-') == std::string::npos ? ParseDecimal(value, fallback) : fallback;
}

}  // namespace

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
    settings.alertSeconds = ReadCount(ini, section, "AlertaSecunde", settings.alertSeconds);
    settings.logHistoryDays = ReadCount(ini, section, "ZileIstoricLog", settings.logHistoryDays);
    settings.utf8Files = UpperAscii(ini.Read(section, "CodificareFisiere", "")) == "UTF8";
    return settings;
}
