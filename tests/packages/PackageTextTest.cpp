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

// Strict UTF-8: the line of the first bad bytes, else the exact UTF-16 and back.
TEST(PackageTextTest, Utf8IsCheckedStrictlyAndDecodedExactly) {
    const std::pair<std::string, size_t> bad[] = {
        {"A\rB\r\n\nC\xAA", 4},  // lines end at CR, CR LF and LF
        {"A\0\xFF"s, 0},         // the content at NUL
        {"\xC1\xBF", 1},         // overlong
        {"\xE0\x9F\xBF", 1},
        {"\xF0\x8F\xBF\xBF", 1},
        {"\xED\xBF\xBF", 1},      // a surrogate
        {"\xF4\x90\x80\x80", 1},  // past U+10FFFF
        {"\x80", 1},              // a follower alone
        {"A\n\xE2\x82", 2},       // cut short
        {"\xE2\x82\x41", 1},
    };
    for (const auto& [content, line] : bad)
        EXPECT_EQ(PackageLines("\xEF\xBB\xBF" + content).badLine(), line) << content;
    std::u16string units(9, u'\0');
    units.resize(Utf8ToUtf16("\xC8\x98\xE2\x82\xAC\xF0\x9F\x98\x80", units.data()));
    EXPECT_EQ(units, u"\u0218\u20AC\U0001F600");
    std::string lone(3, '\0');  // a surrogate alone has no UTF-8: U+FFFD
    Utf16ToUtf8(u"\xD800", 1, lone.data());
    EXPECT_EQ(lone, "\xEF\xBF\xBD");
}

}  // namespace
