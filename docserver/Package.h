// Document packages: reading their lines, checking every document, and writing them into the tables.
#pragma once

#include "Context.h"

#include <string>
#include <vector>

namespace docserver {

struct PackageOutcome {
    std::vector<std::string> errors;  // empty when the documents were written
    long documents = 0;
};

// The table that holds the documents of a kind.
const char* DocumentTable(DocKind kind);

// Checks the whole package against the context and, only when nothing is wrong, appends its
// documents to the kind's table in `tables` and moves stock for invoices. `tables` is left as
// it was when errors are returned.
PackageOutcome ApplyPackage(DocKind kind, const std::vector<std::string>& lines, const WorkContext& context,
                            Tables& tables);

}  // namespace docserver
