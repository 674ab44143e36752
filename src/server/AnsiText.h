// Conversions between the service's 8-bit texts (system ANSI code page) and wide text.
#pragma once

#include <string>
#include <string_view>

#include "server/ComOwners.h"

std::wstring Wide(std::string_view ansi);
std::string Ansi(std::wstring_view wide);
UniqueBstr MakeBstr(std::string_view ansi);

// Converts into buffer, which grows as needed and never shrinks, so that one buffer
// serves every row of a large answer; the view holds the text until the next use.
std::string_view AnsiInto(std::wstring_view wide, std::string& buffer);
