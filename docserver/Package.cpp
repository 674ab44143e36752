// Document packages: an INI-like layout of one [InfoPachet] section and [Document] sections.
#include "Package.h"

#include "Text.h"

#include <algorithm>
#include <map>
#include <set>

namespace docserver {

namespace {

struct Entry {
    std::string value;
    int line = 0;
};

struct Section {
    std::string name;
    int line = 0;
    std::map<std::string, Entry> keys;  // upper-case key; single-valued keys
    std::vector<Entry> items;           // the repeated "Articol" lines
};

std::string AtLine(int line, const std::string& text)
{
    return "Linia " + std::to_string(line) + ": " + text;
}

// Syntax only: sections and key lines, every malformed line reported.
std::vector<Section> ReadSections(const std::vector<std::string>& lines, std::vector<std::string>& errors)
{
    std::vector<Section> sections;
    for (size_t i = 0; i < lines.size(); ++i) {
        const int number = static_cast<int>(i) + 1;
        const std::string_view line = Trim(lines[i]);
        if (line.empty() || line.front() == ';')
            continue;
        if (line.front() == '[' && line.back() == ']') {
            sections.push_back({std::string(line.substr(1, line.size() - 2)), number, {}, {}});
            continue;
        }
        const size_t equals = line.find('=');
        if (sections.empty() || equals == std::string_view::npos) {
            errors.push_back(AtLine(number, "linie nerecunoscuta: " + std::string(line)));
            continue;
        }
        const std::string key = Upper(Trim(line.substr(0, equals)));
        Entry entry{std::string(Trim(line.substr(equals + 1))), number};
        if (key == "ARTICOL")
            sections.back().items.push_back(std::move(entry));
        else if (!sections.back().keys.emplace(key, std::move(entry)).second)
            errors.push_back(AtLine(number, "cheie repetata " + std::string(Trim(line.substr(0, equals)))));
    }
    return sections;
}

void CheckHeaderKey(const Section& header, const char* key, int expected, const WorkContext& context,
                    std::vector<std::string>& errors)
{
    const auto found = header.keys.find(Upper(key));
    if (found == header.keys.end()) {
        errors.push_back(AtLine(header.line, std::string("sectiunea [InfoPachet] nu are ") + key));
        return;
    }
    const auto value = ParseWhole(found->second.value);
    if (!value || *value != expected)
        errors.push_back(AtLine(found->second.line, std::string(key) + " " + found->second.value +
                                                        " nu corespunde lunii de lucru " + context.MonthText()));
}

struct Checker {
    DocKind kind;
    const WorkContext& context;
    std::vector<std::string>& errors;

    const Entry* Require(const Section& section, const char* key)
    {
        const auto found = section.keys.find(Upper(key));
        if (found != section.keys.end() && !found->second.value.empty())
            return &found->second;
        errors.push_back(AtLine(section.line, std::string("documentul nu are ") + key));
        return nullptr;
    }

    std::string Optional(const Section& section, const char* key)
    {
        const auto found = section.keys.find(Upper(key));
        return found == section.keys.end() ? std::string() : found->second.value;
    }

    bool Supplier() const { return kind == DocKind::SupplierOrder || kind == DocKind::SupplierInvoice; }

    // The document's rows in the documents table; the number is filled in later when missing.
    std::vector<Row> Check(const Section& section)
    {
        static constexpr const char* known[] = {"NUMAR", "DATA", "PARTENER", "GESTIUNE", "COMANDAONLINE"};
        for (const auto& [key, entry] : section.keys) {
            if (std::find(std::begin(known), std::end(known), key) == std::end(known))
                errors.push_back(AtLine(entry.line, "cheie necunoscuta " + key));
        }
        const size_t before = errors.size();
        Row head(doc::Count);
        head[doc::Number] = Optional(section, "Numar");
        head[doc::OnlineOrder] = Optional(section, "ComandaOnline");
        if (const Entry* date = Require(section, "Data")) {
            if (!ParseDate(date->value))
                errors.push_back(AtLine(date->line, "data invalida " + date->value));
            else if (!InMonth(date->value, context.year, context.month))
                errors.push_back(AtLine(date->line, "data " + date->value + " nu este in luna de lucru " +
                                                        context.MonthText()));
            head[doc::Date] = date->value;
        }
        if (const Entry* partner = Require(section, "Partener")) {
            if (const Row* row = context.Partner(partner->value))
                head[doc::Partner] = Field(*row, partner::Intern);
            else
                errors.push_back(AtLine(partner->line, "partener necunoscut " + partner->value));
        }
        if (const Entry* location = Require(section, "Gestiune")) {
            if (const Row* row = context.Location(location->value))
                head[doc::Location] = Field(*row, location::Code);
            else
                errors.push_back(AtLine(location->line, "gestiune necunoscuta " + location->value));
        }
        if (section.items.empty())
            errors.push_back(AtLine(section.line, "documentul nu are articole"));
        std::vector<Row> rows;
        for (const Entry& item : section.items)
            rows.push_back(CheckItem(head, item));
        return errors.size() == before ? rows : std::vector<Row>();
    }

    Row CheckItem(const Row& head, const Entry& item)
    {
        Row row = head;
        const std::vector<std::string> fields = SplitFields(item.value);
        if (fields.size() < 2 || fields.size() > 3) {
            errors.push_back(AtLine(item.line, "articol scris gresit " + item.value + " (cod;cantitate;pret)"));
            return row;
        }
        const std::string code(Trim(fields[0]));
        const Row* articleRow = context.Article(code);
        if (!articleRow) {
            errors.push_back(AtLine(item.line, "articol necunoscut " + code));
            return row;
        }
        row[doc::Article] = Field(*articleRow, article::Intern);
        row[doc::Vat] = Field(*articleRow, article::Vat);
        const auto quantity = ParseNumber(fields[1]);
        if (!quantity || *quantity <= 0)
            errors.push_back(AtLine(item.line, "cantitate invalida " + fields[1]));
        else
            row[doc::Quantity] = FormatQuantity(*quantity);
        const std::string priceText = fields.size() == 3 ? std::string(Trim(fields[2])) : std::string();
        const auto price = priceText.empty() ? std::optional<double>(ListPrice(*articleRow)) : ParseNumber(priceText);
        if (!price || *price < 0)
            errors.push_back(AtLine(item.line, "pret invalid " + priceText));
        else
            row[doc::Price] = FormatMoney(*price);
        return row;
    }

    double ListPrice(const Row& articleRow) const
    {
        return Supplier() ? NumberField(articleRow, article::PurchasePrice)
                          : SalePrice(*context.tables, Field(articleRow, article::Intern));
    }
};

// Numbers: a given number must be new; a missing one gets the next after the highest in use.
void Number(std::vector<std::vector<Row>>& documents, const std::vector<Section*>& sections, const Table& existing,
            std::vector<std::string>& errors)
{
    std::set<std::string> used;
    long highest = 0;
    auto note = [&](const std::string& number) {
        used.insert(Upper(number));
        highest = std::max(highest, ParseWhole(number).value_or(0));
    };
    for (const Row& row : existing)
        note(Field(row, doc::Number));
    for (size_t i = 0; i < documents.size(); ++i) {
        const std::string& number = documents[i].front()[doc::Number];
        if (number.empty())
            continue;
        if (used.count(Upper(number)) != 0)
            errors.push_back(AtLine(sections[i]->keys.at("NUMAR").line, "documentul " + number + " exista deja"));
        note(number);
    }
    for (auto& rows : documents) {
        if (!rows.front()[doc::Number].empty())
            continue;
        const std::string number = std::to_string(++highest);
        for (Row& row : rows)
            row[doc::Number] = number;
    }
}

// Invoices take stock out, supplier invoices bring it in at a weighted purchase price.
void MoveStock(DocKind kind, const std::vector<Row>& rows, const std::vector<int>& lines, Table& stockTable,
               std::vector<std::string>& errors)
{
    for (size_t i = 0; i < rows.size(); ++i) {
        const Row& line = rows[i];
        const double quantity = NumberField(line, doc::Quantity);
        Row* held = nullptr;
        for (Row& row : stockTable) {
            if (SameText(Field(row, stock::Article), line[doc::Article]) && SameText(Field(row, stock::Location), line[doc::Location]))
                held = &row;
        }
        const double have = held ? NumberField(*held, stock::Quantity) : 0.0;
        if (kind == DocKind::Invoice) {
            if (have + 1e-9 < quantity) {
                errors.push_back(AtLine(lines[i], "stoc insuficient pentru articolul " + line[doc::Article] +
                                                      " in gestiunea " + line[doc::Location] + " (disponibil " +
                                                      FormatQuantity(have) + ", cerut " + FormatQuantity(quantity) + ")"));
                continue;
            }
            (*held)[stock::Quantity] = FormatQuantity(have - quantity);
            continue;
        }
        if (!held) {
            stockTable.push_back({line[doc::Article], line[doc::Location], "0", "0.00", ""});
            held = &stockTable.back();
        }
        const double oldPrice = NumberField(*held, stock::PurchasePrice);
        const double price = NumberField(line, doc::Price);
        const double average = have > 0 ? (have * oldPrice + quantity * price) / (have + quantity) : price;
        held->resize(std::max<size_t>(held->size(), stock::LastEntry + 1));
        (*held)[stock::Quantity] = FormatQuantity(have + quantity);
        (*held)[stock::PurchasePrice] = FormatMoney(average);
        (*held)[stock::LastEntry] = line[doc::Date];
    }
}

}  // namespace

const char* DocumentTable(DocKind kind)
{
    switch (kind) {
    case DocKind::Order: return file::Orders;
    case DocKind::SupplierOrder: return file::SupplierOrders;
    case DocKind::Invoice: return file::Invoices;
    case DocKind::SupplierInvoice: return file::SupplierInvoices;
    }
    return file::Orders;
}

PackageOutcome ApplyPackage(DocKind kind, const std::vector<std::string>& lines, const WorkContext& context,
                            Tables& tables)
{
    PackageOutcome outcome;
    std::vector<std::string>& errors = outcome.errors;
    std::vector<Section> sections = ReadSections(lines, errors);
    const Section* header = nullptr;
    std::vector<Section*> documentSections;
    for (Section& section : sections) {
        if (SameText(section.name, "InfoPachet") && !header)
            header = &section;
        else if (SameText(section.name, "Document"))
            documentSections.push_back(&section);
        else
            errors.push_back(AtLine(section.line, "sectiune necunoscuta [" + section.name + "]"));
    }
    if (!header) {
        errors.push_back("Pachetul nu are sectiunea [InfoPachet]");
    } else {
        CheckHeaderKey(*header, "AnLucru", context.year, context, errors);
        CheckHeaderKey(*header, "LunaLucru", context.month, context, errors);
    }
    if (documentSections.empty())
        errors.push_back("Pachetul nu contine documente");

    Checker checker{kind, context, errors};
    std::vector<std::vector<Row>> documents;
    for (const Section* section : documentSections)
        documents.push_back(checker.Check(*section));
    if (!errors.empty())
        return outcome;
    Table& documentTable = tables[DocumentTable(kind)];
    Number(documents, documentSections, documentTable, errors);

    Table stockTable = tables[file::Stock];
    std::vector<Row> allRows;
    std::vector<int> itemLines;
    for (size_t i = 0; i < documents.size(); ++i) {
        allRows.insert(allRows.end(), documents[i].begin(), documents[i].end());
        for (const Entry& item : documentSections[i]->items)
            itemLines.push_back(item.line);
    }
    if (kind == DocKind::Invoice || kind == DocKind::SupplierInvoice)
        MoveStock(kind, allRows, itemLines, stockTable, errors);
    if (!errors.empty())
        return outcome;
    documentTable.insert(documentTable.end(), allRows.begin(), allRows.end());
    tables[file::Stock] = std::move(stockTable);
    outcome.documents = static_cast<long>(documents.size());
    return outcome;
}

}  // namespace docserver
