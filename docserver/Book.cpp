// The server's state between calls, and the rule that a refused call changes nothing.
#include "Book.h"

#include "Package.h"
#include "Records.h"
#include "Text.h"

namespace docserver {

Book::Book(std::wstring dataFolder, const Date& today) : store_(std::move(dataFolder))
{
    companies_ = store_.OpenCompanies(today);
    if (!companies_.empty()) {
        company_ = Field(companies_.front(), company::Code);
        tables_ = store_.LoadCompany(company_);
    }
}

bool Book::Refuse(std::vector<std::string> errors)
{
    errors_ = std::move(errors);
    return false;
}

// A company is named by its code or by its name.
bool Book::SelectCompany(std::string_view name)
{
    const std::string wanted(Trim(name));
    const Row* found = FindRow(companies_, company::Code, wanted);
    if (!found)
        found = FindRow(companies_, company::Name, wanted);
    if (!found)
        return Refuse({"Firma necunoscuta " + wanted});
    Tables tables = store_.LoadCompany(Field(*found, company::Code));
    company_ = Field(*found, company::Code);
    tables_ = std::move(tables);
    return true;
}

bool Book::SelectMonth(long year, long month)
{
    std::vector<std::string> errors;
    if (year < 2000 || year > 2099)
        errors.push_back("An de lucru invalid " + std::to_string(year) + " (2000-2099)");
    if (month < 1 || month > 12)
        errors.push_back("Luna de lucru invalida " + std::to_string(month) + " (1-12)");
    if (!errors.empty())
        return Refuse(std::move(errors));
    year_ = static_cast<int>(year);
    month_ = static_cast<int>(month);
    return true;
}

// An unknown kind leaves the key kind as it was.
void Book::SetPartnerKey(std::string_view kind)
{
    const std::string upper = Upper(Trim(kind));
    if (upper == "CODINTERN")
        partnerKey_ = KeyKind::Intern;
    else if (upper == "CODEXTERN")
        partnerKey_ = KeyKind::Extern;
    else if (upper == "CODFISCAL")
        partnerKey_ = KeyKind::Fiscal;
}

void Book::SetArticleKey(std::string_view kind)
{
    const std::string upper = Upper(Trim(kind));
    if (upper == "CODINTERN")
        articleKey_ = KeyKind::Intern;
    else if (upper == "CODEXTERN")
        articleKey_ = KeyKind::Extern;
}

WorkContext Book::Context(const Tables& tables) const
{
    return {&tables, company_, year_, month_, partnerKey_, articleKey_};
}

bool Book::Ready()
{
    std::vector<std::string> errors;
    if (company_.empty())
        errors.push_back("Nu este selectata firma de lucru");
    if (year_ == 0)
        errors.push_back("Nu este selectata luna de lucru");
    return errors.empty() || Refuse(std::move(errors));
}

// The tables in memory change only once the files are replaced.
void Book::Commit(Tables& work, std::initializer_list<const char*> changed)
{
    Tables files;
    for (const char* name : changed)
        files[name] = work[name];
    store_.SaveCompany(company_, files);
    for (const char* name : changed)
        tables_[name] = std::move(work[name]);
}

bool Book::Generate(DocKind kind)
{
    counts_[static_cast<size_t>(kind)] = 0;
    if (!Ready())
        return false;
    Tables work = tables_;
    PackageOutcome outcome = ApplyPackage(kind, package_, Context(tables_), work);
    if (!outcome.errors.empty())
        return Refuse(std::move(outcome.errors));
    Commit(work, {DocumentTable(kind), file::Stock});
    counts_[static_cast<size_t>(kind)] = outcome.documents;
    return true;
}

bool Book::ChangeRecord(Change change, std::string_view record, std::initializer_list<const char*> changed)
{
    if (company_.empty())
        return Refuse({"Nu este selectata firma de lucru"});
    Tables work = tables_;
    std::vector<std::string> errors = change(record, Context(tables_), work);
    if (!errors.empty())
        return Refuse(std::move(errors));
    Commit(work, changed);
    return true;
}

bool Book::AddPartner(std::string_view record)
{
    return ChangeRecord(AddPartnerRecord, record, {file::Partners});
}

bool Book::ModifyPartner(std::string_view record)
{
    return ChangeRecord(ModifyPartnerRecord, record, {file::Partners});
}

bool Book::AddArticle(std::string_view record)
{
    return ChangeRecord(AddArticleRecord, record, {file::Articles, file::PriceCategories});
}

QueryResult Book::Query(QueryKind kind, std::string_view argument)
{
    if (!Ready())
        return {QueryNoMonth, {}, errors_};
    QueryResult result = RunQuery(kind, Context(tables_), argument);
    if (result.errorCode != QueryOk)
        errors_ = result.errors;
    return result;
}

}  // namespace docserver
