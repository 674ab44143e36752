// Text across the COM boundary: BSTRs and text lists.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <string>
#include <vector>

#include "base/AnsiText.h"
#include "base/Owners.h"

namespace docserver {

// The server keeps its text as UTF-8, whatever its caller's encoding, so that wide text comes
// back exactly as it was given.
inline std::string FromBstr(BSTR text) { return Narrow(BstrText(text), TextEncoding::Utf8); }
inline std::wstring ToWide(std::string_view text) { return Wide(text, TextEncoding::Utf8); }
// The text elements of a one-dimensional VT_BSTR or VT_VARIANT array; anything else gives none.
std::vector<std::string> FromList(const VARIANT& list);
// Fills a variant with a VT_ARRAY|VT_BSTR of the lines, bounds 0..n-1.
HRESULT ToList(const std::vector<std::string>& lines, VARIANT* list);

}  // namespace docserver
