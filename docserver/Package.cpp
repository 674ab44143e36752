// Document packages: one [InfoPachet] section, then one [Document] section per document.
#include "Book.h"

#include <algorithm>
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
    std::map<std::string, Entry> keys;  // by upper-case key
    std::vector<Entry> items;           // the "Articol" lines
    const Entry* Find(const char* key) const {
        const auto found = keys.find(Upper(key));
        return found == keys.end() ? nullptr : &found->second;
    }
    std::string Value(const char* key) const { return Find(key) ? Find(key)->value : std::string(); }
};

// Every fault goes to `errors`, so that one refusal lists them all.
struct Checker {
    DocKind kind;
    const WorkContext& context;
    std::vector<std::string> errors;

    void Fail(int line, const std::string& text) {
        errors.push_back("Linia " + std::to_string(line) + ": " + text);
    }

    std::vector<Section> ReadSections(const std::vector<std::string>& lines) {
        std::vector<Section> sections;
        for (int number = 1; number <= static_cast<int>(lines.size()); ++number) {
            const std::string_view line = Trim(lines[number - 1]);
            const size_t equals = line.find('=');
            if (line.empty() || line.front() == ';') continue;
            if (line.front() == '[' && line.back() == ']')
                sections.push_back({std::string(line.substr(1, line.size() - 2)), number, {}, {}});
            else if (sections.empty() || equals == std::string_view::npos)
                Fail(number, "linie nerecunoscuta: " + std::string(line));
            else if (const std::string key = Upper(Trim(line.substr(0, equals))); key == "ARTICOL")
                sections.back().items.push_back({std::string(Trim(line.substr(equals + 1))), number});
            else if (!sections.back()
                          .keys.emplace(key, Entry{std::string(Trim(line.substr(equals + 1))), number})
                          .second)
                Fail(number, "cheie repetata " + std::string(Trim(line.substr(0, equals))));
        }
        return sections;
    }

    void CheckHeader(const Section& header, const char* key, int expected) {
        const Entry* entry = header.Find(key);
        if (!entry)
            Fail(header.line, std::string("sectiunea [InfoPachet] nu are ") + key);
        else if (ParseWhole(entry->value) != expected)
            Fail(entry->line, std::string(key) + " " + entry->value + " nu corespunde lunii de lucru " +
                                  context.MonthText());
    }

    const Entry* Require(const Section& section, const char* key) {
        const Entry* entry = section.Find(key);
        if (entry && !entry->value.empty()) return entry;
        Fail(section.line, std::string("documentul nu are ") + key);
        return nullptr;
    }

    // The document's rows for its table, none when something is wrong; a missing number comes later.
    std::vector<Row> CheckDocument(const Section& section) {
        for (const auto& [key, entry] : section.keys) {
            if (key != "NUMAR" && key != "DATA" && key != "PARTENER" && key != "GESTIUNE" &&
                key != "COMANDAONLINE")
                Fail(entry.line, "cheie necunoscuta " + key);
        }
        const size_t before = errors.size();
        Row head(doc::Count);
        head[doc::Number] = section.Value("Numar");
        head[doc::OnlineOrder] = section.Value("ComandaOnline");
        if (const Entry* date = Require(section, "Data")) {
            if (!ParseDate(date->value))
                Fail(date->line, "data invalida " + date->value);
            else if (!InMonth(date->value, context.year, context.month))
                Fail(date->line, "data " + date->value + " nu este in luna de lucru " + context.MonthText());
            head[doc::Date] = date->value;
        }
        if (const Entry* code = Require(section, "Partener")) {
            if (const Row* found = context.Partner(code->value))
                head[doc::Partner] = Field(*found, partner::Intern);
            else
                Fail(code->line, "partener necunoscut " + code->value);
        }
        if (const Entry* code = Require(section, "Gestiune")) {
            if (const Row* found = context.Location(code->value))
                head[doc::Location] = Field(*found, location::Code);
            else
                Fail(code->line, "gestiune necunoscuta " + code->value);
        }
        if (section.items.empty()) Fail(section.line, "documentul nu are articole");
        std::vector<Row> rows;
        for (const Entry& item : section.items) rows.push_back(CheckItem(head, item));
        return errors.size() == before ? rows : std::vector<Row>();
    }

    // "Articol=code;quantity;price"; without a price, the sale price or for suppliers the purchase price.
    Row CheckItem(Row row, const Entry& item) {
        const Row fields = SplitFields(item.value);
        if (fields.size() < 2 || fields.size() > 3) {
            Fail(item.line, "articol scris gresit " + item.value + " (cod;cantitate;pret)");
            return row;
        }
        const std::string code(Trim(fields[0]));
        const Row* found = context.Article(code);
        if (!found) {
            Fail(item.line, "articol necunoscut " + code);
            return row;
        }
        row[doc::Article] = Field(*found, article::Intern);
        row[doc::Vat] = Field(*found, article::Vat);
        const auto quantity = ParseNumber(fields[1]);
        if (!quantity || *quantity <= 0)
            Fail(item.line, "cantitate invalida " + fields[1]);
        else
            row[doc::Quantity] = FormatQuantity(*quantity);
        const std::string priceText(fields.size() == 3 ? Trim(fields[2]) : "");
        const bool supplier = kind == DocKind::SupplierOrder || kind == DocKind::SupplierInvoice;
        const double listPrice =
            supplier ? NumberField(*found, article::PurchasePrice) : context.SalePrice(row[doc::Article]);
        const auto price = priceText.empty() ? std::optional(listPrice) : ParseNumber(priceText);
        if (!price || *price < 0)
            Fail(item.line, "pret invalid " + priceText);
        else
            row[doc::Price] = FormatMoney(*price);
        return row;
    }

    // A given number must be new; a missing one is the next after the highest in use.
    void Number(std::vector<std::vector<Row>>& documents, const std::vector<const Section*>& sections,
                const Table& existing) {
        std::set<std::string> used;
        long highest = 0;
        const auto note = [&](const std::string& number) {
            used.insert(Upper(number));
            highest = std::max(highest, ParseWhole(number).value_or(0));
        };
        for (const Row& row : existing) note(Field(row, doc::Number));
        for (size_t i = 0; i < documents.size(); ++i) {
            const std::string& number = documents[i].front()[doc::Number];
            if (!number.empty() && used.count(Upper(number)) != 0)
                Fail(sections[i]->Find("Numar")->line, "documentul " + number + " exista deja");
            if (!number.empty()) note(number);
        }
        for (auto& rows : documents) {
            const std::string number =
                rows.front()[doc::Number].empty() ? std::to_string(++highest) : rows.front()[doc::Number];
            for (Row& row : rows) row[doc::Number] = number;
        }
    }

    // Invoices take stock out; supplier invoices bring it in at a weighted purchase price.
    void MoveStock(const Row& line, int lineNumber, Table& stockTable) {
        const double quantity = NumberField(line, doc::Quantity);
        const auto held = std::find_if(stockTable.begin(), stockTable.end(), [&](const Row& row) {
            return SameText(Field(row, stock::Article), line[doc::Article]) &&
                   SameText(Field(row, stock::Location), line[doc::Location]);
        });
        const double have = held == stockTable.end() ? 0.0 : NumberField(*held, stock::Quantity);
        if (kind == DocKind::Invoice && have + 1e-9 < quantity) {
            Fail(lineNumber, "stoc insuficient pentru articolul " + line[doc::Article] + " in gestiunea " +
                                 line[doc::Location] + " (disponibil " + FormatQuantity(have) + ", cerut " +
                                 FormatQuantity(quantity) + ")");
        } else if (kind == DocKind::Invoice) {
            (*held)[stock::Quantity] = FormatQuantity(have - quantity);
        } else {
            Row& row = held == stockTable.end() ? stockTable.emplace_back() : *held;
            const double price = NumberField(line, doc::Price);
            const double average =
                have > 0
                    ? (have * NumberField(row, stock::PurchasePrice) + quantity * price) / (have + quantity)
                    : price;
            row = {line[doc::Article], line[doc::Location], FormatQuantity(have + quantity),
                   FormatMoney(average), line[doc::Date]};
        }
    }
};

}  // namespace

PackageOutcome ApplyPackage(DocKind kind, const std::vector<std::string>& lines, const WorkContext& context,
                            Tables& tables) {
    Checker checker{kind, context, {}};
    const std::vector<Section> sections = checker.ReadSections(lines);
    const Section* header = nullptr;
    std::vector<const Section*> documentSections;
    for (const Section& section : sections) {
        if (SameText(section.name, "InfoPachet") && !header)
            header = &section;
        else if (SameText(section.name, "Document"))
            documentSections.push_back(&section);
        else
            checker.Fail(section.line, "sectiune necunoscuta [" + section.name + "]");
    }
    if (!header) {
        checker.errors.push_back("Pachetul nu are sectiunea [InfoPachet]");
    } else {
        checker.CheckHeader(*header, "AnLucru", context.year);
        checker.CheckHeader(*header, "LunaLucru", context.month);
    }
    if (documentSections.empty()) checker.errors.push_back("Pachetul nu contine documente");
    std::vector<std::vector<Row>> documents;
    for (const Section* section : documentSections) documents.push_back(checker.CheckDocument(*section));
    if (!checker.errors.empty()) return {std::move(checker.errors), 0};

    Table& documentTable = tables[DocumentTable(kind)];
    checker.Number(documents, documentSections, documentTable);
    Table stockTable = tables[file::Stock];
    Table added;
    for (size_t i = 0; i < documents.size(); ++i) {
        for (size_t j = 0; j < documents[i].size(); ++j) {
            if (kind == DocKind::Invoice || kind == DocKind::SupplierInvoice)
                checker.MoveStock(documents[i][j], documentSections[i]->items[j].line, stockTable);
            added.push_back(documents[i][j]);
        }
    }
    if (!checker.errors.empty()) return {std::move(checker.errors), 0};
    documentTable.insert(documentTable.end(), added.begin(), added.end());
    tables[file::Stock] = std::move(stockTable);
    return {{}, static_cast<long>(documents.size())};
}

}  // namespace docserver
