// Text helpers of the stand-in server: fields, numbers and dates, free of Windows types.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace docserver {

// Cuts a line at every ";"; an empty text gives one empty field.
std::vector<std::string> SplitFields(std::string_view line);
std::string JoinFields(const std::vector<std::string>& fields);

std::string_view Trim(std::string_view text);
std::string Upper(std::string_view text);  // ASCII letters only
bool SameText(std::string_view a, std::string_view b);  // ASCII case-insensitive

// A decimal number written with "." or "," as the decimal mark, an optional "-".
std::optional<double> ParseNumber(std::string_view text);
// A whole number written in plain decimal, an optional "-".
std::optional<long> ParseWhole(std::string_view text);
// Money and prices with two decimals; quantities with at most three, zeros dropped.
std::string FormatMoney(double value);
std::string FormatQuantity(double value);
double Round2(double value);

struct Date {
    int year = 0;
    int month = 0;
    int day = 0;
};
// "DD.MM.YYYY", a real calendar day.
std::optional<Date> ParseDate(std::string_view text);
std::string FormatDate(const Date& date);
bool InMonth(std::string_view dateText, int year, int month);

}  // namespace docserver
