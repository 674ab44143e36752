// Reading rules of the settings file "VQBroker.Ini", and the application's title.
#include <gtest/gtest.h>

#include "base/AppTitle.h"
#include "base/Settings.h"

namespace {

Settings Read(const std::string& generale) { return ReadSettings("[Generale]\r\n" + generale); }

TEST(SettingsTest, MissingFileOrKeysGiveTheMissingValues) {
    for (const char* content : {"", "[Generale]\r\n", "[Other]\r\nDirectorLucru=C:\\W\r\n"}) {
        Settings settings = ReadSettings(content);
        EXPECT_EQ(settings.workDir, "?") << content;
        EXPECT_EQ(settings.company, "?");
        EXPECT_EQ(settings.articleIdKind, "?");
        EXPECT_EQ(settings.partnerIdKind, "?");
        EXPECT_TRUE(settings.gestiuni.empty());
        EXPECT_FALSE(settings.prefixErrors);
    }
}

TEST(SettingsTest, ValuesAreTakenExactlyAsWritten) {
    struct Case {
        const char* line;
        const char* company;
    } cases[] = {
        {"FirmaLucru=ACME SRL", "ACME SRL"},
        {"firmalucru=lower key", "lower key"},        // keys in another case are found
        {"FirmaLucru= blank kept ", " blank kept "},  // blanks after "=" belong to the value
        {"FirmaLucru=", ""},                          // empty, not missing
        {"FirmaLucru =X", "?"},                       // a blank before "=" is part of the key
        {"FirmaLucru=a=b", "a=b"},                    // only the first "=" separates
    };
    for (const auto& c : cases) EXPECT_EQ(Read(std::string(c.line) + "\r\n").company, c.company) << c.line;
}

TEST(SettingsTest, LineEndsCommentsAndSections) {
    EXPECT_EQ(ReadSettings("[Generale]\rFirmaLucru=CR\r").company, "CR");
    EXPECT_EQ(ReadSettings("[Generale]\nFirmaLucru=LF").company, "LF");
    EXPECT_EQ(ReadSettings("FirmaLucru=before\r\n[Generale]\r\n").company, "?");
    EXPECT_EQ(ReadSettings("[generale]\r\n;FirmaLucru=comment\r\n\r\nFirmaLucru=ok\r\n").company, "ok");
    // The first section of a name and the first entry count; later repeats are never seen.
    EXPECT_EQ(
        ReadSettings("[Generale]\r\nFirmaLucru=1\r\nFirmaLucru=2\r\n[Generale]\r\nFirmaLucru=3").company,
        "1");
    EXPECT_EQ(ReadSettings("[Generale]\r\nX=1\r\n[Generale]\r\nFirmaLucru=3").company, "?");
    // A section line with a blank after "]" is an ordinary line of the section before it.
    EXPECT_EQ(ReadSettings("[Generale]\r\n[Other] \r\nFirmaLucru=still\r\n").company, "still");
    EXPECT_EQ(ReadSettings("[Generale] \r\nFirmaLucru=none\r\n").company, "?");
}

TEST(SettingsTest, WorkingDirectoryLosesOneTrailingBackslash) {
    struct Case {
        const char* value;
        const char* workDir;
    } cases[] = {
        {"C:\\Work\\", "C:\\Work"},
        {"C:\\Work\\\\", "C:\\Work\\"},
        {"C:\\", "C:"},
        {"?\\", "?"},
        {"", ""},
        {"\\", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Read(std::string("DirectorLucru=") + c.value + "\r\n").workDir, c.workDir) << c.value;
}

TEST(SettingsTest, KeyKindsAreStoredAsWritten) {
    Settings settings = Read("IDArticol=codExtern\r\nIDPartener=cod fiscal\r\n");
    EXPECT_EQ(settings.articleIdKind, "codExtern");
    EXPECT_EQ(settings.partnerIdKind, "cod fiscal");
}

TEST(SettingsTest, GestiuneIsUpperCasedAndSplit) {
    using List = std::vector<std::string>;
    EXPECT_EQ(Read("Gestiune=g1;g2;\r\n").gestiuni, (List{"G1", "G2"}));
    EXPECT_EQ(Read("Gestiune=;G1\r\n").gestiuni, (List{"", "G1"}));
    EXPECT_EQ(Read("Gestiune= g1\r\n").gestiuni, (List{" G1"}));
    EXPECT_EQ(Read("Gestiune=\r\n").gestiuni, List{});
}

TEST(SettingsTest, PrefixingAndImmediateAnswersNeedExactlyD) {
    struct Case {
        const char* value;
        bool prefix;
    } cases[] = {
        {"D", true}, {"d", true}, {"Da", false}, {" D", false}, {"D ", false}, {"", false}, {"N", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Read(std::string("PrefixareErori=") + c.value + "\r\n").prefixErrors, c.prefix) << c.value;
        EXPECT_EQ(Read(std::string("RaspunsImediat=") + c.value + "\r\n").immediate, c.prefix) << c.value;
    }
}

TEST(SettingsTest, LogHistoryDaysArePlainDecimalElseThirty) {
    const std::pair<const char*, int> cases[] = {
        {"7", 7},   {"0", 0},   {"365", 365}, {"", 30},  {" 7", 30},
        {"7 ", 30}, {"-1", 30}, {"+7", 30},   {"x", 30}, {"99999999999", 30},
    };
    for (const auto& [value, days] : cases)
        EXPECT_EQ(Read(std::string("ZileIstoricLog=") + value + "\r\n").logHistoryDays, days) << value;
    EXPECT_EQ(Read("").logHistoryDays, 30);
}

TEST(AppTitleTest, FileNameUpToTheFirstDotWithTheRestInLowerCase) {
    EXPECT_EQ(ApplicationTitle("C:\\Program Files\\VQ\\VQBroker.exe"), "Vqbroker");
    EXPECT_EQ(ApplicationTitle("vqBROKER.v2.exe"), "vqbroker");
    EXPECT_EQ(ApplicationTitle("Z:\\noext"), "noext");
}

}  // namespace
