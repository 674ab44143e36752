// Names a request row may serve, error-file names, a refused package's ".ERR" name.
#include <gtest/gtest.h>

#include "polling/NameMatch.h"

namespace {

// The name as the directory gives it, each byte one character.
std::wstring Found(std::string_view name) {
    std::wstring found;
    for (const char c : name) found += wchar_t(static_cast<unsigned char>(c));
    return found;
}

// "*" is any run, the empty one too; only a to z fold. A match by 8.3 short name only
// (COMANDA_1.TXTOLD) is none.
TEST(NameMatchTest, LongNameMustMatchThePatternWithoutRegardToCase) {
    struct Case {
        const char* name;
        const char* pattern;
        bool matches;
    } cases[] = {
        {"COMANDA_123.TXT", "COMANDA_*.TXT", true},
        {"comanda_7.txt", "COMANDA_*.TXT", true},
        {"Comanda_.Txt", "COMANDA_*.TXT", true},
        {"COMANDA_A.TXT.TXT", "COMANDA_*.TXT", true},
        {"COMANDA_*.TXT", "COMANDA_*.TXT", true},
        {"ARTICOL_ab*c.TXT", "ARTICOL_*.TXT", true},
        {"COMANDA_1.TXTOLD", "COMANDA_*.TXT", false},
        {"COMANDA_1.TXT.BAK", "COMANDA_*.TXT", false},
        {"COMANDAFURN_1.TXT", "COMANDA_*.TXT", false},
        {"COMANDA_1.TXT", "COMANDAFURN_*.TXT", false},
        {"MODIPARTENER_1.TXT", "PARTENER_*.TXT", false},
        {"PARTENER_1.TXT", "MODIPARTENER_*.TXT", false},
        {"FACTURAFURN_1.TXT", "FACTURA_*.TXT", false},
        {"XCOMANDA_1.TXT", "COMANDA_*.TXT", false},
        {"COMANDA1.TXT", "COMANDA_*.TXT", false},
        {"", "COMANDA_*.TXT", false},
        {"", "*", true},
        {"aXbXc", "a*b*c", true},
        {"aXbXd", "a*b*c", false},
        {"abcbc", "*bc", true},
        {"\xC7OMANDA_1.TXT", "COMANDA_*.TXT", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MatchesPattern(Found(c.name), c.pattern), c.matches) << c.name << " ~ " << c.pattern;
}

// Holding "ERORI.TXT" (any case) marks an error file; the first ".TXT" becomes ".ERR", or it is added.
TEST(NameMatchTest, ErrorFileNamesAndSetAsideNames) {
    struct Case {
        const char* name;
        bool errorFile;
        const char* setAside;
    } cases[] = {
        {"COMANDA_1.TXT", false, "COMANDA_1.ERR"},
        {"comanda_7.txt", false, "comanda_7.ERR"},
        {"COMANDA_A.TXT.TXT", false, "COMANDA_A.ERR.TXT"},
        {"COMANDA_.TxT", false, "COMANDA_.ERR"},
        {"NOEXT", false, "NOEXT.ERR"},
        {"COMANDA_ERORI.TXT", true, "COMANDA_ERORI.ERR"},
        {"comanda_erori.txt", true, "comanda_erori.ERR"},
        {"COMANDA_ERORI_1.TXT", false, "COMANDA_ERORI_1.ERR"},
        {"COMANDA_ERORI.TXT.TXT", true, "COMANDA_ERORI.ERR.TXT"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsErrorFileName(Found(c.name)), c.errorFile) << c.name;
        EXPECT_EQ(SetAsideName(Found(c.name)), Found(c.setAside)) << c.name;
    }
}

}  // namespace
