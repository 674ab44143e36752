// Which directory entries a request row may serve, judged on their names alone.
#include "polling/NameMatch.h"

namespace {

template <class Char>
Char Upper(Char c) {
    return c >= Char('a') && c <= Char('z') ? Char(c - ('a' - 'A')) : c;
}

// One character of a name against one of an ASCII text: a letter of either case.
template <class Char>
bool Same(Char n, char a) {
    return Upper(n) == Char(Upper(static_cast<unsigned char>(a)));
}

template <class Char>
bool Equal(std::basic_string_view<Char> name, std::string_view ascii) {
    if (name.size() != ascii.size()) return false;
    for (size_t i = 0; i < name.size(); ++i)
        if (!Same(name[i], ascii[i])) return false;
    return true;
}

template <class Char>
size_t Find(std::basic_string_view<Char> name, std::string_view ascii) {
    for (size_t at = 0; at + ascii.size() <= name.size(); ++at)
        if (Equal(name.substr(at, ascii.size()), ascii)) return at;
    return std::basic_string_view<Char>::npos;
}

template <class Char>
bool Matches(std::basic_string_view<Char> name, std::string_view pattern) {
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

template <class Char>
std::basic_string<Char> SetAside(std::basic_string_view<Char> name) {
    std::basic_string<Char> result(name);
    const size_t at = Find(name, ".TXT");
    const Char err[] = {Char('.'), Char('E'), Char('R'), Char('R'), Char(0)};
    if (at == std::basic_string_view<Char>::npos) return result + err;
    return result.replace(at, 4, err);
}

}  // namespace

bool MatchesPattern(std::string_view name, std::string_view pattern) { return Matches(name, pattern); }
bool MatchesPattern(std::wstring_view name, std::string_view pattern) { return Matches(name, pattern); }

bool NameIs(std::wstring_view name, std::string_view ascii) { return Equal(name, ascii); }

bool NameEndsWith(std::wstring_view name, std::string_view ascii) {
    return name.size() >= ascii.size() && Equal(name.substr(name.size() - ascii.size()), ascii);
}

bool IsErrorFileName(std::string_view name) { return Find(name, "ERORI.TXT") != std::string_view::npos; }
bool IsErrorFileName(std::wstring_view name) { return Find(name, "ERORI.TXT") != std::wstring_view::npos; }

std::string SetAsideName(std::string_view name) { return SetAside(name); }
std::wstring SetAsideName(std::wstring_view name) { return SetAside(name); }

std::wstring UpperAscii(std::wstring_view name) {
    std::wstring upper(name);
    for (wchar_t& c : upper) c = Upper(c);
    return upper;
}
