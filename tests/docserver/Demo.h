// What the tests of the stand-in server expect: changes to the tables, error lines and rows, package lines.
#pragma once

#include "Book.h"

#include <algorithm>
#include <sstream>

namespace docserver {

// What a change did: "-FILE n: row" for the row that was at place n, "+FILE n: row" for the one there now.
inline std::string Changes(const Tables& before, const Tables& after) {
    std::string text;
    for (const auto& [file, rows] : after) {
        const Table& old = before.at(file);
        for (size_t i = 0; i < std::max(old.size(), rows.size()); ++i) {
            if (i < old.size() && i < rows.size() && old[i] == rows[i]) continue;
            const std::string place = file + " " + std::to_string(i) + ": ";
            if (i < old.size()) text += "-" + place + JoinFields(old[i]) + "\n";
            if (i < rows.size()) text += "+" + place + JoinFields(rows[i]) + "\n";
        }
    }
    return text;
}

// The pieces of a text cut at `separator` ("" has none).
inline std::vector<std::string> Lines(const std::string& text, char separator = '\n') {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line, separator);) lines.push_back(line);
    return lines;
}

// Package lines written with "|" between them, behind the header of June 2025.
inline std::vector<std::string> June(const std::string& lines) {
    return Lines("[InfoPachet]|AnLucru=2025|LunaLucru=6|" + lines, '|');
}

}  // namespace docserver
