// Text of the stand-in server: fields, rows and tables, numbers and dates.
#include "Text.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace docserver {

Row SplitFields(std::string_view line) {
    Row fields;
    for (size_t end; (end = line.find(';')) != std::string_view::npos; line.remove_prefix(end + 1))
        fields.emplace_back(line.substr(0, end));
    fields.emplace_back(line);
    return fields;
}

std::string JoinFields(const Row& fields) {
    std::string line;
    for (size_t i = 0; i < fields.size(); ++i) line.append(i > 0 ? ";" : "").append(fields[i]);
    return line;
}

Table ParseTable(std::string_view text) {
    Table table;
    for (size_t end = 0; !text.empty(); text.remove_prefix(std::min(end + 1, text.size()))) {
        end = std::min(text.find_first_of("\r\n"), text.size());
        if (!Trim(text.substr(0, end)).empty()) table.push_back(SplitFields(text.substr(0, end)));
    }
    return table;
}

std::string FormatTable(const Table& table) {
    std::string text;
    for (const Row& row : table) text += JoinFields(row) + "\r\n";
    return text;
}

std::string_view Trim(std::string_view text) {
    const size_t first = text.find_first_not_of(" \t");
    return first == std::string_view::npos ? std::string_view()
                                           : text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::string Upper(std::string_view text) {
    std::string result(text);
    for (char& c : result) c = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
    return result;
}

std::optional<double> ParseNumber(std::string_view text) {
    std::string plain(Trim(text));
    std::replace(plain.begin(), plain.end(), ',', '.');
    if (plain.empty() || plain.find_first_not_of("0123456789.", 1) != std::string::npos ||
        plain.find_first_not_of("-0123456789.") == 0 || std::count(plain.begin(), plain.end(), '.') > 1)
        return std::nullopt;
    double value = 0;
    const auto [end, error] = std::from_chars(plain.data(), plain.data() + plain.size(), value);
    if (error != std::errc() || end != plain.data() + plain.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<long> ParseWhole(std::string_view text) {
    long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

static std::string Fixed(double value, int decimals) {
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    std::string text(buffer, result.ptr);
    return text.find_first_not_of("-0.") == std::string::npos && text[0] == '-' ? text.substr(1)
                                                                                : text;  // no "-0.00"
}

std::string FormatMoney(double value) { return Fixed(value, 2); }

std::string FormatQuantity(double value) {
    std::string text = Fixed(value, 3);
    text.erase(text.find_last_not_of('0') + 1);
    if (text.back() == '.') text.pop_back();
    return text;
}

static long DaysInMonth(long year, long month) {
    if (month == 2) return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0 ? 29 : 28;
    return month == 4 || month == 6 || month == 9 || month == 11 ? 30 : 31;
}

std::optional<Date> ParseDate(std::string_view text) {
    if (text.size() != 10 || text[2] != '.' || text[5] != '.') return std::nullopt;
    const auto day = ParseWhole(text.substr(0, 2)), month = ParseWhole(text.substr(3, 2)),
               year = ParseWhole(text.substr(6));
    if (!day || !month || !year || *month < 1 || *month > 12 || *year < 1900 || *day < 1 ||
        *day > DaysInMonth(*year, *month))
        return std::nullopt;
    return Date{static_cast<int>(*year), static_cast<int>(*month), static_cast<int>(*day)};
}

std::string FormatDate(const Date& date) {
    std::string text = std::to_string(100 + date.day).substr(1);
    return text + "." + std::to_string(100 + date.month).substr(1) + "." + std::to_string(date.year);
}

}  // namespace docserver
