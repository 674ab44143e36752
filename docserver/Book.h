// The operations on a company's tables: document packages, master-data records and queries.
#pragma once

#include "Store.h"

namespace docserver {

struct PackageOutcome {
    std::vector<std::string> errors;  // empty when the documents were written
    long documents = 0;
};
// Checks the whole package; only when nothing is wrong does it append the documents to the
// kind's table and move stock for invoices.
PackageOutcome ApplyPackage(DocKind kind, const std::vector<std::string>& lines, const WorkContext& context,
                            Tables& tables);

// Each checks a record and changes `tables` only when it returns no errors.
std::vector<std::string> AddPartnerRecord(std::string_view record, const WorkContext& context,
                                          Tables& tables);
std::vector<std::string> ModifyPartnerRecord(std::string_view record, const WorkContext& context,
                                             Tables& tables);
std::vector<std::string> AddArticleRecord(std::string_view record, const WorkContext& context,
                                          Tables& tables);
bool ValidFiscalCode(std::string_view code);  // 2 to 13 digits, optionally behind "RO"

enum class QueryKind {
    Stock,
    PurchasePrices,
    Catalogue,
    PriceCategories,
    Locations,
    Partners,
    OnlineInvoices,
    CashIns,
    ArticleStock,
    OrderReceipts,
    DayReceipts,
    Balances
};
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
