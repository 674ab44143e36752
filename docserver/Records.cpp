// Master-data records, one ";"-separated line each. Partners: "cod intern;cod extern;cod fiscal;denumire;
// localitate;adresa;telefon"; articles: "cod intern;cod extern;denumire;UM;cota TVA;pret vanzare;pret
// achizitie;grupa;cod de bare".
#include "Book.h"

#include <cmath>

namespace docserver {

namespace {

constexpr size_t PartnerFields = 7;
constexpr const char* PartnerCodeNames[] = {"codul intern", "codul extern", "codul fiscal"};

Row ReadRecord(std::string_view record, size_t most, std::vector<std::string>& errors) {
    Row fields = SplitFields(record);
    if (fields.size() > most)
        errors.push_back("Inregistrarea are " + std::to_string(fields.size()) + " campuri, cel mult " +
                         std::to_string(most) + " sunt permise");
    fields.resize(most);
    for (std::string& field : fields) field = std::string(Trim(field));
    return fields;
}

std::string MissingCode(KeyKind key) {
    std::string text = "Lipseste ";
    return text + PartnerCodeNames[WorkContext::Column(key)] + " al partenerului";
}

// A code may name one partner only; `self` is the partner being changed.
void CheckPartnerCodes(const Row& fields, const Table& partners, const Row* self,
                       std::vector<std::string>& errors) {
    for (size_t column = partner::Intern; column <= partner::Fiscal; ++column) {
        const Row* owner = FindRow(partners, column, fields[column]);
        if (owner && owner != self)
            errors.push_back("Exista deja un partener cu " + std::string(PartnerCodeNames[column]) + " " +
                             fields[column]);
    }
    if (!fields[partner::Fiscal].empty() && !ValidFiscalCode(fields[partner::Fiscal]))
        errors.push_back("Cod fiscal invalid " + fields[partner::Fiscal]);
}

// An empty text stands for `empty`; anything else must be a number from 0 to `most`.
std::optional<double> Amount(const std::string& text, const char* what, double empty, double most,
                             std::vector<std::string>& errors) {
    const auto value = text.empty() ? std::optional(empty) : ParseNumber(text);
    if (!value || *value < 0 || *value > most) errors.push_back(std::string(what) + " " + text);
    return value;
}

}  // namespace

bool ValidFiscalCode(std::string_view code) {
    if (code.size() > 2 && SameText(code.substr(0, 2), "RO")) code.remove_prefix(2);
    return code.size() >= 2 && code.size() <= 13 &&
           code.find_first_not_of("0123456789") == std::string_view::npos;
}

std::vector<std::string> AddPartnerRecord(std::string_view record, const WorkContext& context,
                                          Tables& tables) {
    std::vector<std::string> errors;
    Row fields = ReadRecord(record, PartnerFields, errors);
    if (fields[partner::Name].empty()) errors.push_back("Lipseste denumirea partenerului");
    if (fields[WorkContext::Column(context.partnerKey)].empty() && context.partnerKey != KeyKind::Intern)
        errors.push_back(MissingCode(context.partnerKey));
    Table& partners = tables[file::Partners];
    CheckPartnerCodes(fields, partners, nullptr, errors);
    if (!errors.empty()) return errors;
    if (fields[partner::Intern].empty()) fields[partner::Intern] = NextCode(partners, partner::Intern, "P");
    fields.push_back("0.00");  // the opening balance
    partners.push_back(std::move(fields));
    return errors;
}

std::vector<std::string> ModifyPartnerRecord(std::string_view record, const WorkContext& context,
                                             Tables& tables) {
    std::vector<std::string> errors;
    const Row fields = ReadRecord(record, PartnerFields, errors);
    const std::string& key = fields[WorkContext::Column(context.partnerKey)];
    Row* existing = FindRow(tables[file::Partners], WorkContext::Column(context.partnerKey), key);
    if (key.empty())
        errors.push_back(MissingCode(context.partnerKey));
    else if (!existing)
        errors.push_back("Partener necunoscut " + key);
    if (errors.empty()) CheckPartnerCodes(fields, tables[file::Partners], existing, errors);
    if (!errors.empty()) return errors;
    existing->resize(std::max<size_t>(existing->size(), partner::Count));
    for (size_t column = 0; column < PartnerFields; ++column) {
        if (!fields[column].empty())  // an empty field keeps what the partner has
            (*existing)[column] = fields[column];
    }
    return errors;
}

std::vector<std::string> AddArticleRecord(std::string_view record, const WorkContext& context,
                                          Tables& tables) {
    enum : size_t { Intern, Extern, Name, Unit, Vat, SalePrice, PurchasePrice, Group, Barcode, Count };
    std::vector<std::string> errors;
    const Row fields = ReadRecord(record, Count, errors);
    if (fields[Name].empty()) errors.push_back("Lipseste denumirea articolului");
    if (fields[Extern].empty() && context.articleKey == KeyKind::Extern)
        errors.push_back("Lipseste codul extern al articolului");
    Table& articles = tables[file::Articles];
    if (FindRow(articles, article::Intern, fields[Intern]))
        errors.push_back("Exista deja un articol cu codul intern " + fields[Intern]);
    if (FindRow(articles, article::Extern, fields[Extern]))
        errors.push_back("Exista deja un articol cu codul extern " + fields[Extern]);
    const auto vat = Amount(fields[Vat], "Cota TVA invalida", 19, 100, errors);
    const auto sale = Amount(fields[SalePrice], "Pret de vanzare invalid", 0, HUGE_VAL, errors);
    const auto purchase = Amount(fields[PurchasePrice], "Pret de achizitie invalid", 0, HUGE_VAL, errors);
    if (!errors.empty()) return errors;
    const std::string code =
        fields[Intern].empty() ? NextCode(articles, article::Intern, "A") : fields[Intern];
    articles.push_back({code, fields[Extern], fields[Name], fields[Unit].empty() ? "BUC" : fields[Unit],
                        FormatQuantity(*vat), fields[Group], fields[Barcode], FormatMoney(*purchase), "0", "",
                        "", "", "", "DA", ""});
    tables[file::PriceCategories].push_back({code, SaleCategory, FormatMoney(*sale)});
    return errors;
}

}  // namespace docserver
