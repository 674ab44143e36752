// Text helpers of the stand-in server: fields, numbers and dates.
#include "Text.h"

#include <charconv>
#include <cmath>

namespace docserver {

std::vector<std::string> SplitFields(std::string_view line)
{
    std::vector<std::string> fields;
    size_t start = 0;
    for (;;) {
        const size_t end = line.find(';', start);
        if (end == std::string_view::npos) {
            fields.emplace_back(line.substr(start));
            return fields;
        }
        fields.emplace_back(line.substr(start, end - start));
        start = end + 1;
    }
}

std::string JoinFields(const std::vector<std::string>& fields)
{
    std::string line;
    for (size_t i = 0; i < fields.size(); ++i) {
        if (i > 0)
            line += ';';
        line += fields[i];
    }
    return line;
}

std::string_view Trim(std::string_view text)
{
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

static char UpperChar(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

std::string Upper(std::string_view text)
{
    std::string result(text);
    for (char& c : result)
        c = UpperChar(c);
    return result;
}

bool SameText(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (UpperChar(a[i]) != UpperChar(b[i]))
            return false;
    }
    return true;
}

std::optional<double> ParseNumber(std::string_view text)
{
    std::string plain(Trim(text));
    bool seenMark = false;
    for (size_t i = 0; i < plain.size(); ++i) {
        char& c = plain[i];
        if (c == ',' || c == '.') {
            if (seenMark)
                return std::nullopt;
            seenMark = true;
            c = '.';
        } else if (!(c >= '0' && c <= '9') && !(c == '-' && i == 0)) {
            return std::nullopt;
        }
    }
    double value = 0;
    const auto [end, error] = std::from_chars(plain.data(), plain.data() + plain.size(), value);
    if (plain.empty() || error != std::errc() || end != plain.data() + plain.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<long> ParseWhole(std::string_view text)
{
    long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

double Round2(double value)
{
    return std::round(value * 100.0) / 100.0;
}

static std::string Fixed(double value, int decimals)
{
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    std::string text(buffer, result.ptr);
    return text == "-0.00" || text == "-0.000" ? text.substr(1) : text;
}

std::string FormatMoney(double value)
{
    return Fixed(value, 2);
}

std::string FormatQuantity(double value)
{
    std::string text = Fixed(value, 3);
    while (text.back() == '0')
        text.pop_back();
    if (text.back() == '.')
        text.pop_back();
    return text;
}

static int DaysInMonth(int year, int month)
{
    static constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : days[month - 1];
}

std::optional<Date> ParseDate(std::string_view text)
{
    if (text.size() != 10 || text[2] != '.' || text[5] != '.')
        return std::nullopt;
    const auto day = ParseWhole(text.substr(0, 2));
    const auto month = ParseWhole(text.substr(3, 2));
    const auto year = ParseWhole(text.substr(6, 4));
    if (!day || !month || !year || *month < 1 || *month > 12 || *year < 1900 || *day < 1)
        return std::nullopt;
    const Date date{static_cast<int>(*year), static_cast<int>(*month), static_cast<int>(*day)};
    if (date.day > DaysInMonth(date.year, date.month))
        return std::nullopt;
    return date;
}

static std::string TwoDigits(int value)
{
    return std::string(1, static_cast<char>('0' + value / 10)) + static_cast<char>('0' + value % 10);
}

std::string FormatDate(const Date& date)
{
    return TwoDigits(date.day) + "." + TwoDigits(date.month) + "." + std::to_string(date.year);
}

bool InMonth(std::string_view dateText, int year, int month)
{
    const auto date = ParseDate(dateText);
    return date && date->year == year && date->month == month;
}

}  // namespace docserver
