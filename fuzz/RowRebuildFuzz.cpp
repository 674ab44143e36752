// The rows a server answers with. Input: the locations as "Gestiune=" holds them, the article key
// kind, then one server row a line.
#include <string>
#include <vector>

#include "base/Text.h"
#include "fuzz/FuzzCheck.h"
#include "queries/RowRebuild.h"

namespace {

// A short row ends the answer with ListIndexError; nothing else may leave.
template <class AddRow>
void Rebuild(const std::vector<std::string_view>& rows, AddRow addRow) {
    ResultFile file;
    try {
        for (std::string_view row : rows) addRow(file, row);
    } catch (const ListIndexError&) {
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text = AsText(data, size);
    std::vector<std::string_view> rows = TextLineViews(text);
    if (rows.size() < 2) rows.resize(2);
    std::vector<std::string> gestiuni;
    SplitList(UpperAscii(rows[0]), ';', gestiuni);
    const bool externalKeyFirst = ExternalKeyFirst(rows[1]);
    rows.erase(rows.begin(), rows.begin() + 2);
    for (std::string_view row : rows) {
        // Joined, the pieces give the row back but for a trailing empty one the split drops.
        std::vector<std::string> pieces;
        std::vector<std::string_view> views;
        SplitList(row, ';', pieces);
        SplitList(row, ';', views);
        std::string joined;
        for (const std::string& piece : pieces) joined += piece + ";";
        FUZZ_CHECK(joined == row || joined == std::string(row) + ";");
        FUZZ_CHECK(std::vector<std::string>(views.begin(), views.end()) == pieces);
    }
    Rebuild(rows, [&](ResultFile& file, std::string_view row) { file.AddStockRow(row, gestiuni); });
    Rebuild(rows, [](ResultFile& file, std::string_view row) { file.AddStockRow(row, {}); });
    Rebuild(rows,
            [&](ResultFile& file, std::string_view row) { file.AddCatalogueRow(row, externalKeyFirst); });
    ResultFile prices;
    for (std::string_view row : rows) prices.AddPurchasePriceRow(row, gestiuni);
    NumberParameter(text);
    FUZZ_CHECK(!ArticleParameter(text).empty());
    return 0;
}
