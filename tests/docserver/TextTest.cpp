// Numbers, dates and fields as the server reads and writes them.
#include "Text.h"

#include <gtest/gtest.h>

namespace docserver {
namespace {

TEST(Text, NumbersAcceptOneDecimalMarkOfEitherKind) {
    const std::pair<const char*, double> numbers[] = {{"12", 12.0}, {"12.5", 12.5},   {"12,5", 12.5},
                                                      {" 3 ", 3.0}, {"-2.25", -2.25}, {"0", 0.0}};
    for (const auto& [text, value] : numbers) EXPECT_EQ(ParseNumber(text), value) << text;
    for (const char* text : {"", "abc", "1.2.3", "1,2.3", "1e5", "2-", "+4", "."})
        EXPECT_EQ(ParseNumber(text), std::nullopt) << text;
}

TEST(Text, DatesMustBeRealCalendarDaysWrittenDdMmYyyy) {
    for (const char* text : {"15.06.2025", "29.02.2024"}) EXPECT_TRUE(ParseDate(text)) << text;
    for (const char* text :
         {"29.02.2025", "31.04.2025", "00.06.2025", "15.13.2025", "1.6.2025", "15-06-2025", ""})
        EXPECT_FALSE(ParseDate(text)) << text;
    EXPECT_TRUE(InMonth("30.06.2025", 2025, 6));
    EXPECT_FALSE(InMonth("01.07.2025", 2025, 6));
    EXPECT_EQ(FormatDate({2025, 6, 3}), "03.06.2025");
}

TEST(Text, QuantitiesDropTrailingZerosAndMoneyKeepsTwoDecimals) {
    const struct {
        double value;
        const char *quantity, *money;
    } cases[] = {{2.0, "2", "2.00"},     {2.5, "2.5", "2.50"},    {0.125, "0.125", "0.12"},
                 {-0.0001, "0", "0.00"}, {15.5, "15.5", "15.50"}, {-0.001, "-0.001", "0.00"}};
    for (const auto& c : cases) {
        EXPECT_EQ(FormatQuantity(c.value), c.quantity) << c.value;
        EXPECT_EQ(FormatMoney(c.value), c.money) << c.value;
    }
}

TEST(Text, FieldsKeepEmptyPiecesAndTablesSkipBlankLines) {
    EXPECT_EQ(SplitFields("a;;b;"), (Row{"a", "", "b", ""}));
    EXPECT_EQ(SplitFields(";"), (Row{"", ""}));
    const Table table = ParseTable("a;b\r\n\r\nc;d\n  \nlast");
    ASSERT_EQ(table.size(), 3u);
    EXPECT_EQ(table[1], (Row{"c", "d"}));
    EXPECT_EQ(FormatTable(table), "a;b\r\nc;d\r\nlast\r\n");
    EXPECT_EQ(Field(table[2], 5), "");
}

}  // namespace
}  // namespace docserver
