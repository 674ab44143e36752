// The demo data a new data folder starts with.
#pragma once

#include "Table.h"

#include <string>

namespace docserver {

struct DemoData {
    Table companies;
    std::string code;  // the demo company, whose folder holds `tables`
    Tables tables;
};

// Receipts, cash-ins and online-order invoices are dated in the given month, so that the
// queries of that month have something to show.
DemoData MakeDemoData(int year, int month);

}  // namespace docserver
