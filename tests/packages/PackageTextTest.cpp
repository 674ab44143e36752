// A package's lines and its header's working month.
#include <gtest/gtest.h>

#include "base/Text.h"
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

}  // namespace
