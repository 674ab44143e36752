// The parameter queries: what they read from the request file and the trace they log.
#include "support/BrokerFixture.h"

#include "queries/QueryKinds.h"

#include "base/BrokerError.h"

namespace {

class TracedQueryTest : public BrokerTest {
protected:
    void SetUp() override {
        BrokerTest::SetUp();
        Start();
    }
    static TextList Stamped(const TextList& texts) {
        TextList lines;
        for (const auto& text : texts) lines.push_back(Stamp() + text);
        return lines;
    }
    void ServeInfoCmdBon(const std::string& request) {
        Put("GETINFOCMDBON.TXT", request);
        broker.FCurrentRequest = "GETINFOCMDBON.TXT";
        broker.AnswerQuery(QueryKindOf("GETINFOCMDBON.TXT"));
    }
    void ServeStocArticol(const std::string& request) {
        Put("GETSTOCARTICOL.TXT", request);
        broker.FCurrentRequest = "GETSTOCARTICOL.TXT";
        broker.AnswerQuery(QueryKindOf("GETSTOCARTICOL.TXT"));
    }
};

TEST_F(TracedQueryTest, OrderQueryLogsEveryStep) {
    server.lists["GetInfoCmdBon"] = FakeList::Of({"B1", "B2", "B3", "B4", "B5"});
    ServeInfoCmdBon("42\r\n7\r\n");
    EXPECT_EQ(server.CallsText(), "SetLunaLucru(2026,12) GetInfoCmdBon(42)");
    EXPECT_EQ(Log(),
              Stamped({" ... Setez luna lucru 2026_12", " ... Citesc informatii bonuri pentru comanda 42",
                       " ... Functiea GetInfoCmdBon a fost rulata fara eroare ", " ... Cod Eroare :0",
                       " ... Au fost returnate :4 linii",
                       " ... Scriu informatiile in " + workDir + "\\INFOCMDBON.TXT"}));
    EXPECT_EQ(Read("INFOCMDBON.TXT"), "B1\r\nB2\r\nB3\r\nB4\r\nB5\r\n");
}

TEST_F(TracedQueryTest, ReturnedCountIsTheUpperBound) {
    FakeList list = FakeList::OfVariants({"X", "Y"});
    list.lowerBound = 3;
    server.lists["GetStocArticol"] = list;
    ServeStocArticol("A1");
    EXPECT_EQ(Log()[4], Stamp() + " ... Au fost returnate :4 linii");
    server.lists["GetStocArticol"] = FakeList::Of({});
    ServeStocArticol("A1");
    EXPECT_EQ(Log()[10], Stamp() + " ... Au fost returnate :-1 linii");
    EXPECT_EQ(Read("STOCARTICOL.TXT"), "");
}

TEST_F(TracedQueryTest, ArticleQueryLogsEveryStepAndKeepsBlanks) {
    today = {2026, 5, 1, 8, 0, 0};
    server.lists["GetStocArticol"] = FakeList::Of({"A1;G1;5"});
    ServeStocArticol("  A1 \r\n");
    EXPECT_EQ(server.CallsText(), "SetLunaLucru(2026,5) GetStocArticol(  A1 ,0)");
    EXPECT_EQ(Log(), Stamped({" ... Setez luna lucru 2026_5", " ... Citesc stoc articol   A1 ",
                              " ... Functia GetStocArticol a fost rulata fara eroare ", " ... Cod Eroare :0",
                              " ... Au fost returnate :0 linii",
                              " ... Scriu informatiile in " + workDir + "\\STOCARTICOL.TXT"}));
    EXPECT_EQ(Read("STOCARTICOL.TXT"), "A1;G1;5\r\n");
}

TEST_F(TracedQueryTest, EmptyRequestAsksForTheDefaults) {
    ServeStocArticol("");
    EXPECT_EQ(server.calls.back(), "GetStocArticol(qqqqqq,0)");
    EXPECT_EQ(Log()[1], Stamp() + " ... Citesc stoc articol qqqqqq");
    ServeInfoCmdBon("");
    EXPECT_EQ(server.calls.back(), "GetInfoCmdBon(0)");
}

TEST_F(TracedQueryTest, OnlyAFilledFirstLineGivesTheNumber) {
    struct Case {
        const char* request;
        const char* call;
    } cases[] = {
        {"\r\n42", "GetInfoCmdBon(0)"}, {"abc", "GetInfoCmdBon(0)"}, {"12abc", "GetInfoCmdBon(0)"},
        {"-12", "GetInfoCmdBon(-12)"},  {"12", "GetInfoCmdBon(12)"},
    };
    for (const auto& c : cases) {
        ServeInfoCmdBon(c.request);
        EXPECT_EQ(server.calls.back(), c.call) << c.request;
    }
    ServeStocArticol("\r\nA1");
    EXPECT_EQ(server.calls.back(), "GetStocArticol(qqqqqq,0)");
}

TEST_F(TracedQueryTest, RaisingListCallIsLoggedAndTheQueryGoesOn) {
    Put("STOCARTICOL.TXT", "earlier");
    server.failures["GetStocArticol"] = {E_FAIL, "Articol blocat de alt utilizator"};
    ServeStocArticol("A1");
    EXPECT_EQ(
        Log(),
        Stamped({" ... Setez luna lucru 2026_12", " ... Citesc stoc articol A1",
                 " ... Exceptie la rularea functiei GetStocArticol ... Articol blocat de alt utilizator",
                 " ... Cod Eroare :0", " ... Scriu informatiile in " + workDir + "\\STOCARTICOL.TXT"}));
    EXPECT_EQ(Read("STOCARTICOL.TXT"), "");

    server.failures["GetInfoCmdBon"] = {E_FAIL, "Comanda inexistenta"};
    ServeInfoCmdBon("9");
    EXPECT_EQ(Log()[7], Stamp() + " ... Exceptie la rularea functiei GetInfoCmdBon ... Comanda inexistenta");
    EXPECT_EQ(Read("INFOCMDBON.TXT"), "");
}

TEST_F(TracedQueryTest, ErrorCodeIsLoggedThenReported) {
    Put("INFOCMDBON.TXT", "earlier");
    server.errorCode["GetInfoCmdBon"] = 17;
    server.errors = FakeList::Of({"Bonul nu exista"});
    ServeInfoCmdBon("5");
    TextList expected =
        Stamped({" ... Setez luna lucru 2026_12", " ... Citesc informatii bonuri pentru comanda 5",
                 " ... Functiea GetInfoCmdBon a fost rulata fara eroare ", " ... Cod Eroare :17",
                 " ... Eroare la citire informatii bon"});
    expected.push_back("Bonul nu exista");
    EXPECT_EQ(Log(), expected);
    EXPECT_EQ(Read("INFOCMDBON.TXT"), "earlier");
    EXPECT_EQ(Read("ERORI.TXT"), "Bonul nu exista\r\n");

    server.errorCode["GetStocArticol"] = 2;
    ServeStocArticol("A1");
    EXPECT_EQ(Log()[10], Stamp() + " ... Eroare la citire stoc articol");
}

TEST_F(TracedQueryTest, RefusedMonthIsLoggedThenReported) {
    server.ok["SetLunaLucru"] = 0;
    server.errors = FakeList::Of({"Luna blocata"});
    Put("ERORI.TXT", "earlier errors");
    ServeInfoCmdBon("5");
    EXPECT_EQ(server.CallsText(), "SetLunaLucru(2026,12) GetListaErori");
    TextList expected = Stamped({" ... Setez luna lucru 2026_12", " ... Eroare la setarea lunii de lucru"});
    expected.push_back("Luna blocata");
    EXPECT_EQ(Log(), expected);
    EXPECT_EQ(Read("ERORI.TXT"), "Luna blocata\r\n");
    EXPECT_FALSE(Exists("INFOCMDBON.TXT"));
}

TEST_F(TracedQueryTest, DayQueryLogsOneLine) {
    Put("GETINFOCMDBONURI.TXT", "15\r\n");
    broker.FCurrentRequest = "GETINFOCMDBONURI.TXT";
    server.lists["GetInfoCmdBonuri"] = FakeList::Of({"Z1", "Z2"});
    broker.AnswerQuery(QueryKindOf("GETINFOCMDBONURI.TXT"));
    EXPECT_EQ(server.CallsText(), "SetLunaLucru(2026,12) GetInfoCmdBonuri(15)");
    EXPECT_EQ(Log(), Stamped({" ... Citesc informatii bonuri pentru ziua 15"}));
    EXPECT_EQ(Read("INFOCMDBONURI.TXT"), "Z1\r\nZ2\r\n");

    // Unguarded: a raising call leaves the handler.
    server.failures["GetInfoCmdBonuri"] = {E_FAIL, "Zi invalida"};
    EXPECT_THROW(broker.AnswerQuery(QueryKindOf("GETINFOCMDBONURI.TXT")), BrokerError);
    EXPECT_EQ(Read("INFOCMDBONURI.TXT"), "Z1\r\nZ2\r\n");
}

TEST_F(TracedQueryTest, MissingRequestFileEndsBeforeAnyServerCall) {
    broker.FCurrentRequest = "GETINFOCMDBON.TXT";
    EXPECT_THROW(broker.AnswerQuery(QueryKindOf("GETINFOCMDBON.TXT")), BrokerError);
    EXPECT_EQ(server.CallsText(), "");
    EXPECT_EQ(Log(), TextList{});
}

}  // namespace
