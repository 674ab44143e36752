// Text of the stand-in server: fields, rows and tables, numbers and dates, free of Windows types.
#pragma once

#include <cmath>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace docserver {

using Row = std::vector<std::string>;
using Table = std::vector<Row>;
using Tables = std::map<std::string, Table>;  // by file name

// Cuts a line at every ";"; an empty text gives one empty field.
Row SplitFields(std::string_view line);
std::string JoinFields(const Row& fields);
// One row a line, CR LF line ends; blank lines are skipped.
Table ParseTable(std::string_view text);
std::string FormatTable(const Table& table);

std::string_view Trim(std::string_view text);
std::string Upper(std::string_view text);  // ASCII letters only
inline bool SameText(std::string_view a, std::string_view b) {
    return a.size() == b.size() && Upper(a) == Upper(b);
}

// A decimal number with "." or "," as the mark and an optional "-"; a plain whole number.
std::optional<double> ParseNumber(std::string_view text);
std::optional<long> ParseWhole(std::string_view text);
// Money with two decimals; quantities with at most three, trailing zeros dropped.
std::string FormatMoney(double value);
std::string FormatQuantity(double value);
inline double Round2(double value) { return std::round(value * 100.0) / 100.0; }

// The field, or an empty text when a hand-edited row is short.
inline const std::string& Field(const Row& row, size_t column) {
    static const std::string empty;
    return column < row.size() ? row[column] : empty;
}
inline double NumberField(const Row& row, size_t column) {
    return ParseNumber(Field(row, column)).value_or(0.0);
}
// The first row whose column equals the key (ASCII case-insensitive); an empty key names none.
template <class T>  // Table or const Table
auto FindRow(T& table, size_t column, std::string_view key) -> decltype(&table.front()) {
    for (auto& row : table) {
        if (!key.empty() && SameText(Field(row, column), key)) return &row;
    }
    return nullptr;
}

struct Date {
    int year = 0;
    int month = 0;
    int day = 0;
};
// "DD.MM.YYYY", a real calendar day.
std::optional<Date> ParseDate(std::string_view text);
std::string FormatDate(const Date& date);
inline bool InMonth(std::string_view dateText, int year, int month) {
    const auto date = ParseDate(dateText);
    return date && date->year == year && date->month == month;
}

}  // namespace docserver
