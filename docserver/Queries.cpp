// The query lists; the meaning of each field is listed in the server's README.
#include "Book.h"

namespace docserver {

namespace {

using Rows = std::vector<std::string>;

// Quantity of an article on the documents of the working month; an empty location means all.
double MonthQuantity(const WorkContext& context, const char* table, std::string_view intern,
                     std::string_view where = {}) {
    double total = 0;
    for (const Row& row : context.Get(table)) {
        if (SameText(Field(row, doc::Article), intern) &&
            (where.empty() || SameText(Field(row, doc::Location), where)) &&
            InMonth(Field(row, doc::Date), context.year, context.month))
            total += NumberField(row, doc::Quantity);
    }
    return total;
}

// A document line's value with VAT, or its net value or VAT alone.
double LineValue(const Row& line, bool net = true, bool vat = true) {
    const double value = Round2(NumberField(line, doc::Quantity) * NumberField(line, doc::Price));
    return (net ? value : 0.0) + (vat ? Round2(value * NumberField(line, doc::Vat) / 100.0) : 0.0);
}

// Calls `add` with every stock row whose article, and location when `placed`, are known.
template <class Add>
void EachStock(const WorkContext& context, bool placed, Add&& add) {
    for (const Row& held : context.Get(file::Stock)) {
        const Row* item = context.ByIntern(file::Articles, Field(held, stock::Article));
        const Row* place = context.Location(Field(held, stock::Location));
        if (item && (place || !placed))
            add(held, *item, place, NumberField(held, stock::Quantity),
                NumberField(held, stock::PurchasePrice));
    }
}

Rows StockRows(const WorkContext& context) {
    Rows rows;
    EachStock(context, true,
              [&](const Row& held, const Row& item, const Row* place, double quantity, double purchase) {
                  const std::string& intern = Field(item, article::Intern);
                  const double sale = context.SalePrice(intern);
                  const double saleWithVat = WithVat(sale, NumberField(item, article::Vat));
                  const double ordered =
                      MonthQuantity(context, file::Orders, intern, Field(*place, location::Code));
                  const double supplied =
                      MonthQuantity(context, file::SupplierOrders, intern, Field(*place, location::Code));
                  rows.push_back(JoinFields({context.ArticleKey(item),
                                             Field(item, article::Name),
                                             Field(item, article::Unit),
                                             FormatQuantity(quantity),
                                             Field(item, article::Vat),
                                             FormatMoney(purchase),
                                             FormatMoney(quantity * purchase),
                                             intern,
                                             FormatMoney(sale),
                                             Field(item, article::Extern),
                                             FormatMoney(saleWithVat),
                                             Field(*place, location::Code),
                                             Field(*place, location::Name),
                                             Field(item, article::Group),
                                             FormatQuantity(ordered),
                                             FormatQuantity(quantity - ordered),
                                             Field(item, article::Barcode),
                                             FormatQuantity(supplied),
                                             Field(held, stock::LastEntry),
                                             FormatMoney(quantity * saleWithVat)}));
              });
    return rows;
}

Rows PurchasePriceRows(const WorkContext& context) {
    Rows rows;
    EachStock(
        context, false, [&](const Row& held, const Row& item, const Row*, double quantity, double purchase) {
            rows.push_back(JoinFields(
                {context.ArticleKey(item), Field(held, stock::Location), Field(item, article::Name),
                 Field(item, article::Unit), FormatQuantity(quantity), FormatMoney(purchase),
                 Field(item, article::Vat), FormatMoney(WithVat(purchase, NumberField(item, article::Vat))),
                 Field(held, stock::LastEntry)}));
        });
    return rows;
}

Rows CatalogueRows(const WorkContext& context) {
    Rows rows;
    for (const Row& item : context.Get(file::Articles)) {
        const std::string& intern = Field(item, article::Intern);
        double quantity = 0, value = 0;
        long locations = 0, categories = 0;
        EachStock(context, false,
                  [&](const Row&, const Row& stocked, const Row*, double count, double purchase) {
                      if (&stocked == &item) {
                          quantity += count;
                          value += count * purchase;
                          locations += count > 0 ? 1 : 0;
                      }
                  });
        for (const Row& price : context.Get(file::PriceCategories))
            categories += SameText(Field(price, category::Article), intern) ? 1 : 0;
        const double sale = context.SalePrice(intern);
        Row fields = {intern,
                      Field(item, article::Name),
                      Field(item, article::Unit),
                      Field(item, article::Vat),
                      FormatMoney(sale),
                      FormatMoney(WithVat(sale, NumberField(item, article::Vat))),
                      Field(item, article::Group),
                      Field(item, article::Barcode),
                      Field(item, article::PurchasePrice),
                      Field(item, article::Extern),
                      FormatQuantity(quantity),
                      Field(item, article::MinStock),
                      FormatMoney(value),
                      std::to_string(categories)};
        for (const char* table : {file::Orders, file::SupplierOrders, file::Invoices, file::SupplierInvoices})
            fields.push_back(FormatQuantity(MonthQuantity(context, table, intern)));
        fields.insert(fields.end(), {Field(item, article::Weight), Field(item, article::Maker),
                                     Field(item, article::Country), Field(item, article::Description),
                                     std::to_string(locations), context.company, Field(item, article::Active),
                                     Field(item, article::Notes)});
        rows.push_back(JoinFields(fields));
    }
    return rows;
}

Rows PriceCategoryRows(const WorkContext& context) {
    Rows rows;
    for (const Row& price : context.Get(file::PriceCategories)) {
        if (const Row* item = context.ByIntern(file::Articles, Field(price, category::Article))) {
            const double value = NumberField(price, category::Price);
            rows.push_back(
                JoinFields({context.ArticleKey(*item), Field(*item, article::Name),
                            Field(price, category::Name), FormatMoney(value), Field(*item, article::Vat),
                            FormatMoney(WithVat(value, NumberField(*item, article::Vat))),
                            Field(*item, article::Unit)}));
        }
    }
    return rows;
}

Rows LocationRows(const WorkContext& context) {
    Rows rows;
    for (const Row& place : context.Get(file::Locations))
        rows.push_back(JoinFields(
            {Field(place, location::Code), Field(place, location::Name), Field(place, location::Kind)}));
    return rows;
}

Rows PartnerRows(const WorkContext& context) {
    Rows rows;
    for (const Row& row : context.Get(file::Partners)) {
        rows.push_back(
            JoinFields({context.PartnerKey(row), Field(row, partner::Intern), Field(row, partner::Extern),
                        Field(row, partner::Fiscal), Field(row, partner::Name), Field(row, partner::City),
                        Field(row, partner::Address), Field(row, partner::Phone)}));
    }
    return rows;
}

// The partner's key and name, empty when the partner is unknown.
std::string PartnerNames(const WorkContext& context, std::string_view intern) {
    const Row* found = context.ByIntern(file::Partners, intern);
    return found ? JoinFields({context.PartnerKey(*found), Field(*found, partner::Name)}) : ";";
}

// One row per invoice, whose lines follow each other in the table.
Rows OnlineInvoiceRows(const WorkContext& context) {
    Rows rows;
    const Table& invoices = context.Get(file::Invoices);
    for (size_t i = 0, next = 0; i < invoices.size(); i = next) {
        const Row& first = invoices[i];
        double net = 0, vat = 0;
        for (next = i;
             next < invoices.size() && Field(invoices[next], doc::Number) == Field(first, doc::Number);
             ++next) {
            net += LineValue(invoices[next], true, false);
            vat += LineValue(invoices[next], false, true);
        }
        if (!Field(first, doc::OnlineOrder).empty() &&
            InMonth(Field(first, doc::Date), context.year, context.month))
            rows.push_back(
                JoinFields({Field(first, doc::OnlineOrder), Field(first, doc::Number),
                            Field(first, doc::Date), PartnerNames(context, Field(first, doc::Partner)),
                            FormatMoney(net), FormatMoney(vat), FormatMoney(net + vat)}));
    }
    return rows;
}

Rows CashInRows(const WorkContext& context) {
    Rows rows;
    for (const Row& row : context.Get(file::CashIns)) {
        if (InMonth(Field(row, cashin::Date), context.year, context.month))
            rows.push_back(
                JoinFields({Field(row, cashin::Number), Field(row, cashin::Date),
                            PartnerNames(context, Field(row, cashin::Partner)), Field(row, cashin::Amount),
                            Field(row, cashin::Invoice), Field(row, cashin::Mode)}));
    }
    return rows;
}

QueryResult Refused(std::string error) { return {QueryBadArgument, {}, {std::move(error)}}; }

QueryResult ArticleStockRows(const WorkContext& context, std::string_view code) {
    const Row* only = context.Article(code);
    if (!only) return Refused("Articol necunoscut " + std::string(code));
    QueryResult result;
    const double saleWithVat =
        WithVat(context.SalePrice(Field(*only, article::Intern)), NumberField(*only, article::Vat));
    EachStock(
        context, true, [&](const Row&, const Row& item, const Row* place, double quantity, double purchase) {
            if (&item == only)
                result.rows.push_back(JoinFields({context.ArticleKey(item), Field(*place, location::Code),
                                                  Field(*place, location::Name), FormatQuantity(quantity),
                                                  FormatMoney(purchase), FormatMoney(saleWithVat),
                                                  Field(item, article::Unit)}));
        });
    return result;
}

// The receipts of an online order, or of a day of the working month.
QueryResult ReceiptRows(const WorkContext& context, QueryKind kind, std::string_view argument) {
    const auto number = ParseWhole(argument);
    const std::string day =
        FormatDate({context.year, context.month, static_cast<int>(number.value_or(0) % 100)});
    if (kind == QueryKind::DayReceipts && (!number || *number < 1 || *number > 31 || !ParseDate(day)))
        return Refused("Ziua " + std::string(argument) + " nu exista in luna de lucru " +
                       context.MonthText());
    QueryResult result;
    for (const Row& row : context.Get(file::Receipts)) {
        if (kind == QueryKind::DayReceipts ? Field(row, receipt::Date) != day
                                           : Field(row, receipt::Order) != argument)
            continue;
        const Row* item = context.ByIntern(file::Articles, Field(row, receipt::Article));
        const double quantity = NumberField(row, receipt::Quantity);
        const double price = NumberField(row, receipt::Price);
        result.rows.push_back(
            JoinFields({Field(row, receipt::Order), Field(row, receipt::Number), Field(row, receipt::Date),
                        item ? context.ArticleKey(*item) : Field(row, receipt::Article),
                        item ? Field(*item, article::Name) : "", FormatQuantity(quantity), FormatMoney(price),
                        FormatMoney(Round2(quantity * price)), Field(row, receipt::Location)}));
    }
    return result;
}

// Opening balance, plus invoiced to the partner, less cashed in, less invoiced by the partner as supplier.
QueryResult BalanceRows(const WorkContext& context, std::string_view selector) {
    const Row* only = selector == "-1" ? nullptr : context.Partner(selector);
    if (selector != "-1" && !only) return Refused("Partener necunoscut " + std::string(selector));
    QueryResult result;
    for (const Row& row : context.Get(file::Partners)) {
        const std::string& intern = Field(row, partner::Intern);
        double totals[3] = {};  // sold, paid, bought
        for (const Row& line : context.Get(file::Invoices))
            totals[0] += SameText(Field(line, doc::Partner), intern) ? LineValue(line) : 0.0;
        for (const Row& cash : context.Get(file::CashIns))
            totals[1] +=
                SameText(Field(cash, cashin::Partner), intern) ? NumberField(cash, cashin::Amount) : 0.0;
        for (const Row& line : context.Get(file::SupplierInvoices))
            totals[2] += SameText(Field(line, doc::Partner), intern) ? LineValue(line) : 0.0;
        const double opening = NumberField(row, partner::Opening);
        if (!only || &row == only)
            result.rows.push_back(JoinFields(
                {context.PartnerKey(row), Field(row, partner::Name), Field(row, partner::Fiscal),
                 FormatMoney(opening), FormatMoney(totals[0]), FormatMoney(totals[1]), FormatMoney(totals[2]),
                 FormatMoney(opening + totals[0] - totals[1] - totals[2])}));
    }
    return result;
}

}  // namespace

QueryResult RunQuery(QueryKind kind, const WorkContext& context, std::string_view argument) {
    using Lister = Rows (*)(const WorkContext&);
    constexpr Lister listers[] = {StockRows,    PurchasePriceRows, CatalogueRows,     PriceCategoryRows,
                                  LocationRows, PartnerRows,       OnlineInvoiceRows, CashInRows};
    switch (kind) {
    case QueryKind::ArticleStock: return ArticleStockRows(context, argument);
    case QueryKind::OrderReceipts:
    case QueryKind::DayReceipts: return ReceiptRows(context, kind, argument);
    case QueryKind::Balances: return BalanceRows(context, argument);
    default: return {QueryOk, listers[static_cast<size_t>(kind)](context), {}};
    }
}

}  // namespace docserver
