// Turning server rows into result lines: the stock and catalogue column orders, the
// location filters, and the parameter a request file's first line carries.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/Text.h"

// A row's fields, as views into the row's text.
using Fields = std::vector<std::string_view>;

// A row had fewer fields than the position read: "List index out of bounds (11)".
class ListIndexError : public std::out_of_range {
public:
    explicit ListIndexError(size_t index);
};

// The field at index; ListIndexError when the row is shorter.
std::string_view FieldAt(const Fields& fields, size_t index);

// A stock row goes into STOCURI.TXT when no locations are configured, or when its
// field 11, upper-cased, is one of them.
bool StockRowSelected(const Fields& fields, const TextList& gestiuni);

// A purchase-price row goes out when it names no location in field 1, or when no
// locations are configured, or when field 1, upper-cased, is one of them.
bool PriceRowSelected(const Fields& fields, const TextList& gestiuni);

// Appends the 16..20+ field stock row in its STOCURI.TXT column order, and CR LF.
void AppendStockRow(const Fields& fields, std::string& out);

// Appends the catalogue row as the 14 columns of INFOART.TXT, and CR LF; the external
// key leads when externalKeyFirst, else the internal one.
void AppendCatalogueRow(const Fields& fields, bool externalKeyFirst, std::string& out);

// The catalogue's external key leads when the article key kind is "CODEXTERN" (any case).
bool ExternalKeyFirst(std::string_view articleIdKind);

// A result file built from server rows handed over one at a time, every line ended by
// CR LF, all in one buffer: a row is split into views over its own text, in a field list
// reused from row to row, so a large answer costs no allocation per row.
class ResultFile {
public:
    ResultFile() = default;
    // Built in the buffer of an earlier file: its bytes go, its room stays.
    explicit ResultFile(std::string buffer) : bytes_(std::move(buffer)) { bytes_.clear(); }
    // The buffer, for the next file.
    std::string TakeBytes() { return std::move(bytes_); }

    // Room for count rows of size bytes in all, so that a large answer's file is built
    // in place; no layout adds more than 8 bytes to a row.
    void Reserve(size_t count, size_t size) { bytes_.reserve(size + 8 * count); }

    void AddStockRow(std::string_view row, const TextList& gestiuni);
    void AddPurchasePriceRow(std::string_view row, const TextList& gestiuni);
    void AddCatalogueRow(std::string_view row, bool externalKeyFirst);
    void AddUnchangedRow(std::string_view row);

    const std::string& bytes() const { return bytes_; }

private:
    const Fields& Split(std::string_view row);

    std::string bytes_;
    Fields fields_;
};

// The parameters of the three parameter queries: the request file's first line only,
// the default when the file is empty or that line is.
int NumberParameter(std::string_view requestContent);           // default 0
std::string ArticleParameter(std::string_view requestContent);  // default "qqqqqq", kept untrimmed
