// The queries' shared steps against the fake server: result files, refusals, error
// files, list shapes and the working month.
#include "support/BrokerFixture.h"

#include "base/BrokerError.h"

#include "NumberedRow.h"

namespace {

using Lines = std::vector<std::string>;
using Handler = void (TEBroker::*)();

struct QueryCase {
    Handler handler;
    const char* request;
    const char* method;
    const char* result;
};

// The queries whose lines go out unchanged, with no parameter.
const QueryCase kPlainQueries[] = {
    {&TEBroker::ServeGetPretArt, "GETPRETART.TXT", "GetListaArtCatPret", "LISTAARTCATPRET.TXT"},
    {&TEBroker::ServeGetListaGestiuni, "GETLISTAGESTIUNI.TXT", "GetListaGestiuni", "LISTAGESTIUNI.TXT"},
    {&TEBroker::ServeGetListaParteneri, "GETLISTAPARTENERI.TXT", "GetListaParteneri", "LISTAPARTENERI.TXT"},
    {&TEBroker::ServeGetFacturiCmdOnline, "GETFACTURICMDONLINE.TXT", "GetFacturiCmdOnline", "FACTURICMDONLINE.TXT"},
    {&TEBroker::ServeGetIncasariLuna, "GETINCASARILUNA.TXT", "GetIncasariLuna", "INCASARILUNA.TXT"},
    {&TEBroker::ServeGetPretAchizStoc, "GETPRETACHIZSTOC.TXT", "GetPretAchizStocuri", "PRETACHIZSTOCURI.TXT"},
};

// Every query, with the call the fake records for an empty request file.
const QueryCase kAllQueries[] = {
    {&TEBroker::ServeGetStoc, "GETSTOC.TXT", "GetStocuri", "STOCURI.TXT"},
    {&TEBroker::ServeGetPretAchizStoc, "GETPRETACHIZSTOC.TXT", "GetPretAchizStocuri", "PRETACHIZSTOCURI.TXT"},
    {&TEBroker::ServeGetInfoCmdBon, "GETINFOCMDBON.TXT", "GetInfoCmdBon(0)", "INFOCMDBON.TXT"},
    {&TEBroker::ServeGetStocArticol, "GETSTOCARTICOL.TXT", "GetStocArticol(qqqqqq,0)", "STOCARTICOL.TXT"},
    {&TEBroker::ServeGetInfoCmdBonuri, "GETINFOCMDBONURI.TXT", "GetInfoCmdBonuri(0)", "INFOCMDBONURI.TXT"},
    {&TEBroker::ServeGetInfoArt, "GETINFOART.TXT", "GetInfoArticol", "INFOART.TXT"},
    {&TEBroker::ServeGetPretArt, "GETPRETART.TXT", "GetListaArtCatPret", "LISTAARTCATPRET.TXT"},
    {&TEBroker::ServeGetListaGestiuni, "GETLISTAGESTIUNI.TXT", "GetListaGestiuni", "LISTAGESTIUNI.TXT"},
    {&TEBroker::ServeGetListaParteneri, "GETLISTAPARTENERI.TXT", "GetListaParteneri", "LISTAPARTENERI.TXT"},
    {&TEBroker::ServeGetFacturiCmdOnline, "GETFACTURICMDONLINE.TXT", "GetFacturiCmdOnline", "FACTURICMDONLINE.TXT"},
    {&TEBroker::ServeGetIncasariLuna, "GETINCASARILUNA.TXT", "GetIncasariLuna", "INCASARILUNA.TXT"},
};

// The list method's name as the fake keys its scripts: the recorded call up to "(".
std::string MethodKey(const QueryCase& query) {
    std::string call = query.method;
    return call.substr(0, call.find('('));
}

class QueryFrameTest : public BrokerTest {
protected:
    void Serve(const QueryCase& query) {
        broker.FCurrentRequest = query.request;
        Put(query.request, "");
        (broker.*query.handler)();
    }
};

TEST_F(QueryFrameTest, PlainQueriesWriteTheServerLinesUnchanged) {
    Start();
    for (const auto& query : kPlainQueries) {
        server.calls.clear();
        server.lists[MethodKey(query)] = FakeList::Of({"A;1;", "", "B;G9;2"});
        Serve(query);
        EXPECT_EQ(server.CallsText(), "SetLunaLucru(2026,12) " + MethodKey(query)) << query.request;
        EXPECT_EQ(Read(query.result), "A;1;\r\n\r\nB;G9;2\r\n") << query.request;
    }
    EXPECT_EQ(Log(), Lines{});
}

TEST_F(QueryFrameTest, StockQueryFiltersAndRebuildsRows) {
    Start();
    broker.FGestiuni = {"G1"};
    server.lists["GetStocuri"] = FakeList::Of({NumberedRow(20, "g1"), NumberedRow(20, "G2"), NumberedRow(16, "G1")});
    Serve(kAllQueries[0]);
    EXPECT_EQ(server.CallsText(), "SetLunaLucru(2026,12) GetStocuri");
    EXPECT_EQ(Read("STOCURI.TXT"),
              "f0;f1;f2;f4;f16;f3;f5;f6;f8;f10;f15;;f18;g1;f19\r\n"
              "f0;f1;f2;f4;f3;f5;f6;f8;f10;f15;;G1;\r\n");
    EXPECT_EQ(Log(), Lines{});
}

TEST_F(QueryFrameTest, PurchasePriceQueryKeepsRowsWithoutLocation) {
    Start();
    broker.FGestiuni = {"G1"};
    server.lists["GetPretAchizStocuri"] = FakeList::Of({"A;g1;5", "B;G2;6", "C;;7", "D"});
    Serve(kAllQueries[1]);
    EXPECT_EQ(Read("PRETACHIZSTOCURI.TXT"), "A;g1;5\r\nC;;7\r\nD\r\n");
}

TEST_F(QueryFrameTest, ShortStockRowEndsTheQueryBeforeItsFile) {
    Start();
    Put("STOCURI.TXT", "earlier");
    server.lists["GetStocuri"] = FakeList::Of({NumberedRow(20), NumberedRow(15)});
    broker.FCurrentRequest = "GETSTOC.TXT";
    try {
        broker.ServeGetStoc();
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
    server.lists["GetInfoArticol"] = FakeList::Of({row, row.substr(0, 39)});   // 26 and 20 fields
    Serve(kAllQueries[5]);
    EXPECT_EQ(Read("INFOART.TXT"), "a;j;b;h;c;d;s;k;t;e;f;v;y;z\r\na;j;b;h;c;d;s;k;t;e;f;;DA;\r\n");

    broker.FArticleIdKind = "CODINTERN";
    Serve(kAllQueries[5]);
    EXPECT_EQ(Read("INFOART.TXT"), "j;a;b;h;c;d;s;k;t;e;f;v;y;z\r\nj;a;b;h;c;d;s;k;t;e;f;;DA;\r\n");
}

TEST_F(QueryFrameTest, ShortCatalogueRowEndsTheQueryBeforeItsFile) {
    Start();
    Put("INFOART.TXT", "earlier");
    server.lists["GetInfoArticol"] = FakeList::Of({NumberedRow(19)});
    broker.FCurrentRequest = "GETINFOART.TXT";
    EXPECT_THROW(broker.ServeGetInfoArt(), BrokerError);
    EXPECT_EQ(Read("INFOART.TXT"), "earlier");
}

TEST_F(QueryFrameTest, EmptyOrMissingListGivesAnEmptyFile) {
    Start();
    for (const auto& query : kAllQueries) {
        for (const FakeList& list : {FakeList{}, FakeList::Of({}), FakeList::OfVariants({})}) {
            server.calls.clear();
            Put(query.result, "earlier");
            server.lists[MethodKey(query)] = list;
            Serve(query);
            EXPECT_EQ(server.calls, (Lines{"SetLunaLucru(2026,12)", query.method})) << query.request;
            EXPECT_TRUE(Exists(query.result)) << query.request;
            EXPECT_EQ(Read(query.result), "") << query.request << " list kind " << list.kind;
        }
    }
}

TEST_F(QueryFrameTest, VariantElementsAreReadAsText) {
    Start();
    for (const auto& query : kAllQueries) {
        if (query.handler == &TEBroker::ServeGetStoc || query.handler == &TEBroker::ServeGetInfoArt) continue;
        FakeList list = FakeList::OfVariants({"X;1", "Y;2"});
        list.lowerBound = 3;
        server.lists[MethodKey(query)] = list;
        Serve(query);
        EXPECT_EQ(Read(query.result), "X;1\r\nY;2\r\n") << query.request;
    }
    server.lists["GetStocuri"] = FakeList::OfVariants({NumberedRow(16)});
    Serve(kAllQueries[0]);
    EXPECT_EQ(Read("STOCURI.TXT"), "f0;f1;f2;f4;f3;f5;f6;f8;f10;f15;;f11;\r\n");
}

TEST_F(QueryFrameTest, RefusedMonthReportsErrorsAndKeepsTheEarlierFile) {
    Start();
    server.ok["SetLunaLucru"] = 0;
    server.errors = FakeList::Of({"Luna inchisa", "A doua eroare"});
    for (const auto& query : {kAllQueries[0], kAllQueries[4], kAllQueries[5], kAllQueries[10]}) {
        server.calls.clear();
        Put(query.result, "earlier");
        Serve(query);
        EXPECT_EQ(server.CallsText(), "SetLunaLucru(2026,12) GetListaErori") << query.request;
        EXPECT_EQ(Read(query.result), "earlier");
        EXPECT_EQ(Read("ERORI.TXT"), "Luna inchisa\r\nA doua eroare\r\n");
        EXPECT_EQ(Log().back(), "A doua eroare");
    }
    EXPECT_EQ(Log().size(), 8u);   // the plain queries log only the server's lines
}

TEST_F(QueryFrameTest, ErrorCodeReportsErrorsAndKeepsTheEarlierFile) {
    Start();
    server.errors = FakeList::Of({"Eroare 3"});
    for (const auto& query : kPlainQueries) {
        server.calls.clear();
        server.errorCode[MethodKey(query)] = 3;
        server.lists[MethodKey(query)] = FakeList::Of({"would be written"});
        Put(query.result, "earlier");
        Put("ERORI.TXT", "from before");
        Serve(query);
        EXPECT_EQ(server.CallsText(), "SetLunaLucru(2026,12) " + MethodKey(query) + " GetListaErori");
        EXPECT_EQ(Read(query.result), "earlier") << query.request;
        EXPECT_EQ(Read("ERORI.TXT"), "Eroare 3\r\n") << query.request;
    }
    EXPECT_EQ(Log(), Lines(std::size(kPlainQueries), "Eroare 3"));
}

TEST_F(QueryFrameTest, ErrorFileIsDeletedFirstAndNamedAfterTheRequest) {
    WriteIni(DefaultIni() + "PrefixareErori=D\r\n");
    Start();
    Put("ERORI_GETSTOC.TXT", "old errors");
    Put("ERORI.TXT", "shared");
    Serve(kAllQueries[0]);
    EXPECT_FALSE(Exists("ERORI_GETSTOC.TXT"));
    EXPECT_TRUE(Exists("ERORI.TXT"));

    server.errorCode["GetListaGestiuni"] = 1;
    server.errors = FakeList::Of({"E"});
    Serve(kAllQueries[7]);
    EXPECT_EQ(Read("ERORI_GETLISTAGESTIUNI.TXT"), "E\r\n");
}

TEST_F(QueryFrameTest, SuccessfulQueryRemovesTheSharedErrorFile) {
    Start();
    Put("ERORI.TXT", "from another request");
    Serve(kAllQueries[9]);
    EXPECT_FALSE(Exists("ERORI.TXT"));
}

TEST_F(QueryFrameTest, WorkingMonthFollowsTheClock) {
    Start();
    for (LocalTime day : {LocalTime{2026, 12, 31, 23, 59, 59}, LocalTime{2027, 1, 1, 0, 0, 0},
                          LocalTime{2027, 5, 9, 12, 0, 0}}) {
        today = day;
        server.calls.clear();
        Serve(kAllQueries[8]);
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
        broker.ServeGetIncasariLuna();
        FAIL() << "no error";
    } catch (const BrokerError& error) {
        EXPECT_STREQ(error.what(), "Baza de date indisponibila");
    }
    EXPECT_EQ(Read("INCASARILUNA.TXT"), "earlier");
    EXPECT_EQ(Log(), Lines{});
}

}  // namespace
