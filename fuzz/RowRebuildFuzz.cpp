// Fuzzes the rows a server answers with: the list split, the stock and catalogue
// rebuilds with their location filters, and a request file's parameter.
// Input: the first line configures the locations (as "Gestiune=" would), the second
// the article key kind; every further line is one server row.
#include <string>
#include <vector>

#include "app/Text.h"
#include "fuzz/FuzzCheck.h"
#include "queries/RowRebuild.h"

namespace {

// The pieces joined by the separator give the text back, but for the one trailing
// empty piece the split drops.
void CheckSplit(std::string_view text) {
    std::vector<std::string> pieces;
    SplitList(text, ';', pieces);
    std::string joined;
    for (size_t i = 0; i < pieces.size(); ++i) {
        if (i > 0) joined += ';';
        joined += pieces[i];
    }
    FUZZ_CHECK(joined == text || joined + ";" == text);
}

// A short row ends the query with ListIndexError; nothing else may leave.
template <class Build>
void Rebuild(Build build) {
    try {
        build();
    } catch (const ListIndexError&) {
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text = AsText(data, size);
    std::vector<std::string> rows = SplitTextLines(text);
    std::vector<std::string> gestiuni;
    std::string articleIdKind;
    if (!rows.empty()) {
        SplitList(UpperAscii(rows.front()), ';', gestiuni);
        rows.erase(rows.begin());
    }
    if (!rows.empty()) {
        articleIdKind = rows.front();
        rows.erase(rows.begin());
    }
    for (const std::string& row : rows) CheckSplit(row);
    Rebuild([&] { StockFile(rows, gestiuni); });
    Rebuild([&] { StockFile(rows, {}); });
    Rebuild([&] { CatalogueFile(rows, articleIdKind); });
    PurchasePriceFile(rows, gestiuni);
    NumberParameter(text);
    const std::string article = ArticleParameter(text);
    FUZZ_CHECK(!article.empty());
    return 0;
}
