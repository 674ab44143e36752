// Server rows for the query tests.
#pragma once

#include <string>

// "f0;f1;...;f(n-1)", but for the location in field 11.
inline std::string NumberedRow(size_t count, const std::string& location = "f11") {
    std::string row;
    for (size_t i = 0; i < count; ++i) {
        if (i > 0) row += ';';
        row += i == 11 ? location : std::string(1, 'f').append(std::to_string(i));
    }
    return row;
}
