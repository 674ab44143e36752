// Fuzzes the rows a server answers with: the list split, the stock and catalogue
// rebuilds with their location filters, and a request file's parameter.
// Input: the first line configures the locations (as "Gestiune=" would), the second
// the article key kind; every further line is one server row.
#include <string>
#include <vector>

#include "base/Text.h"
#include "fuzz/FuzzCheck.h"
#include "queries/RowRebuild.h"

namespace {

// The pieces joined by the separator give the text back, but for the one trailing
// empty piece the split drops; pieces as views are the same pieces.
void CheckSplit(std::string_view text) {
    std::vector<std::string> pieces;
    SplitList(text, ';', pieces);
    std::string joined;
    for (size_t i = 0; i < pieces.size(); ++i) {
        if (i > 0) joined += ';';
        joined += pieces[i];
    }
    FUZZ_CHECK(joined == text || joined + ";" == text);
    std::vector<std::string_view> views;
    SplitList(text, ';', views);
    FUZZ_CHECK(std::vector<std::string>(views.begin(), views.end()) == pieces);
}

// A short row ends the query with ListIndexError; nothing else may leave.
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
    std::vector<std::string> gestiuni;
    std::string_view articleIdKind;
    if (!rows.empty()) {
        SplitList(UpperAscii(rows.front()), ';', gestiuni);
        rows.erase(rows.begin());
    }
    if (!rows.empty()) {
        articleIdKind = rows.front();
        rows.erase(rows.begin());
    }
    for (std::string_view row : rows) CheckSplit(row);
    Rebuild(rows, [&](ResultFile& file, std::string_view row) { file.AddStockRow(row, gestiuni); });
    Rebuild(rows, [](ResultFile& file, std::string_view row) { file.AddStockRow(row, {}); });
    const bool externalKeyFirst = ExternalKeyFirst(articleIdKind);
    Rebuild(rows,
            [&](ResultFile& file, std::string_view row) { file.AddCatalogueRow(row, externalKeyFirst); });
    ResultFile prices;
    for (std::string_view row : rows) prices.AddPurchasePriceRow(row, gestiuni);
    NumberParameter(text);
    const std::string article = ArticleParameter(text);
    FUZZ_CHECK(!article.empty());
    return 0;
}
