// The data folder on disk: one text file per table, every change replacing whole files.
#pragma once

#include "Table.h"
#include "Text.h"

#include <stdexcept>
#include <string>

namespace docserver {

// A file of the store could not be read or written; the text names it.
class StoreError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class Store {
public:
    explicit Store(std::wstring folder) : folder_(std::move(folder)) {}

    // The company list; a folder without one is first filled with the demo data, dated in `today`'s month.
    Table OpenCompanies(const Date& today);
    Tables LoadCompany(const std::string& code);
    // Each changed table goes to a temporary file first; only when all are written are they
    // renamed over their targets, so a failed write leaves every table as it was.
    void SaveCompany(const std::string& code, const Tables& changed);

private:
    std::wstring CompanyFolder(const std::string& code) const;
    std::wstring folder_;
};

}  // namespace docserver
