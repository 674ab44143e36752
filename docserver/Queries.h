// The query lists: every row the server hands out, built from the company's tables.
#pragma once

#include "Context.h"

#include <string>
#include <vector>

namespace docserver {

enum class QueryKind {
    Stock, PurchasePrices, Catalogue, PriceCategories, Locations, Partners, OnlineInvoices, CashIns,
    ArticleStock, OrderReceipts, DayReceipts, Balances
};

// Error codes of the query methods.
inline constexpr long QueryOk = 0;
inline constexpr long QueryNoMonth = 1;      // no company or no working month selected
inline constexpr long QueryBadArgument = 2;  // unknown article or partner, day outside the month

struct QueryResult {
    long errorCode = QueryOk;
    std::vector<std::string> rows;
    std::vector<std::string> errors;
};

// `argument` is the article code, the order or day number, or the balance selector.
QueryResult RunQuery(QueryKind kind, const WorkContext& context, std::string_view argument);

}  // namespace docserver
