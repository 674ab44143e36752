// The server's state between calls: the store, the selected company and month, the key kinds,
// the kept package, the last counts and the last errors.
#pragma once

#include "Context.h"
#include "Queries.h"
#include "Store.h"

#include <array>
#include <string>
#include <vector>

namespace docserver {

class Book {
public:
    // `today` dates the demo data when the folder is new; the first company is selected.
    Book(std::wstring dataFolder, const Date& today);

    bool SelectCompany(std::string_view name);
    bool SelectMonth(long year, long month);
    void SetPartnerKey(std::string_view kind);
    void SetArticleKey(std::string_view kind);

    void SetPackage(std::vector<std::string> lines) { package_ = std::move(lines); }
    bool Generate(DocKind kind);
    long Generated(DocKind kind) const { return counts_[static_cast<size_t>(kind)]; }

    bool AddPartner(std::string_view record);
    bool ModifyPartner(std::string_view record);
    bool AddArticle(std::string_view record);

    QueryResult Query(QueryKind kind, std::string_view argument = {});

    // The errors of the last refused call; a call that succeeds leaves them.
    const std::vector<std::string>& Errors() const { return errors_; }

private:
    using Change = std::vector<std::string> (*)(std::string_view, const WorkContext&, Tables&);
    bool ChangeRecord(Change change, std::string_view record, std::initializer_list<const char*> changed);
    bool Ready();  // a company and a month are selected, else the errors say which is missing
    bool Refuse(std::vector<std::string> errors);
    void Commit(Tables& work, std::initializer_list<const char*> changed);
    WorkContext Context(const Tables& tables) const;

    Store store_;
    Table companies_;
    std::string company_;
    Tables tables_;
    int year_ = 0;
    int month_ = 0;
    KeyKind partnerKey_ = KeyKind::Intern;
    KeyKind articleKey_ = KeyKind::Intern;
    std::vector<std::string> package_;
    std::array<long, 4> counts_{};
    std::vector<std::string> errors_;
};

}  // namespace docserver
