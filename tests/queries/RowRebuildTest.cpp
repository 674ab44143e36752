// Server rows into result lines: stock and catalogue column orders, the location
// filters, and the request parameter.
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "base/Text.h"
#include "queries/RowRebuild.h"

#include "NumberedRow.h"

namespace {

using Rows = std::vector<std::string_view>;

std::string StockFile(const Rows& rows, const TextList& gestiuni) {
    ResultFile file;
    for (std::string_view row : rows) file.AddStockRow(row, gestiuni);
    return file.bytes();
}

std::string PurchasePriceFile(const Rows& rows, const TextList& gestiuni) {
    ResultFile file;
    for (std::string_view row : rows) file.AddPurchasePriceRow(row, gestiuni);
    return file.bytes();
}

std::string IndexErrorText(const auto& build) {
    try {
        build();
    } catch (const ListIndexError& error) {
        return error.what();
    }
    return "no error";
}

TEST(StockRowTest, RebuildsEveryRowLengthColumnByColumn) {
    struct Case {
        std::string row;
        std::string line;
    } cases[] = {
        {NumberedRow(16), "f0;f1;f2;f4;f3;f5;f6;f8;f10;f15;;f11;"},
        {NumberedRow(17), "f0;f1;f2;f4;f16;f3;f5;f6;f8;f10;f15;;f11;"},
        {NumberedRow(18), "f0;f1;f2;f4;f16;f3;f5;f6;f8;f10;f15;;f11;"},
        {NumberedRow(19), "f0;f1;f2;f4;f16;f3;f5;f6;f8;f10;f15;;f18;f11;"},
        {NumberedRow(20), "f0;f1;f2;f4;f16;f3;f5;f6;f8;f10;f15;;f18;f11;f19"},
        {NumberedRow(23), "f0;f1;f2;f4;f16;f3;f5;f6;f8;f10;f15;;f18;f11;f19"},
        // The empty last field disappears in the split: 19 fields, field 19 left empty.
        {NumberedRow(19) + ";", "f0;f1;f2;f4;f16;f3;f5;f6;f8;f10;f15;;f18;f11;"},
        // Empty fields inside the row keep their columns.
        {";;;;;;;;;;;;;;;x", ";;;;;;;;;x;;;"},
    };
    for (const auto& c : cases) EXPECT_EQ(StockFile({c.row}, {}), c.line + "\r\n") << c.row;
}

TEST(StockRowTest, ShortRowNamesTheFirstFieldItLacks) {
    EXPECT_EQ(IndexErrorText([] { StockFile({NumberedRow(15)}, {}); }), "List index out of bounds (15)");
    EXPECT_EQ(IndexErrorText([] { StockFile({"a;b;c"}, {}); }), "List index out of bounds (4)");
    EXPECT_EQ(IndexErrorText([] { StockFile({""}, {}); }), "List index out of bounds (0)");
    // One short row loses the whole answer, even after good rows.
    EXPECT_EQ(IndexErrorText([] {
                  StockFile({NumberedRow(20), NumberedRow(9)}, {});
              }),
              "List index out of bounds (10)");
    // With locations configured the filter reads field 11 first.
    EXPECT_EQ(IndexErrorText([] { StockFile({NumberedRow(11)}, {"G1"}); }), "List index out of bounds (11)");
}

TEST(StockRowTest, FilterComparesFieldElevenUpperCased) {
    const TextList one{"G1"}, two{"G1", "G2"};
    struct Case {
        Fields fields;
        TextList gestiuni;
        bool selected;
    } cases[] = {
        {{}, {}, true},  // no locations: the fields are not looked at
        {{"a", "b", "c", "d", "e", "f", "g", "h", "i", "j", "k", "g1"}, one, true},
        {{"a", "b", "c", "d", "e", "f", "g", "h", "i", "j", "k", "G1"}, one, true},
        {{"a", "b", "c", "d", "e", "f", "g", "h", "i", "j", "k", "G2"}, one, false},
        {{"a", "b", "c", "d", "e", "f", "g", "h", "i", "j", "k", "g2"}, two, true},
        {{"a", "b", "c", "d", "e", "f", "g", "h", "i", "j", "k", "G1 "}, one, false},
        {{"a", "b", "c", "d", "e", "f", "g", "h", "i", "j", "k", ""}, one, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(StockRowSelected(c.fields, c.gestiuni), c.selected) << c.fields.size();
}

TEST(StockRowTest, FileKeepsSelectedRowsInListOrder) {
    auto at = [](const std::string& location) { return NumberedRow(20, location); };
    EXPECT_EQ(StockFile({at("g1"), at("G2"), at("G3")}, {"G1", "G3"}),
              "f0;f1;f2;f4;f16;f3;f5;f6;f8;f10;f15;;f18;g1;f19\r\n"
              "f0;f1;f2;f4;f16;f3;f5;f6;f8;f10;f15;;f18;G3;f19\r\n");
    EXPECT_EQ(StockFile({at("G2")}, {"G1"}), "");
    EXPECT_EQ(StockFile({}, {}), "");
}

TEST(PriceRowTest, RowWithoutUsableLocationIsAlwaysSelected) {
    const TextList one{"G1"};
    struct Case {
        Fields fields;
        TextList gestiuni;
        bool selected;
    } cases[] = {
        {{}, one, true},          {{"A"}, one, true},
        {{"A", ""}, one, true},   {{"A", "", "x"}, one, true},
        {{"A", "g1"}, one, true}, {{"A", "G2"}, one, false},
        {{"A", "G2"}, {}, true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PriceRowSelected(c.fields, c.gestiuni), c.selected) << c.fields.size();
}

TEST(PriceRowTest, FileCopiesSelectedRowsUnchanged) {
    EXPECT_EQ(PurchasePriceFile({"A;g1;5;", "B;G2;6", "C", "D;;7", ""}, {"G1"}),
              "A;g1;5;\r\nC\r\nD;;7\r\n\r\n");
}

std::string CatalogueFile(const Rows& rows, const std::string& kind) {
    ResultFile file;
    for (std::string_view row : rows) file.AddCatalogueRow(row, ExternalKeyFirst(kind));
    return file.bytes();
}

std::string CatalogueLine(const std::string& row, const std::string& kind) {
    return CatalogueFile({row}, kind);
}

TEST(CatalogueRowTest, ExternalKindPutsFieldZeroFirst) {
    const std::string twenty = "f9;f0;f1;f7;f2;f3;f18;f10;f19;f4;f5;;DA;\r\n";
    const std::string external = "f0;f9;f1;f7;f2;f3;f18;f10;f19;f4;f5;;DA;\r\n";
    for (const char* kind : {"CODEXTERN", "codextern", "CodExtern"})
        EXPECT_EQ(CatalogueLine(NumberedRow(20), kind), external) << kind;
    for (const char* kind : {"CODINTERN", "", "?", "CODEXTERN ", "CODFISCAL"})
        EXPECT_EQ(CatalogueLine(NumberedRow(20), kind), twenty) << kind;
}

TEST(CatalogueRowTest, OptionalColumnsFollowTheFieldCount) {
    std::string with24Empty = NumberedRow(24) + ";;f25";  // 26 fields, field 24 empty
    struct Case {
        std::string row;
        std::string tail;
    } cases[] = {
        {NumberedRow(20), ";;DA;"},          {NumberedRow(22), ";f21;DA;"},
        {NumberedRow(24) + ";", ";f21;DA;"},  // ends with the ";" after field 23: 24 fields
        {NumberedRow(25), ";f21;f24;"},      {NumberedRow(26), ";f21;f24;f25"},
        {NumberedRow(30), ";f21;f24;f25"},   {with24Empty, ";f21;;f25"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CatalogueLine(c.row, "CODINTERN"), "f9;f0;f1;f7;f2;f3;f18;f10;f19;f4;f5" + c.tail + "\r\n")
            << c.row;
}

TEST(CatalogueRowTest, RowOfFewerThanTwentyFieldsIsAnIndexError) {
    EXPECT_EQ(IndexErrorText([] { CatalogueFile({NumberedRow(19)}, "CODINTERN"); }),
              "List index out of bounds (19)");
    EXPECT_EQ(IndexErrorText([] { CatalogueFile({NumberedRow(5)}, "CODEXTERN"); }),
              "List index out of bounds (9)");
}

TEST(RequestParameterTest, OnlyAFilledFirstLineCounts) {
    struct Case {
        const char* content;
        int number;
        const char* article;
    } cases[] = {
        {"", 0, "qqqqqq"},
        {"\r\n42\r\n", 0, "qqqqqq"},  // the value on the second line is not read
        {"\n42", 0, "qqqqqq"},
        {"42\r\nA9", 42, "42"},
        {"-7", -7, "-7"},
        {"abc", 0, "abc"},
        {"12abc", 0, "12abc"},
        {" 12", 0, " 12"},
        {"  A1 \r\n", 0, "  A1 "},  // the article code keeps its blanks
        {"2147483647", 2147483647, "2147483647"},
        {"2147483648", 0, "2147483648"},
        {"A1\rB2", 0, "A1"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(NumberParameter(c.content), c.number) << c.content;
        EXPECT_EQ(ArticleParameter(c.content), c.article) << c.content;
    }
}

}  // namespace
