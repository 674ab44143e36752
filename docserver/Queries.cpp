// The query lists; the meaning of each field is listed in the server's README.
#include "Queries.h"

#include "Text.h"

namespace docserver {

namespace {

using Rows = std::vector<std::string>;

struct StockFigures {
    double quantity = 0;
    double purchaseValue = 0;
    int locations = 0;
};

StockFigures ArticleStock(const WorkContext& context, std::string_view intern)
{
    StockFigures figures;
    for (const Row& row : context.Get(file::Stock)) {
        if (!SameText(Field(row, stock::Article), intern))
            continue;
        const double quantity = NumberField(row, stock::Quantity);
        figures.quantity += quantity;
        figures.purchaseValue += quantity * NumberField(row, stock::PurchasePrice);
        figures.locations += quantity > 0 ? 1 : 0;
    }
    return figures;
}

// Quantity of an article on the documents of the working month; an empty location means all.
double MonthQuantity(const WorkContext& context, const char* table, std::string_view intern, std::string_view where)
{
    double total = 0;
    for (const Row& row : context.Get(table)) {
        if (SameText(Field(row, doc::Article), intern) && (where.empty() || SameText(Field(row, doc::Location), where)) &&
            InMonth(Field(row, doc::Date), context.year, context.month))
            total += NumberField(row, doc::Quantity);
    }
    return total;
}

Rows StockRows(const WorkContext& context)
{
    Rows rows;
    for (const Row& held : context.Get(file::Stock)) {
        const std::string& intern = Field(held, stock::Article);
        const std::string& where = Field(held, stock::Location);
        const Row* item = FindRow(context.Get(file::Articles), article::Intern, intern);
        const Row* place = context.Location(where);
        if (!item || !place)
            continue;
        const double quantity = NumberField(held, stock::Quantity);
        const double purchase = NumberField(held, stock::PurchasePrice);
        const double vat = NumberField(*item, article::Vat);
        const double sale = SalePrice(*context.tables, intern);
        const double ordered = MonthQuantity(context, file::Orders, intern, where);
        rows.push_back(JoinFields({context.ArticleKey(*item), Field(*item, article::Name), Field(*item, article::Unit),
                                   FormatQuantity(quantity), Field(*item, article::Vat), FormatMoney(purchase),
                                   FormatMoney(quantity * purchase), intern, FormatMoney(sale),
                                   Field(*item, article::Extern), FormatMoney(WithVat(sale, vat)), Field(*place, location::Code),
                                   Field(*place, location::Name), Field(*item, article::Group), FormatQuantity(ordered),
                                   FormatQuantity(quantity - ordered), Field(*item, article::Barcode),
                                   FormatQuantity(MonthQuantity(context, file::SupplierOrders, intern, where)),
                                   Field(held, stock::LastEntry), FormatMoney(quantity * WithVat(sale, vat))}));
    }
    return rows;
}

Rows PurchasePriceRows(const WorkContext& context)
{
    Rows rows;
    for (const Row& held : context.Get(file::Stock)) {
        const Row* item = FindRow(context.Get(file::Articles), article::Intern, Field(held, stock::Article));
        if (!item)
            continue;
        const double purchase = NumberField(held, stock::PurchasePrice);
        rows.push_back(JoinFields({context.ArticleKey(*item), Field(held, stock::Location), Field(*item, article::Name),
                                   Field(*item, article::Unit), FormatQuantity(NumberField(held, stock::Quantity)),
                                   FormatMoney(purchase), Field(*item, article::Vat),
                                   FormatMoney(WithVat(purchase, NumberField(*item, article::Vat))),
                                   Field(held, stock::LastEntry)}));
    }
    return rows;
}

Rows CatalogueRows(const WorkContext& context)
{
    Rows rows;
    for (const Row& item : context.Get(file::Articles)) {
        const std::string& intern = Field(item, article::Intern);
        const double sale = SalePrice(*context.tables, intern);
        const StockFigures held = ArticleStock(context, intern);
        long categories = 0;
        for (const Row& row : context.Get(file::PriceCategories))
            categories += SameText(Field(row, category::Article), intern) ? 1 : 0;
        rows.push_back(JoinFields({
            intern, Field(item, article::Name), Field(item, article::Unit), Field(item, article::Vat),
            FormatMoney(sale), FormatMoney(WithVat(sale, NumberField(item, article::Vat))), Field(item, article::Group),
            Field(item, article::Barcode), Field(item, article::PurchasePrice), Field(item, article::Extern),
            FormatQuantity(held.quantity), Field(item, article::MinStock), FormatMoney(held.purchaseValue),
            std::to_string(categories), FormatQuantity(MonthQuantity(context, file::Orders, intern, "")),
            FormatQuantity(MonthQuantity(context, file::SupplierOrders, intern, "")),
            FormatQuantity(MonthQuantity(context, file::Invoices, intern, "")),
            FormatQuantity(MonthQuantity(context, file::SupplierInvoices, intern, "")), Field(item, article::Weight),
            Field(item, article::Maker), Field(item, article::Country), Field(item, article::Description),
            std::to_string(held.locations), context.company, Field(item, article::Active), Field(item, article::Notes)}));
    }
    return rows;
}

Rows PriceCategoryRows(const WorkContext& context)
{
    Rows rows;
    for (const Row& price : context.Get(file::PriceCategories)) {
        const Row* item = FindRow(context.Get(file::Articles), article::Intern, Field(price, category::Article));
        if (!item)
            continue;
        const double value = NumberField(price, category::Price);
        rows.push_back(JoinFields({context.ArticleKey(*item), Field(*item, article::Name), Field(price, category::Name),
                                   FormatMoney(value), Field(*item, article::Vat),
                                   FormatMoney(WithVat(value, NumberField(*item, article::Vat))), Field(*item, article::Unit)}));
    }
    return rows;
}

Rows LocationRows(const WorkContext& context)
{
    Rows rows;
    for (const Row& place : context.Get(file::Locations))
        rows.push_back(JoinFields({Field(place, location::Code), Field(place, location::Name), Field(place, location::Kind)}));
    return rows;
}

Rows PartnerRows(const WorkContext& context)
{
    Rows rows;
    for (const Row& row : context.Get(file::Partners)) {
        rows.push_back(JoinFields({context.PartnerKey(row), Field(row, partner::Intern), Field(row, partner::Extern),
                                   Field(row, partner::Fiscal), Field(row, partner::Name), Field(row, partner::City),
                                   Field(row, partner::Address), Field(row, partner::Phone)}));
    }
    return rows;
}

struct Totals {
    double net = 0;
    double vat = 0;
};

Totals LineTotals(const Row& line)
{
    const double net = Round2(NumberField(line, doc::Quantity) * NumberField(line, doc::Price));
    return {net, Round2(net * NumberField(line, doc::Vat) / 100.0)};
}

Rows OnlineInvoiceRows(const WorkContext& context)
{
    Rows rows;
    const Table& invoices = context.Get(file::Invoices);
    for (size_t i = 0; i < invoices.size(); ++i) {
        const Row& first = invoices[i];
        if (Field(first, doc::OnlineOrder).empty() || !InMonth(Field(first, doc::Date), context.year, context.month))
            continue;
        Totals totals;
        while (i < invoices.size() && Field(invoices[i], doc::Number) == Field(first, doc::Number)) {
            const Totals line = LineTotals(invoices[i++]);
            totals.net += line.net;
            totals.vat += line.vat;
        }
        --i;
        const Row* buyer = FindRow(context.Get(file::Partners), partner::Intern, Field(first, doc::Partner));
        rows.push_back(JoinFields({Field(first, doc::OnlineOrder), Field(first, doc::Number), Field(first, doc::Date),
                                   buyer ? context.PartnerKey(*buyer) : "", buyer ? Field(*buyer, partner::Name) : "",
                                   FormatMoney(totals.net), FormatMoney(totals.vat), FormatMoney(totals.net + totals.vat)}));
    }
    return rows;
}

Rows CashInRows(const WorkContext& context)
{
    Rows rows;
    for (const Row& row : context.Get(file::CashIns)) {
        if (!InMonth(Field(row, cashin::Date), context.year, context.month))
            continue;
        const Row* payer = FindRow(context.Get(file::Partners), partner::Intern, Field(row, cashin::Partner));
        rows.push_back(JoinFields({Field(row, cashin::Number), Field(row, cashin::Date), payer ? context.PartnerKey(*payer) : "",
                                   payer ? Field(*payer, partner::Name) : "", Field(row, cashin::Amount),
                                   Field(row, cashin::Invoice), Field(row, cashin::Mode)}));
    }
    return rows;
}

std::string ReceiptRow(const WorkContext& context, const Row& row)
{
    const Row* item = FindRow(context.Get(file::Articles), article::Intern, Field(row, receipt::Article));
    const double quantity = NumberField(row, receipt::Quantity);
    const double price = NumberField(row, receipt::Price);
    return JoinFields({Field(row, receipt::Order), Field(row, receipt::Number), Field(row, receipt::Date),
                       item ? context.ArticleKey(*item) : Field(row, receipt::Article), item ? Field(*item, article::Name) : "",
                       FormatQuantity(quantity), FormatMoney(price), FormatMoney(Round2(quantity * price)),
                       Field(row, receipt::Location)});
}

QueryResult Refused(std::string error)
{
    return {QueryBadArgument, {}, {std::move(error)}};
}

QueryResult ArticleStockRows(const WorkContext& context, std::string_view code)
{
    const Row* item = context.Article(code);
    if (!item)
        return Refused("Articol necunoscut " + std::string(code));
    QueryResult result;
    const double vat = NumberField(*item, article::Vat);
    const double sale = SalePrice(*context.tables, Field(*item, article::Intern));
    for (const Row& held : context.Get(file::Stock)) {
        const Row* place = context.Location(Field(held, stock::Location));
        if (!SameText(Field(held, stock::Article), Field(*item, article::Intern)) || !place)
            continue;
        result.rows.push_back(JoinFields({context.ArticleKey(*item), Field(*place, location::Code),
                                          Field(*place, location::Name), FormatQuantity(NumberField(held, stock::Quantity)),
                                          FormatMoney(NumberField(held, stock::PurchasePrice)),
                                          FormatMoney(WithVat(sale, vat)), Field(*item, article::Unit)}));
    }
    return result;
}

QueryResult ReceiptRows(const WorkContext& context, QueryKind kind, std::string_view argument)
{
    const auto number = ParseWhole(argument);
    const Date day{context.year, context.month, static_cast<int>(number.value_or(0))};
    if (kind == QueryKind::DayReceipts && (!number || *number < 1 || *number > 31 || !ParseDate(FormatDate(day))))
        return Refused("Ziua " + std::string(argument) + " nu exista in luna de lucru " + context.MonthText());
    QueryResult result;
    for (const Row& row : context.Get(file::Receipts)) {
        const bool wanted = kind == QueryKind::DayReceipts ? Field(row, receipt::Date) == FormatDate(day)
                                                           : Field(row, receipt::Order) == argument;
        if (wanted)
            result.rows.push_back(ReceiptRow(context, row));
    }
    return result;
}

QueryResult BalanceRows(const WorkContext& context, std::string_view selector)
{
    const bool all = selector == "-1";
    if (!all && !context.Partner(selector))
        return Refused("Partener necunoscut " + std::string(selector));
    QueryResult result;
    for (const Row& row : context.Get(file::Partners)) {
        if (!all && &row != context.Partner(selector))
            continue;
        const std::string& intern = Field(row, partner::Intern);
        auto invoiced = [&](const char* table) {
            double total = 0;
            for (const Row& line : context.Get(table)) {
                if (SameText(Field(line, doc::Partner), intern)) {
                    const Totals totals = LineTotals(line);
                    total += totals.net + totals.vat;
                }
            }
            return total;
        };
        double paid = 0;
        for (const Row& cash : context.Get(file::CashIns))
            paid += SameText(Field(cash, cashin::Partner), intern) ? NumberField(cash, cashin::Amount) : 0.0;
        const double opening = NumberField(row, partner::Opening);
        const double sold = invoiced(file::Invoices);
        const double bought = invoiced(file::SupplierInvoices);
        result.rows.push_back(JoinFields({context.PartnerKey(row), Field(row, partner::Name), Field(row, partner::Fiscal),
                                          FormatMoney(opening), FormatMoney(sold), FormatMoney(paid), FormatMoney(bought),
                                          FormatMoney(opening + sold - paid - bought)}));
    }
    return result;
}

QueryResult Plain(Rows rows)
{
    return {QueryOk, std::move(rows), {}};
}

}  // namespace

QueryResult RunQuery(QueryKind kind, const WorkContext& context, std::string_view argument)
{
    switch (kind) {
    case QueryKind::Stock: return Plain(StockRows(context));
    case QueryKind::PurchasePrices: return Plain(PurchasePriceRows(context));
    case QueryKind::Catalogue: return Plain(CatalogueRows(context));
    case QueryKind::PriceCategories: return Plain(PriceCategoryRows(context));
    case QueryKind::Locations: return Plain(LocationRows(context));
    case QueryKind::Partners: return Plain(PartnerRows(context));
    case QueryKind::OnlineInvoices: return Plain(OnlineInvoiceRows(context));
    case QueryKind::CashIns: return Plain(CashInRows(context));
    case QueryKind::ArticleStock: return ArticleStockRows(context, argument);
    case QueryKind::OrderReceipts:
    case QueryKind::DayReceipts: return ReceiptRows(context, kind, argument);
    case QueryKind::Balances: return BalanceRows(context, argument);
    }
    return {};
}

}  // namespace docserver
