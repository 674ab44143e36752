// Server rows into result lines, and the request parameter.
#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "base/Text.h"
#include "queries/RowRebuild.h"

#include "NumberedRow.h"

namespace {

// The file, or the index error that loses it whole.
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

// A short row names the first field it lacks and loses the whole answer.
TEST(RowRebuildTest, StockFileTakesItsColumnsByRowLengthAndItsRowsByLocation) {
    const std::string twenty = "f0;f1;f2;f4;f16;f3;f5;f6;f8;f10;f15;;f18;";
    struct Case {
        TextList rows, gestiuni;
        std::string file;
    } cases[] = {
        // clang-format off
        {{NumberedRow(16)}, {}, "f0;f1;f2;f4;f3;f5;f6;f8;f10;f15;;f11;\r\n"},
        {{NumberedRow(17)}, {}, "f0;f1;f2;f4;f16;f3;f5;f6;f8;f10;f15;;f11;\r\n"},
        {{NumberedRow(18)}, {}, "f0;f1;f2;f4;f16;f3;f5;f6;f8;f10;f15;;f11;\r\n"},
        {{NumberedRow(19)}, {}, twenty + "f11;\r\n"},
        {{NumberedRow(19) + ";"}, {}, twenty + "f11;\r\n"},  // empty last field dropped
        {{NumberedRow(20)}, {}, twenty + "f11;f19\r\n"},
        {{NumberedRow(23)}, {}, twenty + "f11;f19\r\n"},
        {{";;;;;;;;;;;;;;;x"}, {}, ";;;;;;;;;x;;;\r\n"},  // inner empty fields kept
        {{NumberedRow(20, "g1"), NumberedRow(20, "G2"), NumberedRow(20, "G3")}, {"G1", "G3"},
         twenty + "g1;f19\r\n" + twenty + "G3;f19\r\n"},
        {{NumberedRow(20, "G2")}, {"G1"}, ""},
        {{NumberedRow(20, "G1 ")}, {"G1"}, ""},
        {{NumberedRow(20, "")}, {"G1"}, ""},
        {{}, {}, ""},
        {{NumberedRow(15)}, {}, "List index out of bounds (15)"},
        {{"a;b;c"}, {}, "List index out of bounds (4)"},
        {{""}, {}, "List index out of bounds (0)"},
        {{NumberedRow(20), NumberedRow(9)}, {}, "List index out of bounds (10)"},
        {{NumberedRow(11)}, {"G1"}, "List index out of bounds (11)"},  // filter reads field 11
        // clang-format on
    };
    for (const auto& c : cases) {
        auto add = [&](ResultFile& file, std::string_view row) { file.AddStockRow(row, c.gestiuni); };
        EXPECT_EQ(Rebuilt(c.rows, add), c.file) << ::testing::PrintToString(c.rows);
    }
}

TEST(RowRebuildTest, CatalogueFileTakesOptionalColumnsByRowLength) {
    const std::string internal = "f9;f0;f1;f7;f2;f3;f18;f10;f19;f4;f5";
    struct Case {
        std::string row, file;
    } cases[] = {
        {NumberedRow(20), internal + ";;DA;\r\n"},
        {NumberedRow(22), internal + ";f21;DA;\r\n"},
        {NumberedRow(24) + ";", internal + ";f21;DA;\r\n"},  // 24 fields
        {NumberedRow(25), internal + ";f21;f24;\r\n"},
        {NumberedRow(26), internal + ";f21;f24;f25\r\n"},
        {NumberedRow(30), internal + ";f21;f24;f25\r\n"},
        {NumberedRow(24) + ";;f25", internal + ";f21;;f25\r\n"},  // field 24 empty
        {NumberedRow(19), "List index out of bounds (19)"},
    };
    for (const auto& c : cases) {
        auto add = [&](ResultFile& file, std::string_view row) { file.AddCatalogueRow(row, false); };
        EXPECT_EQ(Rebuilt({c.row}, add), c.file) << c.row;
    }
}

// Only "CODEXTERN", in any case, puts the external key first.
TEST(RowRebuildTest, CatalogueFileLeadsWithTheKeyOfItsKind) {
    const std::pair<const char*, bool> kinds[] = {
        // clang-format off
        {"CODEXTERN", true},
        {"codextern", true},
        {"CodExtern", true},
        {"CODINTERN", false},
        {"", false},
        {"?", false},
        {"CODEXTERN ", false},
        {"CODFISCAL", false},
        // clang-format on
    };
    for (const auto& [kind, external] : kinds) EXPECT_EQ(ExternalKeyFirst(kind), external) << kind;
    auto external = [](ResultFile& file, std::string_view row) { file.AddCatalogueRow(row, true); };
    EXPECT_EQ(Rebuilt({NumberedRow(5)}, external), "List index out of bounds (9)");
}

TEST(RowRebuildTest, PurchasePriceFileCopiesSelectedRowsUnchanged) {
    auto add = [](ResultFile& file, std::string_view row) { file.AddPurchasePriceRow(row, {"G1"}); };
    EXPECT_EQ(Rebuilt({"A;g1;5;", "B;G2;6", "C", "D;;7", ""}, add), "A;g1;5;\r\nC\r\nD;;7\r\n\r\n");
    auto all = [](ResultFile& file, std::string_view row) { file.AddPurchasePriceRow(row, {}); };
    EXPECT_EQ(Rebuilt({"B;G2;6"}, all), "B;G2;6\r\n");  // no locations: every row
}

// Only the first line counts; the article code keeps its blanks.
TEST(RowRebuildTest, OnlyAFilledFirstLineGivesTheRequestParameter) {
    struct Case {
        const char* content;
        int number;
        const char* article;
    } cases[] = {
        {"", 0, "qqqqqq"},
        {"\r\n42\r\n", 0, "qqqqqq"},
        {"\n42", 0, "qqqqqq"},
        {"42\r\nA9", 42, "42"},
        {"-7", -7, "-7"},
        {"abc", 0, "abc"},
        {"12abc", 0, "12abc"},
        {" 12", 0, " 12"},
        {"A1\rB2", 0, "A1"},
        {"  A1 \r\n", 0, "  A1 "},
        {"2147483647", 2147483647, "2147483647"},
        {"2147483648", 0, "2147483648"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(NumberParameter(c.content), c.number) << c.content;
        EXPECT_EQ(ArticleParameter(c.content), c.article) << c.content;
    }
}

}  // namespace
