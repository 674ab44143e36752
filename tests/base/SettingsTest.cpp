// The settings file, its lists, and the application's title.
#include <gtest/gtest.h>

#include "base/AppTitle.h"
#include "base/Settings.h"
#include "base/Text.h"

namespace {

// A setting as text, each location in brackets.
std::string Value(const Settings& settings, std::string_view key) {
    if (key == "DirectorLucru") return settings.workDir;
    if (key == "FirmaLucru") return settings.company;
    if (key == "IDArticol") return settings.articleIdKind;
    if (key == "IDPartener") return settings.partnerIdKind;
    if (key == "PrefixareErori") return settings.prefixErrors ? "1" : "0";
    if (key == "RaspunsImediat") return settings.immediate ? "1" : "0";
    if (key == "ZileIstoricLog") return std::to_string(settings.logHistoryDays);
    if (key == "CodificareFisiere") return settings.utf8Files ? "UTF8" : "ANSI";
    std::string list;
    for (const std::string& gestiune : settings.gestiuni) list += "[" + gestiune + "]";
    return list;
}

// A key missing, or only in another section, reads as `missing`.
TEST(SettingsTest, EachKeyIsReadByItsOwnRule) {
    struct Case {
        const char* behaviour;
        TextList keys;
        const char* missing;
        std::vector<std::pair<const char*, const char*>> writtenAndRead;
    } cases[] = {
        {"values are taken as written, blanks and all",
         {"FirmaLucru", "IDArticol", "IDPartener"},
         "?",
         {{" blank kept ", " blank kept "}, {"", ""}, {"a=b", "a=b"}}},
        {"the working directory loses one trailing backslash",
         {"DirectorLucru"},
         "?",
         {{"C:\\Work\\", "C:\\Work"}, {"C:\\Work\\\\", "C:\\Work\\"}, {"", ""}, {"\\", ""}}},
        {"locations are upper-cased and split, a trailing empty one dropped",
         {"Gestiune"},
         "",
         {{"g1;g2;", "[G1][G2]"}, {";G1", "[][G1]"}, {" g1", "[ G1]"}, {"", ""}, {"az;z", "[AZ][Z]"}}},
        {"flags need exactly D, in either case",
         {"PrefixareErori", "RaspunsImediat"},
         "0",
         {{"D", "1"}, {"d", "1"}, {"Da", "0"}, {" D", "0"}, {"", "0"}}},
        {"days of log history are plain decimal, else 30",
         {"ZileIstoricLog"},
         "30",
         {{"7", "7"},
          {"0", "0"},
          {"", "30"},
          {" 7", "30"},
          {"7 ", "30"},
          {"-1", "30"},
          {"+7", "30"},
          {"x", "30"},
          {"99999999999", "30"}}},
        {"files are UTF-8 only by that word, in either case",
         {"CodificareFisiere"},
         "ANSI",
         {{"utf8", "UTF8"}, {"UTF-8", "ANSI"}, {"UTF8 ", "ANSI"}}},
    };
    for (const Case& c : cases) {
        for (const std::string& key : c.keys) {
            for (const std::string& content : TextList{"", "[Generale]\r\n", "[Other]\r\n" + key + "=7\r\n"})
                EXPECT_EQ(Value(ReadSettings(content), key), c.missing) << key << " in: " << content;
            for (const auto& [written, read] : c.writtenAndRead) {
                SCOPED_TRACE(std::string(c.behaviour) + ": " + key + "=" + written);
                EXPECT_EQ(Value(ReadSettings("[Generale]\r\n" + key + "=" + written + "\r\n"), key), read);
            }
        }
    }
}

TEST(SettingsTest, LinesSectionsAndKeysAreFoundByTheFilesRules) {
    struct Case {
        const char* behaviour;
        const char* content;
        const char* company;
    } cases[] = {
        {"keys in another case are found", "[Generale]\r\nfirmalucru=lower key\r\n", "lower key"},
        {"a blank before = is part of the key", "[Generale]\r\nFirmaLucru =X\r\n", "?"},
        {"CR alone ends a line", "[Generale]\rFirmaLucru=CR\r", "CR"},
        {"LF alone ends a line", "[Generale]\nFirmaLucru=LF", "LF"},
        {"a key before the section is not in it", "FirmaLucru=before\r\n[Generale]\r\n", "?"},
        {"a section name in any case; comments and blank lines skipped",
         "[generale]\r\n;FirmaLucru=comment\r\n\r\nFirmaLucru=ok\r\n", "ok"},
        {"the first entry of a key counts",
         "[Generale]\r\nFirmaLucru=1\r\nFirmaLucru=2\r\n[Generale]\r\nFirmaLucru=3", "1"},
        {"a later section of the same name is never read", "[Generale]\r\nX=1\r\n[Generale]\r\nFirmaLucru=3",
         "?"},
        {"a blank after ] makes an ordinary line of the section before",
         "[Generale]\r\n[Other] \r\nFirmaLucru=still\r\n", "still"},
        {"a blank after ] opens no section", "[Generale] \r\nFirmaLucru=none\r\n", "?"},
    };
    for (const Case& c : cases) EXPECT_EQ(ReadSettings(c.content).company, c.company) << c.behaviour;
}

TEST(AppTitleTest, FileNameUpToTheFirstDotWithTheRestInLowerCase) {
    const std::pair<const char*, const char*> cases[] = {
        {"C:\\Program Files\\VQ\\VQBroker.exe", "Vqbroker"},
        {"vqBROKER.v2.exe", "vqbroker"},
        {"Z:\\noext", "noext"},
    };
    for (const auto& [path, title] : cases) EXPECT_EQ(ApplicationTitle(path), title) << path;
}

TEST(SplitListTest, KeepsEmptyPiecesButDropsATrailingOneAndAppends) {
    const std::pair<const char*, TextList> cases[] = {
        // clang-format off
        {"A;;B", {"X", "A", "", "B"}},
        {"A;", {"X", "A"}},
        {"", {"X"}},
        {";", {"X", ""}},
        {";;", {"X", "", ""}},
        // clang-format on
    };
    for (const auto& [text, pieces] : cases) {
        TextList list{"X"};
        SplitList(text, ';', list);
        EXPECT_EQ(list, pieces) << text;
    }
}

}  // namespace
