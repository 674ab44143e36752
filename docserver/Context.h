// What every operation on a company's tables needs to know: the tables, the working month, the key kinds.
#pragma once

#include "Table.h"

#include <string>

namespace docserver {

// Which code names partners and articles in packages, records and query rows; the value is
// the code's column in the partner and article tables.
enum class KeyKind : size_t { Intern = 0, Extern = 1, Fiscal = 2 };

enum class DocKind { Order, SupplierOrder, Invoice, SupplierInvoice };

struct WorkContext {
    const Tables* tables = nullptr;
    std::string company;
    int year = 0;
    int month = 0;
    KeyKind partnerKey = KeyKind::Intern;
    KeyKind articleKey = KeyKind::Intern;

    const Table& Get(const char* name) const;
    const Row* Partner(std::string_view key) const { return FindRow(Get(file::Partners), Column(partnerKey), key); }
    const Row* Article(std::string_view key) const { return FindRow(Get(file::Articles), Column(articleKey), key); }
    const Row* Location(std::string_view code) const { return FindRow(Get(file::Locations), location::Code, code); }
    const std::string& PartnerKey(const Row& partnerRow) const { return Field(partnerRow, Column(partnerKey)); }
    const std::string& ArticleKey(const Row& articleRow) const { return Field(articleRow, Column(articleKey)); }
    std::string MonthText() const { return std::to_string(month) + "." + std::to_string(year); }
    static size_t Column(KeyKind kind) { return static_cast<size_t>(kind); }
};

// The code, by the kind, of a partner or article known by its internal code ("" when unknown).
std::string PartnerKeyOf(const WorkContext& context, std::string_view intern);
std::string ArticleKeyOf(const WorkContext& context, std::string_view intern);
double SalePrice(const Tables& tables, std::string_view articleIntern);
double WithVat(double price, double vatPercent);
// The next free code "P0011" after the highest number behind the prefix in the column.
std::string NextCode(const Table& table, size_t column, std::string_view prefix);

}  // namespace docserver
