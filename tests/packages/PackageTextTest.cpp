// A package's lines and its header's working month.
#include <gtest/gtest.h>

#include "base/Text.h"
#include "base/Utf8.h"
#include "packages/PackageText.h"

namespace {

using namespace std::string_literals;

TEST(PackageTextTest, LinesEndAtCrLfCrOrLfAndTheFirstNul) {
    const std::pair<std::string, TextList> cases[] = {
        {"A\0B"s, {"A"}},
        {"A\n\rB"s, {"A", "", "B"}},
        {"A\r\r\nB"s, {"A", "", "B"}},
    };
    for (const auto& [content, lines] : cases) {
        const PackageLines package(content);
        EXPECT_EQ(TextList(package.lines().begin(), package.lines().end()), lines) << content;
    }
}

WorkingMonth MonthOf(const std::string& content) { return ReadWorkingMonth(PackageLines(content).lines()); }

TEST(PackageTextTest, HeaderViewFindsTheWorkingMonth) {
    struct Case {
        const char* why;
        const char* content;
        int year, month;
    } cases[] = {
        {"blank after =", "[InfoPachet]\nAnLucru= 2026\nLunaLucru=12", 2026, 12},
        {"blanks in brackets", "[ InfoPachet ]\nAnLucru=2026\nLunaLucru=12", 0, 0},
        {"other section", "[Alt]\nAnLucru=2026\n[InfoPachet]\nLunaLucru=5\n[X]\nAnLucru=1", 0, 5},
        {"empty value", "[InfoPachet]\nAnLucru=\nLunaLucru=12", 0, 12},
        {"no range check", "[InfoPachet]\nAnLucru=1899\nLunaLucru=13", 1899, 13},
        {"empty brackets", "[]\nAnLucru=2026\n[InfoPachet]\nLunaLucru=2", 0, 2},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(MonthOf(c.content).year, c.year) << c.why;
        EXPECT_EQ(MonthOf(c.content).month, c.month) << c.why;
    }
}

// Decimal or "$"/"0x" hexadecimal, signed, within 32 bits, else 0; the digits' rules and upper bound
// are the row rebuild test's.
TEST(PackageTextTest, HeaderValuesReadAsWhole32BitIntegers) {
    const std::pair<const char*, int> cases[] = {
        {"+12", 12},
        {"-5", -5},
        {"$7E9", 2025},
        {"0x7EA", 2026},
        {"0X10", 16},
        {"-$10", -16},
        {"-2147483648", -2147483647 - 1},
        {"+", 0},
        {"0x", 0},
    };
    for (const auto& [value, year] : cases)
        EXPECT_EQ(MonthOf(std::string("[InfoPachet]\nAnLucru=") + value).year, year) << value;
}

// Strict UTF-8: the line of the first bad byte, or the exact UTF-16 of a good file.
TEST(PackageTextTest, Utf8IsCheckedStrictlyAndDecodedExactly) {
    const std::string mark = "\xEF\xBB\xBF";
    const struct Case {
        std::string content;
        bool utf8Files;
        size_t badLine;
        std::u16string decoded;  // of a good UTF-8 file, without its mark
    } cases[] = {
        {"\xC8\x98" "a\xC8\x9B\xE2\x82\xAC", true, 0, u"\u0218a\u021B\u20AC"},
        {mark + "\xF0\x9F\x98\x80", false, 0, u"\U0001F600"},
        {mark, true, 0, u""},
        {"\xAA\xBA", false, 0, u""},                     // ANSI, left to the code page
        {"A\rB\r\n\nC\xAA", true, 4, u""},               // CR, CR LF and LF each end one line
        {"A\0\xFF", true, 0, u"A"},                       // the content ends at a NUL
        {"\xC0\x80", true, 1, u""},                        // overlong forms
        {"\xC1\xBF", true, 1, u""},
        {"\xE0\x9F\xBF", true, 1, u""},
        {"\xF0\x8F\xBF\xBF", true, 1, u""},
        {"\xED\xA0\x80", true, 1, u""},                    // surrogates' code points
        {"\xED\xBF\xBF", true, 1, u""},
        {"\xF4\x90\x80\x80", true, 1, u""},               // past U+10FFFF
        {"\xF5\x80\x80\x80", true, 1, u""},
        {"\x80", true, 1, u""},                             // a continuation alone
        {mark + "A\n\xE2\x82", false, 2, u""},              // cut at the end
        {"\xE2\x82" "A", true, 1, u""},                     // cut before another letter
        {mark + mark, false, 0, u"\uFEFF"},                 // only the first mark is skipped
    };
    for (const Case& c : cases) {
        const RequestText text = ReadRequestText(c.content, c.utf8Files);
        EXPECT_EQ(text.utf8, c.utf8Files || c.content.starts_with(mark)) << c.content;
        EXPECT_EQ(text.badLine, c.badLine) << c.content;
        EXPECT_EQ(PackageLines(c.content, c.utf8Files).badLine(), c.badLine) << c.content;
        if (!text.utf8 || c.badLine) continue;
        const std::string_view good = text.text.substr(0, text.text.find('\0'));
        std::u16string units(good.size(), u'\0');
        units.resize(Utf8ToUtf16(good, units.data()));
        EXPECT_EQ(units, c.decoded) << c.content;
        std::string back(3 * units.size(), '\0');
        EXPECT_EQ(back.substr(0, Utf16ToUtf8(units.data(), units.size(), back.data())), good);
    }
    // A surrogate without its partner has no UTF-8: it is written as U+FFFD.
    const std::u16string lone = u"a\xD800" u"b\xDC00";
    std::string written(12, '\0');
    EXPECT_EQ(written.substr(0, Utf16ToUtf8(lone.data(), lone.size(), written.data())),
              "a\xEF\xBF\xBD" "b\xEF\xBF\xBD");
}

}  // namespace
