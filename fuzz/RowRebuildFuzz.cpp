// Fuzzes the rows a server answers with: the list split, the stock, catalogue and price rebuilds
// with their filters, and a request file's parameter. Input: the locations (as "Gestiune=" holds
// them), then the article key kind, then one server row a line.
#include <algorithm>
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
    rows.resize(std::max<size_t>(rows.size(), 2));
    std::vector<std::string> gestiuni;
    SplitList(UpperAscii(rows[0]), ';', gestiuni);
    const bool externalKeyFirst = ExternalKeyFirst(rows[1]);
    rows.erase(rows.begin(), rows.begin() + 2);
    for (std::string_view row : rows) {
        // The pieces joined give the row back, but for the trailing empty one the split drops;
        // as views they are the same pieces.
        std::vector<std::string> pieces;
        SplitList(row, ';', pieces);
        std::string joined;
        for (size_t i = 0; i < pieces.size(); ++i) joined += (i > 0 ? ";" : "") + pieces[i];
        FUZZ_CHECK(joined == row || joined + ";" == row);
        std::vector<std::string_view> views;
        SplitList(row, ';', views);
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
