// Turning server rows into result lines: the stock and catalogue column orders, the
// location filters, and the parameter a request file's first line carries.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

using Fields = std::vector<std::string>;

// A row had fewer fields than the position read: "List index out of bounds (11)".
class ListIndexError : public std::out_of_range {
public:
    explicit ListIndexError(size_t index);
};

// The field at index; ListIndexError when the row is shorter.
const std::string& FieldAt(const Fields& fields, size_t index);

// A stock row goes into STOCURI.TXT when no locations are configured, or when its
// field 11, upper-cased, is one of them.
bool StockRowSelected(const Fields& fields, const std::vector<std::string>& gestiuni);

// A purchase-price row goes out when it names no location in field 1, or when no
// locations are configured, or when field 1, upper-cased, is one of them.
bool PriceRowSelected(const Fields& fields, const std::vector<std::string>& gestiuni);

// Appends the 16..20+ field stock row in its STOCURI.TXT column order, and CR LF.
void AppendStockRow(const Fields& fields, std::string& out);

// Appends the catalogue row as the 14 columns of INFOART.TXT, and CR LF; the external
// key leads when externalKeyFirst, else the internal one.
void AppendCatalogueRow(const Fields& fields, bool externalKeyFirst, std::string& out);

// Whole result files, each line ended by CR LF.
std::string StockFile(const std::vector<std::string>& rows, const std::vector<std::string>& gestiuni);
std::string PurchasePriceFile(const std::vector<std::string>& rows, const std::vector<std::string>& gestiuni);
std::string CatalogueFile(const std::vector<std::string>& rows, std::string_view articleIdKind);

// The parameters of the three parameter queries: the request file's first line only,
// the default when the file is empty or that line is.
int NumberParameter(std::string_view requestContent);            // default 0
std::string ArticleParameter(std::string_view requestContent);   // default "qqqqqq", kept untrimmed
