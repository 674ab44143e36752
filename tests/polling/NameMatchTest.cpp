// Which names a request row may serve: the long-name check, error files, ".ERR" names.
#include <gtest/gtest.h>

#include "polling/NameMatch.h"

namespace {

TEST(NameMatchTest, LongNameMustMatchThePatternWithoutRegardToCase) {
    struct Case {
        const char* name;
        const char* pattern;
        bool matches;
    } cases[] = {
        {"COMANDA_123.TXT", "COMANDA_*.TXT", true},
        {"comanda_7.txt", "COMANDA_*.TXT", true},
        {"Comanda_.Txt", "COMANDA_*.TXT", true},  // the empty run
        {"COMANDA_A.TXT.TXT", "COMANDA_*.TXT", true},
        {"COMANDA_1.TXTOLD", "COMANDA_*.TXT", false},  // found by its short name only
        {"COMANDA_1.TXT.BAK", "COMANDA_*.TXT", false},
        {"COMANDAFURN_1.TXT", "COMANDA_*.TXT", false},
        {"COMANDA_1.TXT", "COMANDAFURN_*.TXT", false},
        {"MODIPARTENER_1.TXT", "PARTENER_*.TXT", false},
        {"PARTENER_1.TXT", "MODIPARTENER_*.TXT", false},
        {"FACTURAFURN_1.TXT", "FACTURA_*.TXT", false},
        {"XCOMANDA_1.TXT", "COMANDA_*.TXT", false},
        {"COMANDA1.TXT", "COMANDA_*.TXT", false},
        {"COMANDA_*.TXT", "COMANDA_*.TXT", true},
        {"ARTICOL_ab*c.TXT", "ARTICOL_*.TXT", true},
        {"", "COMANDA_*.TXT", false},
        {"", "*", true},
        {"aXbXc", "a*b*c", true},
        {"aXbXd", "a*b*c", false},
        {"abcbc", "*bc", true},
        {"\xC7OMANDA_1.TXT", "COMANDA_*.TXT", false},  // only a to z fold
    };
    for (const auto& c : cases)
        EXPECT_EQ(MatchesPattern(c.name, c.pattern), c.matches) << c.name << " ~ " << c.pattern;
}

TEST(NameMatchTest, NamesHoldingErrorFileNameAreNoRequests) {
    EXPECT_TRUE(IsErrorFileName("COMANDA_ERORI.TXT"));
    EXPECT_TRUE(IsErrorFileName("comanda_erori.txt"));
    EXPECT_TRUE(IsErrorFileName("COMANDA_ERORI.TXT.TXT"));
    EXPECT_FALSE(IsErrorFileName("COMANDA_ERORI_1.TXT"));
    EXPECT_FALSE(IsErrorFileName("COMANDA_1.TXT"));
}

TEST(NameMatchTest, SetAsideNameReplacesTheFirstTxtOnly) {
    EXPECT_EQ(SetAsideName("COMANDA_1.TXT"), "COMANDA_1.ERR");
    EXPECT_EQ(SetAsideName("comanda_7.txt"), "comanda_7.ERR");
    EXPECT_EQ(SetAsideName("COMANDA_A.TXT.TXT"), "COMANDA_A.ERR.TXT");
    EXPECT_EQ(SetAsideName("COMANDA_.TxT"), "COMANDA_.ERR");
    EXPECT_EQ(SetAsideName("NOEXT"), "NOEXT.ERR");
}

}  // namespace
