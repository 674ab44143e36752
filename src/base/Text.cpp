// Text helpers shared by every subsystem: ASCII case rules, list and line splitting.
#include "base/Text.h"

#include <cstdint>
#include <limits>

namespace {

char UpperChar(char c) { return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c; }

int DigitValue(char c, int base) {
    int value = 99;
    if (c >= '0' && c <= '9')
        value = c - '0';
    else if (c >= 'a' && c <= 'f')
        value = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F')
        value = c - 'A' + 10;
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

// Pieces are found by a plain loop: most fields of a server row are a few bytes long,
// shorter than a library search pays off for.
template <class Piece>
void SplitInto(std::string_view text, char separator, std::vector<Piece>& list) {
    const char* const end = text.data() + text.size();
    const char* start = text.data();
    for (const char* at = start; at != end; ++at) {
        if (*at != separator) continue;
        list.emplace_back(start, size_t(at - start));
        start = at + 1;
    }
    if (start != end) list.emplace_back(start, size_t(end - start));
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

void SplitList(std::string_view text, char separator, TextList& list) { SplitInto(text, separator, list); }

void SplitList(std::string_view text, char separator, std::vector<std::string_view>& list) {
    SplitInto(text, separator, list);
}

std::vector<std::string_view> TextLineViews(std::string_view content) {
    content = content.substr(0, content.find('\0'));
    std::vector<std::string_view> lines;
    const char* const end = content.data() + content.size();
    const char* start = content.data();
    while (start != end) {
        const char* at = start;
        while (at != end && *at != '\r' && *at != '\n') ++at;
        lines.emplace_back(start, size_t(at - start));
        if (at == end) break;
        start = at + 1;
        if (*at == '\r' && start != end && *start == '\n') ++start;
    }
    return lines;
}

TextList SplitTextLines(std::string_view content) {
    const std::vector<std::string_view> lines = TextLineViews(content);
    return {lines.begin(), lines.end()};
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

std::string JoinLines(const TextList& lines) {
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
