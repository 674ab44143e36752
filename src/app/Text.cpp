// Text helpers shared by every subsystem: ASCII case rules, list and line splitting.
#include "app/Text.h"

#include <cstdint>
#include <limits>

namespace {

char UpperChar(char c) { return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c; }

int DigitValue(char c, int base) {
    int value = 99;
    if (c >= '0' && c <= '9') value = c - '0';
    else if (c >= 'a' && c <= 'f') value = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F') value = c - 'A' + 10;
    return value < base ? value : -1;
}

// Reads digits of the given base up to the end; false on any other character or overflow.
bool ReadDigits(std::string_view digits, int base, bool negative, int& result) {
    if (digits.empty()) return false;
    const int64_t limit = negative ? -int64_t(std::numeric_limits<int32_t>::min())
                                   : int64_t(std::numeric_limits<int32_t>::max());
    int64_t value = 0;
    for (char c : digits) {
        int digit = DigitValue(c, base);
        if (digit < 0) return false;
        value = value * base + digit;
        if (value > limit) return false;
    }
    result = int(negative ? -value : value);
    return true;
}

}  // namespace

std::string UpperAscii(std::string_view text) {
    std::string result(text);
    for (char& c : result) c = UpperChar(c);
    return result;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (UpperChar(a[i]) != UpperChar(b[i])) return false;
    return true;
}

size_t FindNoCase(std::string_view text, std::string_view needle) {
    if (needle.size() > text.size()) return std::string_view::npos;
    for (size_t i = 0; i + needle.size() <= text.size(); ++i)
        if (EqualsNoCase(text.substr(i, needle.size()), needle)) return i;
    return std::string_view::npos;
}

void SplitList(std::string_view text, char separator, std::vector<std::string>& list) {
    size_t start = 0;
    for (size_t at = text.find(separator); at != std::string_view::npos;
         at = text.find(separator, start)) {
        list.emplace_back(text.substr(start, at - start));
        start = at + 1;
    }
    if (start < text.size()) list.emplace_back(text.substr(start));
}

std::vector<std::string> SplitTextLines(std::string_view content) {
    content = content.substr(0, content.find('\0'));
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < content.size()) {
        size_t end = content.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            lines.emplace_back(content.substr(start));
            break;
        }
        lines.emplace_back(content.substr(start, end - start));
        start = end + 1;
        if (content[end] == '\r' && start < content.size() && content[start] == '\n') ++start;
    }
    return lines;
}

int ParseInteger(std::string_view text, int fallback) {
    size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    std::string_view rest = text.substr(i);
    int base = 10;
    if (!rest.empty() && rest[0] == '$') {
        base = 16;
        rest.remove_prefix(1);
    } else if (rest.size() >= 2 && rest[0] == '0' && (rest[1] == 'x' || rest[1] == 'X')) {
        base = 16;
        rest.remove_prefix(2);
    }
    int result = 0;
    return ReadDigits(rest, base, negative, result) ? result : fallback;
}

int ParseDecimal(std::string_view text, int fallback) {
    bool negative = !text.empty() && text[0] == '-';
    if (negative) text.remove_prefix(1);
    int result = 0;
    return ReadDigits(text, 10, negative, result) ? result : fallback;
}

std::string JoinLines(const std::vector<std::string>& lines) {
    size_t size = 0;
    for (const auto& line : lines) size += line.size() + 2;
    std::string text;
    text.reserve(size);
    for (const auto& line : lines) {
        text += line;
        text += "\r\n";
    }
    return text;
}
