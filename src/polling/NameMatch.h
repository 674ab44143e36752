// Which directory entries a request row may serve, judged on their names alone. Names come
// as the directory gives them (wide); patterns and fixed names are ASCII.
#pragma once

#include <string>
#include <string_view>

// The long name matches the pattern, "*" standing for any run of characters (the empty
// run included), ASCII letters compared without case. The system's own search also
// matches 8.3 short names, so its answers are checked again with this.
bool MatchesPattern(std::wstring_view name, std::string_view pattern);

// The name is the ASCII text given, or ends in it, ASCII letters compared without case.
bool NameIs(std::wstring_view name, std::string_view ascii);
bool NameEndsWith(std::wstring_view name, std::string_view ascii);

// The upper-cased name holds "ERORI.TXT": an error file, never a request.
bool IsErrorFileName(std::wstring_view name);

// The name a refused package is set aside under: its first ".TXT" (any case) becomes
// ".ERR"; a name without one gets ".ERR" appended.
std::wstring SetAsideName(std::wstring_view name);

// The name with its ASCII letters upper-cased, as a key that ignores their case.
std::wstring UpperAscii(std::wstring_view name);
