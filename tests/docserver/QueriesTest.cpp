// Query rows: the field positions the service reads, and the month and argument rules.
#include "Demo.h"

#include <gtest/gtest.h>

namespace docserver {
namespace {

std::vector<std::string> RowStartingWith(const QueryResult& result, const std::string& start) {
    for (const std::string& row : result.rows) {
        if (row.rfind(start, 0) == 0) return SplitFields(row);
    }
    return {};
}

TEST(Queries, StockRowsHaveTwentyFieldsWithTheLocationAtEleven) {
    Demo demo;
    const QueryResult result = RunQuery(QueryKind::Stock, demo.Context(), {});
    ASSERT_EQ(result.rows.size(), demo.tables.at(file::Stock).size());
    for (const std::string& row : result.rows) {
        const auto fields = SplitFields(row);
        ASSERT_EQ(fields.size(), 20u) << row;
        EXPECT_NE(demo.Context().Location(fields[11]), nullptr) << row;
    }
    // Cafea boabe in the warehouse; Zahar tos, of which 20 are ordered this month.
    EXPECT_EQ(RowStartingWith(result, "A0001;"), (std::vector<std::string>{"A0001",
                                                                           "Cafea boabe 1kg",
                                                                           "BUC",
                                                                           "40",
                                                                           "9",
                                                                           "45.00",
                                                                           "1800.00",
                                                                           "A0001",
                                                                           "69.90",
                                                                           "100001",
                                                                           "76.19",
                                                                           "DEP",
                                                                           "Depozit central",
                                                                           "Cafea",
                                                                           "0",
                                                                           "40",
                                                                           "5941000000011",
                                                                           "0",
                                                                           "01.06.2025",
                                                                           "3047.60"}));
    const auto sugar = RowStartingWith(result, "A0005;");
    EXPECT_EQ(sugar[14], "20");
    EXPECT_EQ(sugar[15], "60");
}

TEST(Queries, RowsNameArticlesAndPartnersByTheKeyKind) {
    Demo demo;
    const WorkContext external = demo.Context(KeyKind::Extern, KeyKind::Extern);
    EXPECT_EQ(SplitFields(RunQuery(QueryKind::Stock, external, {}).rows.front())[0], "100001");
    EXPECT_EQ(SplitFields(RunQuery(QueryKind::PurchasePrices, external, {}).rows.front()),
              (std::vector<std::string>{"100001", "DEP", "Cafea boabe 1kg", "BUC", "40", "45.00", "9",
                                        "49.05", "01.06.2025"}));
    EXPECT_EQ(SplitFields(RunQuery(QueryKind::Partners, external, {}).rows.front())[0], "C1001");
    EXPECT_EQ(RunQuery(QueryKind::ArticleStock, external, "100001").rows.size(), 3u);
    EXPECT_EQ(RunQuery(QueryKind::ArticleStock, external, "A0001").errorCode, QueryBadArgument);
}

TEST(Queries, CatalogueRowsHaveTwentySixFieldsWithBothCodes) {
    Demo demo;
    const QueryResult result = RunQuery(QueryKind::Catalogue, demo.Context(), {});
    ASSERT_EQ(result.rows.size(), 20u);
    for (const std::string& row : result.rows) EXPECT_EQ(SplitFields(row).size(), 26u) << row;
    const auto coffee = SplitFields(result.rows.front());
    EXPECT_EQ(coffee[0], "A0001");
    EXPECT_EQ(coffee[9], "100001");
    EXPECT_EQ(coffee[10], "53");  // 40 + 5 + 8 in three locations
    EXPECT_EQ(coffee[22], "3");
    EXPECT_EQ(coffee[24], "DA");
    const auto last = SplitFields(result.rows.back());
    EXPECT_EQ(last[24], "NU");
    EXPECT_EQ(last[25], "Iese din gama");
}

TEST(Queries, MonthListsShowOnlyTheWorkingMonth) {
    Demo demo;
    WorkContext june = demo.Context();
    WorkContext july = june;
    july.month = 7;
    EXPECT_EQ(RunQuery(QueryKind::CashIns, june, {}).rows.size(), 4u);
    EXPECT_EQ(RunQuery(QueryKind::CashIns, july, {}).rows.size(), 0u);
    const QueryResult online = RunQuery(QueryKind::OnlineInvoices, june, {});
    EXPECT_EQ(online.rows, (std::vector<std::string>{
                               "5001;1;02.06.2025;P0010;Client Online Magazin;175.60;19.38;194.98",
                               "5002;2;04.06.2025;P0010;Client Online Magazin;499.00;94.81;593.81"}));
    EXPECT_TRUE(RunQuery(QueryKind::OnlineInvoices, july, {}).rows.empty());
}

TEST(Queries, ReceiptsByOrderAndByDay) {
    Demo demo;
    const struct {
        QueryKind kind;
        const char* argument;
        long errorCode;
        size_t rows;
    } cases[] = {
        {QueryKind::OrderReceipts, "5003", QueryOk, 2},
        {QueryKind::OrderReceipts, "9999", QueryOk, 0},
        {QueryKind::DayReceipts, "5", QueryOk, 3},
        {QueryKind::DayReceipts, "30", QueryOk, 0},
        {QueryKind::DayReceipts, "31", QueryBadArgument, 0},
        {QueryKind::DayReceipts, "0", QueryBadArgument, 0},
    };
    for (const auto& c : cases) {
        const QueryResult result = RunQuery(c.kind, demo.Context(), c.argument);
        EXPECT_EQ(result.errorCode, c.errorCode) << c.argument;
        EXPECT_EQ(result.rows.size(), c.rows) << c.argument;
    }
    EXPECT_EQ(RunQuery(QueryKind::OrderReceipts, demo.Context(), "5002").rows,
              (std::vector<std::string>{"5002;B102;05.06.2025;A0012;Espressor manual;1;593.81;593.81;ONL"}));
    EXPECT_EQ(RunQuery(QueryKind::DayReceipts, demo.Context(), "31").errors,
              (std::vector<std::string>{"Ziua 31 nu exista in luna de lucru 6.2025"}));
}

TEST(Queries, BalancesOfAllPartnersOrOne) {
    Demo demo;
    EXPECT_EQ(RunQuery(QueryKind::Balances, demo.Context(), "-1").rows.size(), 10u);
    EXPECT_EQ(
        RunQuery(QueryKind::Balances, demo.Context(), "P0010").rows,
        (std::vector<std::string>{"P0010;Client Online Magazin;RO24563728;0.00;788.79;788.79;0.00;0.00"}));
    const QueryResult unknown = RunQuery(QueryKind::Balances, demo.Context(), "P0099");
    EXPECT_EQ(unknown.errorCode, QueryBadArgument);
    EXPECT_EQ(unknown.errors, (std::vector<std::string>{"Partener necunoscut P0099"}));
}

}  // namespace
}  // namespace docserver
