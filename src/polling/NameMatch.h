// Which directory entries a request row may serve, judged on their names alone.
#pragma once

#include <string>
#include <string_view>

// The long name matches the pattern, "*" standing for any run of characters (the empty
// run included), ASCII letters compared without case. The system's own search also
// matches 8.3 short names, so its answers are checked again with this.
bool MatchesPattern(std::string_view name, std::string_view pattern);

// The upper-cased name holds "ERORI.TXT": an error file, never a request.
bool IsErrorFileName(std::string_view name);

// The name a refused package is set aside under: its first ".TXT" (any case) becomes
// ".ERR"; a name without one gets ".ERR" appended.
std::string SetAsideName(std::string_view name);
