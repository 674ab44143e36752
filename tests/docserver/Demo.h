// The demo data of June 2025 as a work context, for tests of the pure logic.
#pragma once

#include "Book.h"

namespace docserver {

struct Demo {
    Tables tables = MakeDemoData(2025, 6);
    WorkContext Context(KeyKind partners = KeyKind::Intern, KeyKind articles = KeyKind::Intern) const {
        return {&tables, "DEMO", 2025, 6, partners, articles};
    }
    double Stock(const std::string& article, const std::string& where) const {
        for (const Row& row : tables.at(file::Stock)) {
            if (row[stock::Article] == article && row[stock::Location] == where)
                return std::stod(row[stock::Quantity]);
        }
        return -1;
    }
};

}  // namespace docserver
