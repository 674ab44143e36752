// Which directory entries a request row may serve, judged on their names alone.
#include "polling/NameMatch.h"

#include "base/Text.h"

bool MatchesPattern(std::string_view name, std::string_view pattern) {
    // Greedy matching with one step back to the last "*": linear in practice, and
    // never recursive, whatever names the directory holds.
    size_t n = 0, p = 0;
    size_t starAt = std::string_view::npos, resumeAt = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starAt = p++;
            resumeAt = n;
        } else if (p < pattern.size() && EqualsNoCase(name.substr(n, 1), pattern.substr(p, 1))) {
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

bool IsErrorFileName(std::string_view name) {
    return UpperAscii(name).find("ERORI.TXT") != std::string::npos;
}

std::string SetAsideName(std::string_view name) {
    std::string result(name);
    size_t at = FindNoCase(name, ".TXT");
    if (at == std::string_view::npos) return result + ".ERR";
    return result.replace(at, 4, ".ERR");
}
