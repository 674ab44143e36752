// Lookups in the company's tables, and the data folder: one text file per table, replaced whole.
#include "Store.h"

#include "ComText.h"
#include "base/Utf8.h"

#include <fstream>
#include <iterator>

namespace docserver {

namespace fs = std::filesystem;

const Table& WorkContext::Get(const char* name) const {
    static const Table none;
    const auto found = tables->find(name);
    return found == tables->end() ? none : found->second;
}

double WorkContext::SalePrice(std::string_view articleIntern) const {
    for (const Row& row : Get(file::PriceCategories)) {
        if (SameText(Field(row, category::Article), articleIntern) &&
            SameText(Field(row, category::Name), SaleCategory))
            return NumberField(row, category::Price);
    }
    return 0.0;
}

double WithVat(double price, double vatPercent) { return Round2(price * (100.0 + vatPercent) / 100.0); }

std::string NextCode(const Table& table, size_t column, std::string_view prefix) {
    long highest = 0;
    for (const Row& row : table) {
        const std::string_view code = Field(row, column);
        if (code.size() > prefix.size() && SameText(code.substr(0, prefix.size()), prefix))
            highest = std::max(highest, ParseWhole(code.substr(prefix.size())).value_or(0));
    }
    const std::string digits = std::to_string(highest + 1);
    return std::string(prefix) + std::string(digits.size() < 4 ? 4 - digits.size() : 0, '0') + digits;
}

namespace {

[[noreturn]] void Fail(const char* what, const fs::path& path) {
    std::string text = what;
    throw StoreError(text + " " + Narrow(path.wstring(), TextEncoding::Utf8));
}

// A missing table is an empty one.
Table ReadTable(const fs::path& path) {
    if (!fs::exists(path)) return {};
    std::ifstream in(path, std::ios::binary);
    if (!in) Fail("Nu pot citi fisierul", path);
    std::string text(std::istreambuf_iterator<char>(in), {});
    // Tables are UTF-8; one written by hand in the ANSI code page, or by an earlier version,
    // is read as such, and one with a mark without it.
    if (StartsWithUtf8Bom(text)) text.erase(0, kUtf8Bom.size());
    if (FirstNonUtf8Line(text) != 0) text = Narrow(Wide(text, TextEncoding::Ansi), TextEncoding::Utf8);
    return ParseTable(text);
}

// All temporary files first, then the renames: a failure before the first rename changes nothing.
void ReplaceTables(const fs::path& folder, const Tables& tables) {
    std::error_code error;
    if (fs::create_directories(folder, error); error) Fail("Nu pot crea folderul", folder);
    std::vector<fs::path> written;
    for (const auto& [name, table] : tables) {
        written.push_back(folder / (ToWide(name) + L".tmp"));
        const std::string text = FormatTable(table);
        std::ofstream out(written.back(), std::ios::binary | std::ios::trunc);
        out.write(text.data(), static_cast<std::streamsize>(text.size()));
        out.close();
        if (!out) {
            for (const fs::path& path : written) fs::remove(path, error);
            Fail("Nu pot scrie fisierul", written.back());
        }
    }
    for (const fs::path& path : written) {
        const fs::path target = fs::path(path).replace_extension();
        if (!MoveFileExW(path.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            Fail("Nu pot inlocui fisierul", target);
    }
}

}  // namespace

Table OpenCompanies(const fs::path& folder, const Date& today) {
    if (!fs::exists(folder / file::Companies)) {
        SaveCompany(folder, "DEMO", MakeDemoData(today.year, today.month));
        ReplaceTables(folder, {{file::Companies,
                                {{"DEMO", "Firma Demo SRL", "RO12345674"}}}});  // last: the store is complete
    }
    return ReadTable(folder / file::Companies);
}

Tables LoadCompany(const fs::path& folder, const std::string& code) {
    Tables tables;
    for (const char* name :
         {file::Partners, file::Articles, file::PriceCategories, file::Locations, file::Stock, file::Orders,
          file::SupplierOrders, file::Invoices, file::SupplierInvoices, file::Receipts, file::CashIns})
        tables[name] = ReadTable(folder / ToWide(code) / name);
    return tables;
}

void SaveCompany(const fs::path& folder, const std::string& code, const Tables& changed) {
    ReplaceTables(folder / ToWide(code), changed);
}

}  // namespace docserver
