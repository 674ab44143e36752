// Conversions between the service's 8-bit texts (system ANSI code page) and wide text.
#pragma once

#include <string>
#include <string_view>

#include "base/Owners.h"

std::wstring Wide(std::string_view ansi);
std::string Ansi(std::wstring_view wide);

// Converts into buffer, which grows as needed and never shrinks, so that one buffer
// serves every row of a large answer; the view holds the text until the next use.
std::string_view Ansi(std::wstring_view wide, std::string& buffer);

// A BSTR's text, embedded NULs included; a null BSTR is the empty text.
inline std::wstring_view BstrText(BSTR text) noexcept {
    return text ? std::wstring_view(text, SysStringLen(text)) : std::wstring_view();
}

// A new BSTR holding the text; throws std::bad_alloc when there is no memory for it.
UniqueBstr MakeBstr(std::string_view ansi);
