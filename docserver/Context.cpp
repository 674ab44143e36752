// Lookups shared by packages, records and queries.
#include "Context.h"

#include "Text.h"

namespace docserver {

const Table& WorkContext::Get(const char* name) const
{
    static const Table empty;
    const auto found = tables->find(name);
    return found == tables->end() ? empty : found->second;
}

std::string PartnerKeyOf(const WorkContext& context, std::string_view intern)
{
    const Row* row = FindRow(context.Get(file::Partners), partner::Intern, intern);
    return row ? context.PartnerKey(*row) : std::string();
}

std::string ArticleKeyOf(const WorkContext& context, std::string_view intern)
{
    const Row* row = FindRow(context.Get(file::Articles), article::Intern, intern);
    return row ? context.ArticleKey(*row) : std::string();
}

double SalePrice(const Tables& tables, std::string_view articleIntern)
{
    const auto found = tables.find(file::PriceCategories);
    if (found == tables.end())
        return 0.0;
    for (const Row& row : found->second) {
        if (SameText(Field(row, category::Article), articleIntern) && SameText(Field(row, category::Name), SaleCategory))
            return NumberField(row, category::Price);
    }
    return 0.0;
}

double WithVat(double price, double vatPercent)
{
    return Round2(price * (100.0 + vatPercent) / 100.0);
}

std::string NextCode(const Table& table, size_t column, std::string_view prefix)
{
    long highest = 0;
    for (const Row& row : table) {
        const std::string& code = Field(row, column);
        if (code.size() > prefix.size() && SameText(std::string_view(code).substr(0, prefix.size()), prefix)) {
            const auto number = ParseWhole(std::string_view(code).substr(prefix.size()));
            if (number && *number > highest)
                highest = *number;
        }
    }
    std::string digits = std::to_string(highest + 1);
    if (digits.size() < 4)
        digits.insert(0, 4 - digits.size(), '0');
    return std::string(prefix) + digits;
}

}  // namespace docserver
