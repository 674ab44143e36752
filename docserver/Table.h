// The tables of the data store: their files, their columns, and plain-text reading and writing.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace docserver {

using Row = std::vector<std::string>;
using Table = std::vector<Row>;
using Tables = std::map<std::string, Table>;  // by file name

// File names; the company list sits in the data folder, the rest in the company's folder.
namespace file {
inline constexpr char Companies[] = "FIRME.TXT";
inline constexpr char Partners[] = "PARTENERI.TXT";
inline constexpr char Articles[] = "ARTICOLE.TXT";
inline constexpr char PriceCategories[] = "CATPRET.TXT";
inline constexpr char Locations[] = "GESTIUNI.TXT";
inline constexpr char Stock[] = "STOCURI.TXT";
inline constexpr char Orders[] = "COMENZI.TXT";
inline constexpr char SupplierOrders[] = "COMENZIFURN.TXT";
inline constexpr char Invoices[] = "FACTURI.TXT";
inline constexpr char SupplierInvoices[] = "FACTURIFURN.TXT";
inline constexpr char Receipts[] = "BONURI.TXT";
inline constexpr char CashIns[] = "INCASARI.TXT";
}  // namespace file

inline constexpr const char* CompanyTableFiles[] = {
    file::Partners, file::Articles, file::PriceCategories, file::Locations, file::Stock, file::Orders,
    file::SupplierOrders, file::Invoices, file::SupplierInvoices, file::Receipts, file::CashIns};

// Column numbers, one namespace per table.
namespace company { enum : size_t { Code, Name, Fiscal }; }
namespace partner { enum : size_t { Intern, Extern, Fiscal, Name, City, Address, Phone, Opening, Count }; }
namespace article {
enum : size_t { Intern, Extern, Name, Unit, Vat, Group, Barcode, PurchasePrice, MinStock, Weight, Maker,
                Country, Description, Active, Notes, Count };
}
namespace category { enum : size_t { Article, Name, Price }; }
namespace location { enum : size_t { Code, Name, Kind }; }
namespace stock { enum : size_t { Article, Location, Quantity, PurchasePrice, LastEntry }; }
namespace doc { enum : size_t { Number, Date, Partner, Location, Article, Quantity, Price, Vat, OnlineOrder, Count }; }
namespace receipt { enum : size_t { Number, Date, Order, Article, Quantity, Price, Location }; }
namespace cashin { enum : size_t { Number, Date, Partner, Amount, Invoice, Mode }; }

// The category whose price is an article's sale price.
inline constexpr char SaleCategory[] = "PRET VANZARE";

// One row a line, fields separated by ";"; empty lines are skipped.
Table ParseTable(std::string_view text);
std::string FormatTable(const Table& table);

// The field, or an empty text when a hand-edited row is short.
const std::string& Field(const Row& row, size_t column);
double NumberField(const Row& row, size_t column);
// The first row whose column equals the key (ASCII case-insensitive), or nullptr.
const Row* FindRow(const Table& table, size_t column, std::string_view key);
Row* FindRow(Table& table, size_t column, std::string_view key);

}  // namespace docserver
