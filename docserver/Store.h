// The company's tables: their files and columns, lookups in them, and the data folder that holds them.
#pragma once

#include "Text.h"

#include <filesystem>
#include <stdexcept>

namespace docserver {

// File names; the company list sits in the data folder, the rest in the company's folder.
namespace file {
inline constexpr char Companies[] = "FIRME.TXT", Partners[] = "PARTENERI.TXT", Articles[] = "ARTICOLE.TXT",
                      PriceCategories[] = "CATPRET.TXT", Locations[] = "GESTIUNI.TXT",
                      Stock[] = "STOCURI.TXT", Orders[] = "COMENZI.TXT", SupplierOrders[] = "COMENZIFURN.TXT",
                      Invoices[] = "FACTURI.TXT", SupplierInvoices[] = "FACTURIFURN.TXT",
                      Receipts[] = "BONURI.TXT", CashIns[] = "INCASARI.TXT";
}  // namespace file

// Column numbers, one namespace per table.
namespace company {
enum : size_t { Code, Name, Fiscal };
}
namespace partner {
enum : size_t { Intern, Extern, Fiscal, Name, City, Address, Phone, Opening, Count };
}
namespace article {
enum : size_t {
    Intern,
    Extern,
    Name,
    Unit,
    Vat,
    Group,
    Barcode,
    PurchasePrice,
    MinStock,
    Weight,
    Maker,
    Country,
    Description,
    Active,
    Notes,
    Count
};
}
namespace category {
enum : size_t { Article, Name, Price };
}
namespace location {
enum : size_t { Code, Name, Kind };
}
namespace stock {
enum : size_t { Article, Location, Quantity, PurchasePrice, LastEntry };
}
namespace doc {
enum : size_t { Number, Date, Partner, Location, Article, Quantity, Price, Vat, OnlineOrder, Count };
}
namespace receipt {
enum : size_t { Number, Date, Order, Article, Quantity, Price, Location };
}
namespace cashin {
enum : size_t { Number, Date, Partner, Amount, Invoice, Mode };
}

// The category whose price is an article's sale price.
inline constexpr char SaleCategory[] = "PRET VANZARE";

// Which code names partners and articles in packages, records and query rows: its column.
enum class KeyKind : size_t { Intern = 0, Extern = 1, Fiscal = 2 };

enum class DocKind { Order, SupplierOrder, Invoice, SupplierInvoice };
inline const char* DocumentTable(DocKind kind) {
    constexpr const char* names[] = {file::Orders, file::SupplierOrders, file::Invoices,
                                     file::SupplierInvoices};
    return names[static_cast<size_t>(kind)];
}

// What every operation on a company's tables needs: the tables, the working month, the key kinds.
struct WorkContext {
    const Tables* tables = nullptr;
    std::string company;
    int year = 0;
    int month = 0;
    KeyKind partnerKey = KeyKind::Intern;
    KeyKind articleKey = KeyKind::Intern;

    const Table& Get(const char* name) const;
    const Row* Partner(std::string_view key) const {
        return FindRow(Get(file::Partners), Column(partnerKey), key);
    }
    const Row* Article(std::string_view key) const {
        return FindRow(Get(file::Articles), Column(articleKey), key);
    }
    const Row* Location(std::string_view code) const {
        return FindRow(Get(file::Locations), location::Code, code);
    }
    const Row* ByIntern(const char* table, std::string_view intern) const {
        return FindRow(Get(table), 0, intern);
    }
    const std::string& PartnerKey(const Row& partnerRow) const {
        return Field(partnerRow, Column(partnerKey));
    }
    const std::string& ArticleKey(const Row& articleRow) const {
        return Field(articleRow, Column(articleKey));
    }
    double SalePrice(std::string_view articleIntern) const;
    std::string MonthText() const { return std::to_string(month) + "." + std::to_string(year); }
    static size_t Column(KeyKind kind) { return static_cast<size_t>(kind); }
};

double WithVat(double price, double vatPercent);
// The next free code ("P0011") after the highest number behind the prefix in the column.
std::string NextCode(const Table& table, size_t column, std::string_view prefix);

// A file of the store could not be read or written; the text names it.
class StoreError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The company list; a folder without one is first filled with the demo data, dated in `today`'s month.
Table OpenCompanies(const std::filesystem::path& folder, const Date& today);
Tables LoadCompany(const std::filesystem::path& folder, const std::string& code);
// Every table goes to a temporary file first, and only when all are written are they renamed
// over their targets: a failed write leaves every table as it was.
void SaveCompany(const std::filesystem::path& folder, const std::string& code, const Tables& changed);
// The demo company's tables; receipts, cash-ins and online-order invoices fall in the given month.
Tables MakeDemoData(int year, int month);

}  // namespace docserver
