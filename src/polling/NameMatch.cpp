// Which directory entries a request row may serve, judged on their names alone.
#include "polling/NameMatch.h"

namespace {

wchar_t Upper(wchar_t c) { return c >= L'a' && c <= L'z' ? wchar_t(c - (L'a' - L'A')) : c; }

// One character of a name against one of an ASCII text: a letter of either case.
bool Same(wchar_t n, char a) { return Upper(n) == Upper(wchar_t(static_cast<unsigned char>(a))); }

bool Equal(std::wstring_view name, std::string_view ascii) {
    if (name.size() != ascii.size()) return false;
    for (size_t i = 0; i < name.size(); ++i)
        if (!Same(name[i], ascii[i])) return false;
    return true;
}

size_t Find(std::wstring_view name, std::string_view ascii) {
    for (size_t at = 0; at + ascii.size() <= name.size(); ++at)
        if (Equal(name.substr(at, ascii.size()), ascii)) return at;
    return std::wstring_view::npos;
}

}  // namespace

bool MatchesPattern(std::wstring_view name, std::string_view pattern) {
    // Greedy matching with one step back to the last "*": linear in practice, and
    // never recursive, whatever names the directory holds.
    size_t n = 0, p = 0;
    size_t starAt = std::string_view::npos, resumeAt = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starAt = p++;
            resumeAt = n;
        } else if (p < pattern.size() && Same(name[n], pattern[p])) {
            ++n;
            ++p;
        } else if (starAt != std::string_view::npos) {
            p = starAt + 1;
            n = ++resumeAt;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

bool NameIs(std::wstring_view name, std::string_view ascii) { return Equal(name, ascii); }

bool NameEndsWith(std::wstring_view name, std::string_view ascii) {
    return name.size() >= ascii.size() && Equal(name.substr(name.size() - ascii.size()), ascii);
}

bool IsErrorFileName(std::wstring_view name) { return Find(name, "ERORI.TXT") != std::wstring_view::npos; }

std::wstring SetAsideName(std::wstring_view name) {
    std::wstring result(name);
    const size_t at = Find(name, ".TXT");
    if (at == std::wstring_view::npos) return result + L".ERR";
    return result.replace(at, 4, L".ERR");
}

std::wstring UpperAscii(std::wstring_view name) {
    std::wstring upper(name);
    for (wchar_t& c : upper) c = Upper(c);
    return upper;
}
