// Turning server rows into result lines: the stock and catalogue column orders, the
// location filters, and the parameter a request file's first line carries.
#include "queries/RowRebuild.h"

#include <algorithm>

#include "base/Text.h"

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

bool NamesAConfiguredLocation(std::string_view field, const TextList& gestiuni) {
    return std::any_of(gestiuni.begin(), gestiuni.end(),
                       [field](const std::string& code) { return UpperEquals(field, code); });
}

// Writes one line onto the end of a result file, by pointer into room made for it
// beforehand: a row's fields are a few bytes each, and a library call per field cost
// more than the bytes (a 100,000-row answer has two million fields).
class LineWriter {
public:
    // Room for every field, a separator before each, the line end and a default column.
    LineWriter(std::string& out, const Fields& fields) : out_(out), start_(out.size()) {
        size_t room = 2 * fields.size() + 4;
        for (std::string_view field : fields) room += field.size();
        out.resize(start_ + room);
        at_ = out.data() + start_;
    }
    // A line cut short by a short row leaves nothing behind.
    ~LineWriter() { out_.resize(finished_ ? size_t(at_ - out_.data()) : start_); }
    LineWriter(const LineWriter&) = delete;
    LineWriter& operator=(const LineWriter&) = delete;

    void Text(std::string_view text) {
        for (char c : text) *at_++ = c;
    }
    void Column(std::string_view text) {
        *at_++ = kSeparator;
        Text(text);
    }
    void Finish() {
        Text(kLineEnd);
        finished_ = true;
    }

private:
    std::string& out_;
    size_t start_;
    char* at_;
    bool finished_ = false;
};

// Request files are a line or two, so splitting all of it costs nothing.
std::string_view FirstLine(std::string_view content) {
    const std::vector<std::string_view> lines = TextLineViews(content);
    return lines.empty() ? std::string_view() : lines.front();
}

}  // namespace

ListIndexError::ListIndexError(size_t index)
    : std::out_of_range("List index out of bounds (" + std::to_string(index) + ")") {}

std::string_view FieldAt(const Fields& fields, size_t index) {
    if (index >= fields.size()) throw ListIndexError(index);
    return fields[index];
}

bool StockRowSelected(const Fields& fields, const TextList& gestiuni) {
    return gestiuni.empty() || NamesAConfiguredLocation(FieldAt(fields, 11), gestiuni);
}

bool PriceRowSelected(const Fields& fields, const TextList& gestiuni) {
    return fields.size() < 2 || fields[1].empty() || gestiuni.empty() ||
           NamesAConfiguredLocation(fields[1], gestiuni);
}

void AppendStockRow(const Fields& fields, std::string& out) {
    const size_t n = fields.size();
    LineWriter line(out, fields);
    // Fields are read in the order written, so a short row names the first one it lacks.
    line.Text(FieldAt(fields, 0));
    for (size_t index : {1, 2, 4}) line.Column(FieldAt(fields, index));
    if (n > 16) line.Column(fields[16]);
    for (size_t index : {3, 5, 6, 8, 10, 15}) line.Column(FieldAt(fields, index));
    line.Column({});  // the always-empty column after field 15
    if (n > 18) line.Column(fields[18]);
    line.Column(FieldAt(fields, 11));
    line.Column(n > 19 ? fields[19] : std::string_view());
    line.Finish();
}

void AppendCatalogueRow(const Fields& fields, bool externalKeyFirst, std::string& out) {
    const size_t n = fields.size();
    LineWriter line(out, fields);
    const std::string_view internalKey = FieldAt(fields, 9);
    const std::string_view externalKey = FieldAt(fields, 0);
    line.Text(externalKeyFirst ? externalKey : internalKey);
    line.Column(externalKeyFirst ? internalKey : externalKey);
    for (size_t index : {1, 7, 2, 3, 18, 10, 19, 4, 5}) line.Column(FieldAt(fields, index));
    line.Column(n > 21 ? fields[21] : std::string_view());
    line.Column(n > 24 ? fields[24] : std::string_view("DA"));
    line.Column(n > 25 ? fields[25] : std::string_view());
    line.Finish();
}

bool ExternalKeyFirst(std::string_view articleIdKind) { return EqualsNoCase(articleIdKind, "CODEXTERN"); }

const Fields& ResultFile::Split(std::string_view row) {
    fields_.clear();
    SplitList(row, kSeparator, fields_);
    return fields_;
}

void ResultFile::AddStockRow(std::string_view row, const TextList& gestiuni) {
    const Fields& fields = Split(row);
    if (StockRowSelected(fields, gestiuni)) AppendStockRow(fields, bytes_);
}

void ResultFile::AddPurchasePriceRow(std::string_view row, const TextList& gestiuni) {
    if (PriceRowSelected(Split(row), gestiuni)) AddUnchangedRow(row);
}

void ResultFile::AddCatalogueRow(std::string_view row, bool externalKeyFirst) {
    AppendCatalogueRow(Split(row), externalKeyFirst, bytes_);
}

void ResultFile::AddUnchangedRow(std::string_view row) {
    bytes_ += row;
    bytes_ += kLineEnd;
}

int NumberParameter(std::string_view requestContent) {
    const std::string_view line = FirstLine(requestContent);
    return line.empty() ? 0 : ParseDecimal(line, 0);
}

std::string ArticleParameter(std::string_view requestContent) {
    const std::string_view line = FirstLine(requestContent);
    return line.empty() ? std::string("qqqqqq") : std::string(line);
}
