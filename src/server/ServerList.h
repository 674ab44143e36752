// Lists that cross the COM boundary: one-dimensional safe arrays of text.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <string>
#include <string_view>
#include <vector>

#include "base/AnsiText.h"
#include "base/Text.h"

#include "base/Owners.h"

struct ServerList {
    bool isArray = false;  // false: the variant held no array, so no lines
    LONG lowerBound = 0;
    LONG upperBound = -1;
    TextList lines;  // elements from lower to upper bound, as 8-bit text
};

// Reads a list the server returned: VT_ARRAY|VT_BSTR, or VT_ARRAY|VT_VARIANT whose
// elements are converted to text. Any other variant is "no lines".
ServerList ReadServerList(const VARIANT& list);

// Takes a list's elements one at a time, as they are read.
class ServerListRows {
public:
    // Before the first row: how many follow and their texts' length in UTF-16 units
    // (text elements only), which sizes a buffer for them all.
    virtual void Begin(size_t count, size_t wideLength) = 0;
    // Each element's text, in order; it lives until Row returns.
    virtual void Row(std::string_view text) = 0;

protected:
    ~ServerListRows() = default;
};

// Reads the same list, handing each element to rows instead of keeping it (lines stays
// empty): a large answer is never held as one string per row.
ServerList ReadServerList(const VARIANT& list, ServerListRows& rows);

// Builds the list the service sends: VT_ARRAY|VT_BSTR with bounds 0..n-1, each line's wide
// text read in the given encoding.
UniqueVariant MakeServerList(const std::vector<std::string_view>& lines);
UniqueVariant MakeServerList(const std::vector<std::string_view>& lines, TextEncoding encoding);
