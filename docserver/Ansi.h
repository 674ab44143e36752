// Conversions between the server's 8-bit text (the system ANSI code page) and COM's wide text.
#pragma once

#include <string>
#include <string_view>

namespace docserver {

std::wstring ToWide(std::string_view text);
std::string ToAnsi(std::wstring_view text);

}  // namespace docserver
