// What the settings file "VQBroker.Ini" gives the service, read by fixed rules.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "base/Text.h"

// What a missing "ZileIstoricLog", or one that is not a plain decimal number, gives.
inline constexpr int kLogHistoryDays = 30;

struct Settings {
    std::string workDir;        // "DirectorLucru", one trailing "\" removed; "?" when missing
    std::string company;        // "FirmaLucru"; "?" when missing
    std::string articleIdKind;  // "IDArticol" as written; "?" when missing
    std::string partnerIdKind;  // "IDPartener" as written; "?" when missing
    TextList gestiuni;          // "Gestiune", upper case, split at ";"
    bool prefixErrors = false;  // "PrefixareErori" upper-cased is exactly "D"
    bool immediate = false;     // "RaspunsImediat", read the same way: a tick as soon as a request arrives
    int alertSeconds = 300;     // "AlertaSecunde": a request in hand this long is reported; 0 never
    int logHistoryDays = kLogHistoryDays;  // "ZileIstoricLog": days of LOG.TXT kept in LOGURI; 0 keeps none
    bool utf8Files = false;                // "CodificareFisiere" upper-cased is exactly "UTF8"; else ANSI
};

// Reads the section "Generale" of the settings file's content (empty when there is no file).
Settings ReadSettings(std::string_view content);
