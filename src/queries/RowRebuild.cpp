// Turning server rows into result lines: the stock and catalogue column orders, the
// location filters, and the parameter a request file's first line carries.
#include "queries/RowRebuild.h"

#include <algorithm>
#include <utility>

#include "app/Text.h"

namespace {

constexpr char kSeparator = ';';
constexpr std::string_view kLineEnd = "\r\n";

// field upper-cased (a-z only) equals code, without building the upper-cased copy:
// this runs once per stock row.
bool UpperEquals(std::string_view field, std::string_view code) {
    if (field.size() != code.size()) return false;
    for (size_t i = 0; i < field.size(); ++i) {
        char c = field[i];
        if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
        if (c != code[i]) return false;
    }
    return true;
}

bool NamesAConfiguredLocation(std::string_view field, const std::vector<std::string>& gestiuni) {
    return std::any_of(gestiuni.begin(), gestiuni.end(),
                       [field](const std::string& code) { return UpperEquals(field, code); });
}

void AppendColumn(std::string& out, std::string_view text) {
    out += kSeparator;
    out += text;
}

size_t TotalSize(const std::vector<std::string>& rows) {
    size_t size = 0;
    for (const auto& row : rows) size += row.size();
    return size;
}

// Splits every row into one reused field list and hands it to addRow.
template <class AddRow>
std::string BuildFile(const std::vector<std::string>& rows, size_t extraPerRow, AddRow addRow) {
    std::string out;
    out.reserve(TotalSize(rows) + rows.size() * extraPerRow);
    Fields fields;
    for (const auto& row : rows) {
        fields.clear();
        SplitList(row, kSeparator, fields);
        addRow(row, fields, out);
    }
    return out;
}

// Request files are a line or two, so splitting all of it costs nothing.
std::string FirstLine(std::string_view content) {
    std::vector<std::string> lines = SplitTextLines(content);
    return lines.empty() ? std::string() : std::move(lines.front());
}

}  // namespace

ListIndexError::ListIndexError(size_t index)
    : std::out_of_range("List index out of bounds (" + std::to_string(index) + ")") {}

const std::string& FieldAt(const Fields& fields, size_t index) {
    if (index >= fields.size()) throw ListIndexError(index);
    return fields[index];
}

bool StockRowSelected(const Fields& fields, const std::vector<std::string>& gestiuni) {
    return gestiuni.empty() || NamesAConfiguredLocation(FieldAt(fields, 11), gestiuni);
}

bool PriceRowSelected(const Fields& fields, const std::vector<std::string>& gestiuni) {
    return fields.size() < 2 || fields[1].empty() || gestiuni.empty() ||
           NamesAConfiguredLocation(fields[1], gestiuni);
}

void AppendStockRow(const Fields& fields, std::string& out) {
    const size_t n = fields.size();
    // Fields are read in the order written, so a short row names the first one it lacks.
    out += FieldAt(fields, 0);
    for (size_t index : {1, 2, 4}) AppendColumn(out, FieldAt(fields, index));
    if (n > 16) AppendColumn(out, fields[16]);
    for (size_t index : {3, 5, 6, 8, 10, 15}) AppendColumn(out, FieldAt(fields, index));
    out += kSeparator;  // with the next separator: the always-empty column after field 15
    if (n > 18) AppendColumn(out, fields[18]);
    AppendColumn(out, FieldAt(fields, 11));
    AppendColumn(out, n > 19 ? std::string_view(fields[19]) : std::string_view());
    out += kLineEnd;
}

void AppendCatalogueRow(const Fields& fields, bool externalKeyFirst, std::string& out) {
    const size_t n = fields.size();
    const std::string& internalKey = FieldAt(fields, 9);
    const std::string& externalKey = FieldAt(fields, 0);
    out += externalKeyFirst ? externalKey : internalKey;
    AppendColumn(out, externalKeyFirst ? internalKey : externalKey);
    for (size_t index : {1, 7, 2, 3, 18, 10, 19, 4, 5}) AppendColumn(out, FieldAt(fields, index));
    AppendColumn(out, n > 21 ? std::string_view(fields[21]) : std::string_view());
    AppendColumn(out, n > 24 ? std::string_view(fields[24]) : std::string_view("DA"));
    AppendColumn(out, n > 25 ? std::string_view(fields[25]) : std::string_view());
    out += kLineEnd;
}

std::string StockFile(const std::vector<std::string>& rows, const std::vector<std::string>& gestiuni) {
    // A rebuilt row drops fields but adds at most four separators and the line end.
    return BuildFile(rows, 6, [&](const std::string&, const Fields& fields, std::string& out) {
        if (StockRowSelected(fields, gestiuni)) AppendStockRow(fields, out);
    });
}

std::string PurchasePriceFile(const std::vector<std::string>& rows, const std::vector<std::string>& gestiuni) {
    return BuildFile(rows, kLineEnd.size(), [&](const std::string& row, const Fields& fields, std::string& out) {
        if (!PriceRowSelected(fields, gestiuni)) return;
        out += row;
        out += kLineEnd;
    });
}

std::string CatalogueFile(const std::vector<std::string>& rows, std::string_view articleIdKind) {
    const bool externalKeyFirst = UpperAscii(articleIdKind) == "CODEXTERN";
    return BuildFile(rows, 8, [&](const std::string&, const Fields& fields, std::string& out) {
        AppendCatalogueRow(fields, externalKeyFirst, out);
    });
}

int NumberParameter(std::string_view requestContent) {
    std::string line = FirstLine(requestContent);
    return line.empty() ? 0 : ParseDecimal(line, 0);
}

std::string ArticleParameter(std::string_view requestContent) {
    std::string line = FirstLine(requestContent);
    return line.empty() ? std::string("qqqqqq") : line;
}
