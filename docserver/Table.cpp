// Plain-text reading and writing of the store's tables.
#include "Table.h"

#include "Text.h"

namespace docserver {

Table ParseTable(std::string_view text)
{
    Table table;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos)
            end = text.size();
        const std::string_view line = text.substr(start, end - start);
        if (!Trim(line).empty())
            table.push_back(SplitFields(line));
        start = end + 1;
    }
    return table;
}

std::string FormatTable(const Table& table)
{
    std::string text;
    for (const Row& row : table)
        text += JoinFields(row) + "\r\n";
    return text;
}

const std::string& Field(const Row& row, size_t column)
{
    static const std::string empty;
    return column < row.size() ? row[column] : empty;
}

double NumberField(const Row& row, size_t column)
{
    return ParseNumber(Field(row, column)).value_or(0.0);
}

const Row* FindRow(const Table& table, size_t column, std::string_view key)
{
    if (key.empty())
        return nullptr;  // an empty code names nothing, though many rows leave it empty
    for (const Row& row : table) {
        if (SameText(Field(row, column), key))
            return &row;
    }
    return nullptr;
}

Row* FindRow(Table& table, size_t column, std::string_view key)
{
    return const_cast<Row*>(FindRow(static_cast<const Table&>(table), column, key));
}

}  // namespace docserver
