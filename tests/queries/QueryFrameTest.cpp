// The queries' shared steps against the fake server: result files, refusals, error
// files, list shapes and the working month.
#include "support/BrokerFixture.h"

#include "base/BrokerError.h"
#include "queries/QueryKinds.h"
#include "support/RequestKinds.h"

#include "NumberedRow.h"

namespace {

class QueryFrameTest : public BrokerTest {
protected:
    void Serve(const ExpectedQuery& query) {
        broker.FCurrentRequest = query.request;
        Put(query.request, "");
        broker.AnswerQuery(ServiceQueryKind(query.request));
    }
};

TEST_F(QueryFrameTest, PlainQueriesWriteTheServerLinesUnchanged) {
    Start();
    for (const ExpectedQuery& query : PlainQueries()) {
        server.calls.clear();
        server.lists[query.Method()] = FakeList::Of({"A;1;", "", "B;G9;2"});
        Serve(query);
        EXPECT_EQ(server.CallsText(), "SetLunaLucru(2026,12) " + query.Method()) << query.request;
        EXPECT_EQ(Read(query.result), "A;1;\r\n\r\nB;G9;2\r\n") << query.request;
    }
    EXPECT_EQ(Log(), TextList{});
}

TEST_F(QueryFrameTest, StockQueryFiltersAndRebuildsRows) {
    Start();
    broker.FGestiuni = {"G1"};
    server.lists["GetStocuri"] =
        FakeList::Of({NumberedRow(20, "g1"), NumberedRow(20, "G2"), NumberedRow(16, "G1")});
    Serve(ExpectedQueryKind("GETSTOC.TXT"));
    EXPECT_EQ(server.CallsText(), "SetLunaLucru(2026,12) GetStocuri");
    EXPECT_EQ(Read("STOCURI.TXT"),
              "f0;f1;f2;f4;f16;f3;f5;f6;f8;f10;f15;;f18;g1;f19\r\n"
              "f0;f1;f2;f4;f3;f5;f6;f8;f10;f15;;G1;\r\n");
    EXPECT_EQ(Log(), TextList{});
}

TEST_F(QueryFrameTest, PurchasePriceQueryKeepsRowsWithoutLocation) {
    Start();
    broker.FGestiuni = {"G1"};
    server.lists["GetPretAchizStocuri"] = FakeList::Of({"A;g1;5", "B;G2;6", "C;;7", "D"});
    Serve(ExpectedQueryKind("GETPRETACHIZSTOC.TXT"));
    EXPECT_EQ(Read("PRETACHIZSTOCURI.TXT"), "A;g1;5\r\nC;;7\r\nD\r\n");
}

TEST_F(QueryFrameTest, ShortStockRowEndsTheQueryBeforeItsFile) {
    Start();
    Put("STOCURI.TXT", "earlier");
    server.lists["GetStocuri"] = FakeList::Of({NumberedRow(20), NumberedRow(15)});
    broker.FCurrentRequest = "GETSTOC.TXT";
    try {
        broker.AnswerQuery(QueryKindOf("GETSTOC.TXT"));
        FAIL() << "no error";
    } catch (const BrokerError& error) {
        EXPECT_STREQ(error.what(), "List index out of bounds (15)");
    }
    EXPECT_EQ(Read("STOCURI.TXT"), "earlier");
}

TEST_F(QueryFrameTest, CatalogueQueryPicksItsKeyColumnBySetting) {
    WriteIni("[Generale]\r\nDirectorLucru=" + workDir + "\r\nIDArticol=codExtern\r\n");
    Start();
    std::string row;
    for (char letter = 'a'; letter <= 'z'; ++letter) row.append(letter == 'a' ? 0 : 1, ';').append(1, letter);
    server.lists["GetInfoArticol"] = FakeList::Of({row, row.substr(0, 39)});  // 26 and 20 fields
    Serve(ExpectedQueryKind("GETINFOART.TXT"));
    EXPECT_EQ(Read("INFOART.TXT"), "a;j;b;h;c;d;s;k;t;e;f;v;y;z\r\na;j;b;h;c;d;s;k;t;e;f;;DA;\r\n");

    broker.FArticleIdKind = "CODINTERN";
    Serve(ExpectedQueryKind("GETINFOART.TXT"));
    EXPECT_EQ(Read("INFOART.TXT"), "j;a;b;h;c;d;s;k;t;e;f;v;y;z\r\nj;a;b;h;c;d;s;k;t;e;f;;DA;\r\n");
}

TEST_F(QueryFrameTest, ShortCatalogueRowEndsTheQueryBeforeItsFile) {
    Start();
    Put("INFOART.TXT", "earlier");
    server.lists["GetInfoArticol"] = FakeList::Of({NumberedRow(19)});
    broker.FCurrentRequest = "GETINFOART.TXT";
    EXPECT_THROW(broker.AnswerQuery(QueryKindOf("GETINFOART.TXT")), BrokerError);
    EXPECT_EQ(Read("INFOART.TXT"), "earlier");
}

TEST_F(QueryFrameTest, EmptyOrMissingListGivesAnEmptyFile) {
    Start();
    for (const ExpectedQuery& query : kExpectedQueries) {
        for (const FakeList& list : {FakeList{}, FakeList::Of({}), FakeList::OfVariants({})}) {
            server.calls.clear();
            Put(query.result, "earlier");
            server.lists[query.Method()] = list;
            Serve(query);
            EXPECT_EQ(server.calls, (TextList{"SetLunaLucru(2026,12)", query.call})) << query.request;
            EXPECT_TRUE(Exists(query.result)) << query.request;
            EXPECT_EQ(Read(query.result), "") << query.request << " list kind " << list.kind;
        }
    }
}

TEST_F(QueryFrameTest, VariantElementsAreReadAsText) {
    Start();
    for (const ExpectedQuery& query : kExpectedQueries) {
        if (query.request == std::string_view("GETSTOC.TXT") ||
            query.request == std::string_view("GETINFOART.TXT"))
            continue;
        FakeList list = FakeList::OfVariants({"X;1", "Y;2"});
        list.lowerBound = 3;
        server.lists[query.Method()] = list;
        Serve(query);
        EXPECT_EQ(Read(query.result), "X;1\r\nY;2\r\n") << query.request;
    }
    server.lists["GetStocuri"] = FakeList::OfVariants({NumberedRow(16)});
    Serve(ExpectedQueryKind("GETSTOC.TXT"));
    EXPECT_EQ(Read("STOCURI.TXT"), "f0;f1;f2;f4;f3;f5;f6;f8;f10;f15;;f11;\r\n");
}

TEST_F(QueryFrameTest, RefusedMonthReportsErrorsAndKeepsTheEarlierFile) {
    Start();
    server.ok["SetLunaLucru"] = 0;
    server.errors = FakeList::Of({"Luna inchisa", "A doua eroare"});
    for (const auto& query :
         {ExpectedQueryKind("GETSTOC.TXT"), ExpectedQueryKind("GETINFOCMDBONURI.TXT"),
          ExpectedQueryKind("GETINFOART.TXT"), ExpectedQueryKind("GETINCASARILUNA.TXT")}) {
        server.calls.clear();
        Put(query.result, "earlier");
        Serve(query);
        EXPECT_EQ(server.CallsText(), "SetLunaLucru(2026,12) GetListaErori") << query.request;
        EXPECT_EQ(Read(query.result), "earlier");
        EXPECT_EQ(Read("ERORI.TXT"), "Luna inchisa\r\nA doua eroare\r\n");
        EXPECT_EQ(Log().back(), "A doua eroare");
    }
    EXPECT_EQ(Log().size(), 8u);  // the plain queries log only the server's lines
}

TEST_F(QueryFrameTest, ErrorCodeReportsErrorsAndKeepsTheEarlierFile) {
    Start();
    server.errors = FakeList::Of({"Eroare 3"});
    for (const ExpectedQuery& query : PlainQueries()) {
        server.calls.clear();
        server.errorCode[query.Method()] = 3;
        server.lists[query.Method()] = FakeList::Of({"would be written"});
        Put(query.result, "earlier");
        Put("ERORI.TXT", "from before");
        Serve(query);
        EXPECT_EQ(server.CallsText(), "SetLunaLucru(2026,12) " + query.Method() + " GetListaErori");
        EXPECT_EQ(Read(query.result), "earlier") << query.request;
        EXPECT_EQ(Read("ERORI.TXT"), "Eroare 3\r\n") << query.request;
    }
    EXPECT_EQ(Log(), TextList(PlainQueries().size(), "Eroare 3"));
}

TEST_F(QueryFrameTest, ErrorFileIsDeletedFirstAndNamedAfterTheRequest) {
    WriteIni(DefaultIni() + "PrefixareErori=D\r\n");
    Start();
    Put("ERORI_GETSTOC.TXT", "old errors");
    Put("ERORI.TXT", "shared");
    Serve(ExpectedQueryKind("GETSTOC.TXT"));
    EXPECT_FALSE(Exists("ERORI_GETSTOC.TXT"));
    EXPECT_TRUE(Exists("ERORI.TXT"));

    server.errorCode["GetListaGestiuni"] = 1;
    server.errors = FakeList::Of({"E"});
    Serve(ExpectedQueryKind("GETLISTAGESTIUNI.TXT"));
    EXPECT_EQ(Read("ERORI_GETLISTAGESTIUNI.TXT"), "E\r\n");
}

TEST_F(QueryFrameTest, SuccessfulQueryRemovesTheSharedErrorFile) {
    Start();
    Put("ERORI.TXT", "from another request");
    Serve(ExpectedQueryKind("GETFACTURICMDONLINE.TXT"));
    EXPECT_FALSE(Exists("ERORI.TXT"));
}

TEST_F(QueryFrameTest, WorkingMonthFollowsTheClock) {
    Start();
    for (LocalTime day : {LocalTime{2026, 12, 31, 23, 59, 59}, LocalTime{2027, 1, 1, 0, 0, 0},
                          LocalTime{2027, 5, 9, 12, 0, 0}}) {
        today = day;
        server.calls.clear();
        Serve(ExpectedQueryKind("GETLISTAPARTENERI.TXT"));
        EXPECT_EQ(server.calls.front(),
                  "SetLunaLucru(" + std::to_string(day.year) + "," + std::to_string(day.month) + ")");
    }
}

TEST_F(QueryFrameTest, FailingServerCallLeavesTheQuery) {
    Start();
    Put("INCASARILUNA.TXT", "earlier");
    server.failures["GetIncasariLuna"] = {E_FAIL, "Baza de date indisponibila"};
    broker.FCurrentRequest = "GETINCASARILUNA.TXT";
    try {
        broker.AnswerQuery(QueryKindOf("GETINCASARILUNA.TXT"));
        FAIL() << "no error";
    } catch (const BrokerError& error) {
        EXPECT_STREQ(error.what(), "Baza de date indisponibila");
    }
    EXPECT_EQ(Read("INCASARILUNA.TXT"), "earlier");
    EXPECT_EQ(Log(), TextList{});
}

}  // namespace
