// Master-data records: partner layout "cod intern;cod extern;cod fiscal;denumire;localitate;adresa;telefon",
// article layout "cod intern;cod extern;denumire;UM;cota TVA;pret vanzare;pret achizitie;grupa;cod de bare".
#include "Records.h"

#include "Text.h"

namespace docserver {

namespace {

constexpr size_t PartnerFields = 7;
constexpr size_t ArticleFields = 9;
constexpr const char* PartnerCodeNames[] = {"codul intern", "codul extern", "codul fiscal"};

std::vector<std::string> ReadRecord(std::string_view record, size_t most, std::vector<std::string>& errors)
{
    std::vector<std::string> fields = SplitFields(record);
    for (std::string& field : fields)
        field = std::string(Trim(field));
    if (fields.size() > most)
        errors.push_back("Inregistrarea are " + std::to_string(fields.size()) + " campuri, cel mult " +
                         std::to_string(most) + " sunt permise");
    fields.resize(most);
    return fields;
}

// A code may name one partner only; `self` is the partner being changed.
void CheckPartnerCodes(const Row& fields, const Table& partners, const Row* self, std::vector<std::string>& errors)
{
    for (size_t column = partner::Intern; column <= partner::Fiscal; ++column) {
        const Row* owner = FindRow(partners, column, fields[column]);
        if (owner && owner != self)
            errors.push_back("Exista deja un partener cu " + std::string(PartnerCodeNames[column]) + " " + fields[column]);
    }
    if (!fields[partner::Fiscal].empty() && !ValidFiscalCode(fields[partner::Fiscal]))
        errors.push_back("Cod fiscal invalid " + fields[partner::Fiscal]);
}

void CheckPrice(const std::string& text, const char* what, std::vector<std::string>& errors)
{
    const auto value = ParseNumber(text);
    if (!text.empty() && (!value || *value < 0))
        errors.push_back(std::string(what) + " invalid " + text);
}

}  // namespace

bool ValidFiscalCode(std::string_view code)
{
    if (code.size() > 2 && SameText(code.substr(0, 2), "RO"))
        code.remove_prefix(2);
    if (code.size() < 2 || code.size() > 13)
        return false;
    return code.find_first_not_of("0123456789") == std::string_view::npos;
}

std::vector<std::string> AddPartnerRecord(std::string_view record, const WorkContext& context, Tables& tables)
{
    std::vector<std::string> errors;
    Row fields = ReadRecord(record, PartnerFields, errors);
    const size_t key = WorkContext::Column(context.partnerKey);
    if (fields[partner::Name].empty())
        errors.push_back("Lipseste denumirea partenerului");
    if (fields[key].empty() && context.partnerKey != KeyKind::Intern)
        errors.push_back("Lipseste " + std::string(PartnerCodeNames[key]) + " al partenerului");
    Table& partners = tables[file::Partners];
    CheckPartnerCodes(fields, partners, nullptr, errors);
    if (!errors.empty())
        return errors;
    if (fields[partner::Intern].empty())
        fields[partner::Intern] = NextCode(partners, partner::Intern, "P");
    fields.resize(partner::Count);
    fields[partner::Opening] = "0.00";
    partners.push_back(std::move(fields));
    return errors;
}

std::vector<std::string> ModifyPartnerRecord(std::string_view record, const WorkContext& context, Tables& tables)
{
    std::vector<std::string> errors;
    const Row fields = ReadRecord(record, PartnerFields, errors);
    const size_t key = WorkContext::Column(context.partnerKey);
    Table& partners = tables[file::Partners];
    Row* existing = FindRow(partners, key, fields[key]);
    if (fields[key].empty())
        errors.push_back("Lipseste " + std::string(PartnerCodeNames[key]) + " al partenerului");
    else if (!existing)
        errors.push_back("Partener necunoscut " + fields[key]);
    if (!errors.empty())
        return errors;
    CheckPartnerCodes(fields, partners, existing, errors);
    if (!errors.empty())
        return errors;
    existing->resize(std::max<size_t>(existing->size(), partner::Count));
    for (size_t column = 0; column < PartnerFields; ++column) {
        if (!fields[column].empty())  // an empty field keeps what the partner has
            (*existing)[column] = fields[column];
    }
    return errors;
}

std::vector<std::string> AddArticleRecord(std::string_view record, const WorkContext& context, Tables& tables)
{
    enum : size_t { Intern, Extern, Name, Unit, Vat, SalePriceField, PurchasePrice, Group, Barcode };
    std::vector<std::string> errors;
    Row fields = ReadRecord(record, ArticleFields, errors);
    if (fields[Name].empty())
        errors.push_back("Lipseste denumirea articolului");
    if (fields[Extern].empty() && context.articleKey == KeyKind::Extern)
        errors.push_back("Lipseste codul extern al articolului");
    Table& articles = tables[file::Articles];
    if (FindRow(articles, article::Intern, fields[Intern]))
        errors.push_back("Exista deja un articol cu codul intern " + fields[Intern]);
    if (FindRow(articles, article::Extern, fields[Extern]))
        errors.push_back("Exista deja un articol cu codul extern " + fields[Extern]);
    const auto vat = ParseNumber(fields[Vat].empty() ? "19" : fields[Vat]);
    if (!vat || *vat < 0 || *vat > 100)
        errors.push_back("Cota TVA invalida " + fields[Vat]);
    CheckPrice(fields[SalePriceField], "Pret de vanzare", errors);
    CheckPrice(fields[PurchasePrice], "Pret de achizitie", errors);
    if (!errors.empty())
        return errors;
    // intern;extern;name;unit;VAT;group;barcode;purchase price;minimum stock;weight;maker;country;description;active;notes
    Row row = {fields[Intern].empty() ? NextCode(articles, article::Intern, "A") : fields[Intern], fields[Extern],
               fields[Name], fields[Unit].empty() ? std::string("BUC") : fields[Unit], FormatQuantity(*vat),
               fields[Group], fields[Barcode], FormatMoney(ParseNumber(fields[PurchasePrice]).value_or(0.0)), "0",
               "", "", "", "", "DA", ""};
    tables[file::PriceCategories].push_back(
        {row[article::Intern], SaleCategory, FormatMoney(ParseNumber(fields[SalePriceField]).value_or(0.0))});
    articles.push_back(std::move(row));
    return errors;
}

}  // namespace docserver
