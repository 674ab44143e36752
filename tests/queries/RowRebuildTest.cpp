// Server rows into result lines: stock and catalogue column orders, the location filters
// (field 11 of a stock row, field 1 of a price row, upper-cased), and the request parameter.
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <tuple>

#include "base/Text.h"
#include "queries/RowRebuild.h"

#include "NumberedRow.h"

namespace {

// The file the rows make, or the text of the index error that loses it whole.
template <class AddRow>
std::string Rebuilt(const TextList& rows, AddRow add) {
    ResultFile file;
    try {
        for (std::string_view row : rows) add(file, row);
    } catch (const ListIndexError& error) {
        return error.what();
    }
    return file.bytes();
}

TEST(RowRebuildTest, StockFileTakesItsColumnsByRowLengthAndItsRowsByLocation) {
    auto twenty = [](const std::string& location) {
        return "f0;f1;f2;f4;f16;f3;f5;f6;f8;f10;f15;;f18;" + location + ";f19\r\n";
    };
    struct Case {
        TextList rows, gestiuni;
        std::string file;
    } cases[] = {
        // clang-format off
        {{NumberedRow(16)}, {}, "f0;f1;f2;f4;f3;f5;f6;f8;f10;f15;;f11;\r\n"},
        {{NumberedRow(17)}, {}, "f0;f1;f2;f4;f16;f3;f5;f6;f8;f10;f15;;f11;\r\n"},
        {{NumberedRow(18)}, {}, "f0;f1;f2;f4;f16;f3;f5;f6;f8;f10;f15;;f11;\r\n"},
        {{NumberedRow(19)}, {}, "f0;f1;f2;f4;f16;f3;f5;f6;f8;f10;f15;;f18;f11;\r\n"},
        {{NumberedRow(20)}, {}, twenty("f11")}, {{NumberedRow(23)}, {}, twenty("f11")},
        // The empty last field disappears in the split: 19 fields, field 19 left empty.
        {{NumberedRow(19) + ";"}, {}, "f0;f1;f2;f4;f16;f3;f5;f6;f8;f10;f15;;f18;f11;\r\n"},
        {{";;;;;;;;;;;;;;;x"}, {}, ";;;;;;;;;x;;;\r\n"},  // empty fields inside the row keep their columns
        // Rows whose field 11, upper-cased, is a configured location, in list order.
        {{NumberedRow(20, "g1"), NumberedRow(20, "G2"), NumberedRow(20, "G3")}, {"G1", "G3"}, twenty("g1") + twenty("G3")},
        {{NumberedRow(20, "G2")}, {"G1"}, ""}, {{NumberedRow(20, "G1 ")}, {"G1"}, ""}, {{NumberedRow(20, "")}, {"G1"}, ""},
        {{}, {}, ""},
        // A short row names the first field it lacks and loses the whole answer, good rows too.
        {{NumberedRow(15)}, {}, "List index out of bounds (15)"}, {{"a;b;c"}, {}, "List index out of bounds (4)"},
        {{""}, {}, "List index out of bounds (0)"}, {{NumberedRow(20), NumberedRow(9)}, {}, "List index out of bounds (10)"},
        {{NumberedRow(11)}, {"G1"}, "List index out of bounds (11)"},  // the filter reads field 11 first
        // clang-format on
    };
    for (const auto& c : cases) {
        auto add = [&](ResultFile& file, std::string_view row) { file.AddStockRow(row, c.gestiuni); };
        EXPECT_EQ(Rebuilt(c.rows, add), c.file) << ::testing::PrintToString(c.rows);
    }
}

TEST(RowRebuildTest, CatalogueFileLeadsWithTheKeyOfItsKindAndTakesOptionalColumnsByRowLength) {
    const std::string internal = "f9;f0;f1;f7;f2;f3;f18;f10;f19;f4;f5",
                      external = "f0;f9;f1;f7;f2;f3;f18;f10;f19;f4;f5";
    struct Case {
        const char* kind;
        std::string row, file;
    } cases[] = {
        // clang-format off
        {"CODEXTERN", NumberedRow(20), external + ";;DA;\r\n"}, {"codextern", NumberedRow(20), external + ";;DA;\r\n"},
        {"CodExtern", NumberedRow(20), external + ";;DA;\r\n"}, {"CODINTERN", NumberedRow(20), internal + ";;DA;\r\n"},
        {"", NumberedRow(20), internal + ";;DA;\r\n"},          {"?", NumberedRow(20), internal + ";;DA;\r\n"},
        {"CODEXTERN ", NumberedRow(20), internal + ";;DA;\r\n"}, {"CODFISCAL", NumberedRow(20), internal + ";;DA;\r\n"},
        {"CODINTERN", NumberedRow(22), internal + ";f21;DA;\r\n"},
        {"CODINTERN", NumberedRow(24) + ";", internal + ";f21;DA;\r\n"},  // the ";" after field 23: 24 fields
        {"CODINTERN", NumberedRow(25), internal + ";f21;f24;\r\n"},
        {"CODINTERN", NumberedRow(26), internal + ";f21;f24;f25\r\n"},
        {"CODINTERN", NumberedRow(30), internal + ";f21;f24;f25\r\n"},
        {"CODINTERN", NumberedRow(24) + ";;f25", internal + ";f21;;f25\r\n"},  // 26 fields, field 24 empty
        {"CODINTERN", NumberedRow(19), "List index out of bounds (19)"},
        {"CODEXTERN", NumberedRow(5), "List index out of bounds (9)"},
        // clang-format on
    };
    for (const auto& c : cases) {
        auto add = [&](ResultFile& file, std::string_view row) {
            file.AddCatalogueRow(row, ExternalKeyFirst(c.kind));
        };
        EXPECT_EQ(Rebuilt({c.row}, add), c.file) << c.kind << ": " << c.row;
    }
}

TEST(RowRebuildTest, PurchasePriceFileCopiesSelectedRowsUnchanged) {
    auto add = [](ResultFile& file, std::string_view row) { file.AddPurchasePriceRow(row, {"G1"}); };
    EXPECT_EQ(Rebuilt({"A;g1;5;", "B;G2;6", "C", "D;;7", ""}, add), "A;g1;5;\r\nC\r\nD;;7\r\n\r\n");
    auto all = [](ResultFile& file, std::string_view row) { file.AddPurchasePriceRow(row, {}); };
    EXPECT_EQ(Rebuilt({"B;G2;6"}, all), "B;G2;6\r\n") << "no locations: every row";
}

TEST(RowRebuildTest, OnlyAFilledFirstLineGivesTheRequestParameter) {
    const std::tuple<const char*, int, const char*> cases[] = {
        // the content, the number, the article
        // clang-format off
        {"", 0, "qqqqqq"},        {"\r\n42\r\n", 0, "qqqqqq"},  // the value on the second line is not read
        {"\n42", 0, "qqqqqq"},    {"42\r\nA9", 42, "42"},      {"-7", -7, "-7"},  {"abc", 0, "abc"},
        {"12abc", 0, "12abc"},    {" 12", 0, " 12"},          {"A1\rB2", 0, "A1"},
        {"  A1 \r\n", 0, "  A1 "},  // the article code keeps its blanks
        {"2147483647", 2147483647, "2147483647"}, {"2147483648", 0, "2147483648"},
        // clang-format on
    };
    for (const auto& [content, number, article] : cases) {
        EXPECT_EQ(NumberParameter(content), number) << content;
        EXPECT_EQ(ArticleParameter(content), article) << content;
    }
}

}  // namespace
