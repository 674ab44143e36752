// The demo data of June 2025 as a work context for tests of the pure logic, and the texts the tests expect.
#pragma once

#include "Book.h"

#include <algorithm>

namespace docserver {

struct Demo {
    Tables tables = MakeDemoData(2025, 6);
    WorkContext Context(KeyKind partners = KeyKind::Intern, KeyKind articles = KeyKind::Intern) const {
        return {&tables, "DEMO", 2025, 6, partners, articles};
    }
};

// What a change did to the tables, row by row: "-FILE n: row" for the row that was at place n, "+FILE n: row"
// for the one there now. Nothing changed gives an empty text.
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

// The pieces of a text cut at `separator` ("" has none): expected error lines and rows, package lines.
inline std::vector<std::string> Lines(std::string_view text, char separator = '\n') {
    std::vector<std::string> lines;
    for (size_t end = 0; !text.empty(); text.remove_prefix(std::min(end + 1, text.size()))) {
        end = std::min(text.find(separator), text.size());
        lines.emplace_back(text.substr(0, end));
    }
    return lines;
}

// Package lines written with "|" between them, behind the header of June 2025.
inline std::vector<std::string> June(const std::string& lines) {
    return Lines("[InfoPachet]|AnLucru=2025|LunaLucru=6|" + lines, '|');
}

}  // namespace docserver
