// Conversions between the service's 8-bit texts and wide text. The service's texts are in
// the system's ANSI code page, or in UTF-8 when the settings say that the files are
// ("CodificareFisiere=UTF8"): one encoding for every text the service holds, set once at
// start-up before any is read, so that a log line never mixes the two.
#pragma once

#include <string>
#include <string_view>

#include "base/Owners.h"

enum class TextEncoding { Ansi, Utf8 };

void SetServiceEncoding(TextEncoding encoding) noexcept;
TextEncoding ServiceEncoding() noexcept;

// From and to the service's encoding, or the one given.
std::wstring Wide(std::string_view text);
std::wstring Wide(std::string_view text, TextEncoding encoding);
std::string Ansi(std::wstring_view wide);
std::string Narrow(std::wstring_view wide, TextEncoding encoding);

// Converts into buffer, which grows as needed and never shrinks, so that one buffer
// serves every row of a large answer; the view holds the text until the next use.
std::string_view Ansi(std::wstring_view wide, std::string& buffer);

// Text in the given encoding brought to the service's (the settings file's values, which
// are ANSI, or a file with a mark under ANSI); a letter ANSI lacks becomes its closest.
std::string ServiceText(std::string_view text, TextEncoding encoding);

// A BSTR's text, embedded NULs included; a null BSTR is the empty text.
inline std::wstring_view BstrText(BSTR text) noexcept {
    return text ? std::wstring_view(text, SysStringLen(text)) : std::wstring_view();
}

// A new BSTR holding the text; throws std::bad_alloc when there is no memory for it.
UniqueBstr MakeBstr(std::string_view text);
UniqueBstr MakeBstr(std::string_view text, TextEncoding encoding);
