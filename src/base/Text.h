// Text helpers shared by every subsystem: ASCII case rules, list and line splitting.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// A list of texts: lines, fields, location codes.
using TextList = std::vector<std::string>;

// Upper-cases the ASCII letters a to z only; every other byte stays as it is.
std::string UpperAscii(std::string_view text);

// True when the two texts are equal, ignoring the case of a-z only.
bool EqualsNoCase(std::string_view a, std::string_view b);

// Position of the first occurrence of needle in text, ignoring the case of a-z;
// std::string_view::npos when there is none.
size_t FindNoCase(std::string_view text, std::string_view needle);

// Appends the pieces of text between separators to list (which it does not empty).
// A trailing empty piece is dropped: "A;" gives A, ";A" gives "" and A. The views are
// for a large answer's rows: its pieces stay in the row's text.
void SplitList(std::string_view text, char separator, TextList& list);
void SplitList(std::string_view text, char separator, std::vector<std::string_view>& list);

// Splits file content into lines: a line ends at CR LF, CR or LF, the last line needs
// no line end, and the first NUL byte ends the content. The views stay in content,
// which a large package needs: one copy of its bytes, whatever its number of lines.
std::vector<std::string_view> TextLineViews(std::string_view content);
TextList SplitTextLines(std::string_view content);

// Reads a whole text as a signed 32-bit integer: leading blanks, an optional sign and
// decimal digits, or hexadecimal digits after "$" or "0x". Anything else gives fallback.
int ParseInteger(std::string_view text, int fallback = 0);

// Reads plain decimal: an optional "-" and digits only, within 32 bits; else fallback.
int ParseDecimal(std::string_view text, int fallback = 0);

// Joins lines, each followed by CR LF.
std::string JoinLines(const TextList& lines);
