// Numbers, dates and fields as the server reads and writes them.
#include "Text.h"

#include <gtest/gtest.h>

namespace docserver {
namespace {

TEST(Text, NumbersAcceptOneDecimalMarkOfEitherKind) {
    const struct {
        const char* text;
        std::optional<double> value;
    } cases[] = {
        {"12", 12.0},
        {"12.5", 12.5},
        {"12,5", 12.5},
        {" 3 ", 3.0},
        {"-2.25", -2.25},
        {"0", 0.0},
        {"", std::nullopt},
        {"abc", std::nullopt},
        {"1.2.3", std::nullopt},
        {"1,2.3", std::nullopt},
        {"1e5", std::nullopt},
        {"2-", std::nullopt},
        {"+4", std::nullopt},
        {".", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(ParseNumber(c.text), c.value) << c.text;
}

TEST(Text, DatesMustBeRealCalendarDaysWrittenDdMmYyyy) {
    const struct {
        const char* text;
        bool valid;
    } cases[] = {
        {"15.06.2025", true},  {"29.02.2024", true},  {"29.02.2025", false},
        {"31.04.2025", false}, {"00.06.2025", false}, {"15.13.2025", false},
        {"1.6.2025", false},   {"15-06-2025", false}, {"", false},
    };
    for (const auto& c : cases) EXPECT_EQ(ParseDate(c.text).has_value(), c.valid) << c.text;
    EXPECT_TRUE(InMonth("30.06.2025", 2025, 6));
    EXPECT_FALSE(InMonth("01.07.2025", 2025, 6));
    EXPECT_EQ(FormatDate({2025, 6, 3}), "03.06.2025");
}

TEST(Text, QuantitiesDropTrailingZerosAndMoneyKeepsTwoDecimals) {
    EXPECT_EQ(FormatQuantity(2.0), "2");
    EXPECT_EQ(FormatQuantity(2.5), "2.5");
    EXPECT_EQ(FormatQuantity(0.125), "0.125");
    EXPECT_EQ(FormatQuantity(-0.0001), "0");
    EXPECT_EQ(FormatMoney(15.5), "15.50");
    EXPECT_EQ(FormatMoney(-0.001), "0.00");
}

TEST(Text, FieldsKeepEmptyPiecesAndTablesSkipBlankLines) {
    EXPECT_EQ(SplitFields("a;;b;"), (std::vector<std::string>{"a", "", "b", ""}));
    EXPECT_EQ(SplitFields(";"), (std::vector<std::string>{"", ""}));
    const Table table = ParseTable("a;b\r\n\r\nc;d\n  \nlast");
    ASSERT_EQ(table.size(), 3u);
    EXPECT_EQ(table[1], (Row{"c", "d"}));
    EXPECT_EQ(FormatTable(table), "a;b\r\nc;d\r\nlast\r\n");
    EXPECT_EQ(Field(table[2], 5), "");
}

}  // namespace
}  // namespace docserver
