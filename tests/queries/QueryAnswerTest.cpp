// The queries against the fake server: for each answer the server gives, the calls, the log
// lines, the result file (never seen partly written) and the error file.
#include <thread>

#include "support/BrokerFixture.h"

#include "base/BrokerError.h"
#include "support/RequestKinds.h"

#include "NumberedRow.h"

namespace {

class QueryTest : public BrokerTest {
protected:
    // Answers the query from an empty request file; the server's calls and NewLines() are its own.
    void Serve(std::string_view request) {
        server.calls.clear();
        NewLines();
        Put(std::string(request), "");
        broker.FCurrentRequest = request;
        broker.AnswerQuery(ServiceQueryKind(request));
    }
};

// A request's file and the server's answer to its query; what comes of it. Each row starts
// from an earlier result file ("earlier") and an earlier ERORI.TXT.
struct Answer {
    const char* behaviour = "";
    const char* request = "";
    const char* content = "";       // of the request file; nullptr: there is none
    TextList list = {};             // the list call's lines; none: not an array
    TextList gestiuni = {};         // the locations configured
    const char* failure = nullptr;  // the list call raises this
    LONG errorCode = 0;             // the list call's
    bool monthRefused = false;
    TextList errors = {};  // the server's error list
    const char* calls = "";
    const char* raised = nullptr;  // the error that leaves the handler; "" any
    const char* result = "earlier";
    const char* errorFile = nullptr;  // ERORI.TXT; nullptr: deleted
    TextList log = {};                // " ... " lines follow the time stamp; "%W" is the working directory
    LocalTime today = BrokerTest::today;
    const char* ini = nullptr;            // the settings after DirectorLucru; nullptr: the default
    const char* errorName = "ERORI.TXT";  // another: ERORI.TXT is "shared" and stays
};

// clang-format off
const Answer kAnswers[] = {
    {.behaviour = "OrderQueryLogsEveryStep", .request = "GETINFOCMDBON.TXT", .content = "42\r\n7\r\n",
     .list = {"B1", "B2", "B3", "B4", "B5"}, .calls = "SetLunaLucru(2026,12) GetInfoCmdBon(42)",
     .result = "B1\r\nB2\r\nB3\r\nB4\r\nB5\r\n",
     .log = {" ... Setez luna lucru 2026_12", " ... Citesc informatii bonuri pentru comanda 42",
             " ... Functiea GetInfoCmdBon a fost rulata fara eroare ", " ... Cod Eroare :0",
             " ... Au fost returnate :4 linii", " ... Scriu informatiile in %W\\INFOCMDBON.TXT"}},
    {.behaviour = "ArticleQueryLogsEveryStepAndKeepsBlanks", .request = "GETSTOCARTICOL.TXT", .content = "  A1 \r\n",
     .list = {"A1;G1;5"}, .calls = "SetLunaLucru(2026,12) GetStocArticol(  A1 ,0)", .result = "A1;G1;5\r\n",
     .log = {" ... Setez luna lucru 2026_12", " ... Citesc stoc articol   A1 ",
             " ... Functia GetStocArticol a fost rulata fara eroare ", " ... Cod Eroare :0",
             " ... Au fost returnate :0 linii", " ... Scriu informatiile in %W\\STOCARTICOL.TXT"}},
    {.behaviour = "RaisingOrderCallIsLoggedAndTheQueryGoesOn", .request = "GETINFOCMDBON.TXT", .content = "9",
     .failure = "Comanda inexistenta", .calls = "SetLunaLucru(2026,12) GetInfoCmdBon(9)", .result = "",
     .log = {" ... Setez luna lucru 2026_12", " ... Citesc informatii bonuri pentru comanda 9",
             " ... Exceptie la rularea functiei GetInfoCmdBon ... Comanda inexistenta", " ... Cod Eroare :0",
             " ... Scriu informatiile in %W\\INFOCMDBON.TXT"}},
    {.behaviour = "RaisingArticleCallIsLoggedAndTheQueryGoesOn", .request = "GETSTOCARTICOL.TXT", .content = "A1",
     .failure = "Articol blocat de alt utilizator", .calls = "SetLunaLucru(2026,12) GetStocArticol(A1,0)", .result = "",
     .log = {" ... Setez luna lucru 2026_12", " ... Citesc stoc articol A1",
             " ... Exceptie la rularea functiei GetStocArticol ... Articol blocat de alt utilizator",
             " ... Cod Eroare :0", " ... Scriu informatiile in %W\\STOCARTICOL.TXT"}},
    {.behaviour = "OrderErrorCodeIsLoggedThenReported", .request = "GETINFOCMDBON.TXT", .content = "5",
     .errorCode = 17, .errors = {"Bonul nu exista"}, .calls = "SetLunaLucru(2026,12) GetInfoCmdBon(5) GetListaErori",
     .errorFile = "Bonul nu exista\r\n",
     .log = {" ... Setez luna lucru 2026_12", " ... Citesc informatii bonuri pentru comanda 5",
             " ... Functiea GetInfoCmdBon a fost rulata fara eroare ", " ... Cod Eroare :17",
             " ... Eroare la citire informatii bon", "Bonul nu exista"}},
    {.behaviour = "ArticleErrorCodeIsLoggedThenReported", .request = "GETSTOCARTICOL.TXT", .content = "A1",
     .errorCode = 2, .errors = {"Stoc blocat"}, .calls = "SetLunaLucru(2026,12) GetStocArticol(A1,0) GetListaErori",
     .errorFile = "Stoc blocat\r\n",
     .log = {" ... Setez luna lucru 2026_12", " ... Citesc stoc articol A1",
             " ... Functia GetStocArticol a fost rulata fara eroare ", " ... Cod Eroare :2",
             " ... Eroare la citire stoc articol", "Stoc blocat"}},
    {.behaviour = "RefusedMonthIsLoggedThenReported", .request = "GETINFOCMDBON.TXT", .content = "5",
     .monthRefused = true, .errors = {"Luna blocata"}, .calls = "SetLunaLucru(2026,12) GetListaErori",
     .errorFile = "Luna blocata\r\n",
     .log = {" ... Setez luna lucru 2026_12", " ... Eroare la setarea lunii de lucru", "Luna blocata"}},
    {.behaviour = "WorkingMonthIsTheClocksLoggedUnpadded", .request = "GETINFOCMDBON.TXT", .content = "3",
     .calls = "SetLunaLucru(2027,1) GetInfoCmdBon(3)", .result = "",
     .log = {" ... Setez luna lucru 2027_1", " ... Citesc informatii bonuri pentru comanda 3",
             " ... Functiea GetInfoCmdBon a fost rulata fara eroare ", " ... Cod Eroare :0",
             " ... Scriu informatiile in %W\\INFOCMDBON.TXT"}, .today = {2027, 1, 1, 0, 0, 0}},
    {.behaviour = "EmptyOrderQueryAsksForOrderZero", .request = "GETINFOCMDBON.TXT", .content = "",
     .calls = "SetLunaLucru(2026,12) GetInfoCmdBon(0)", .result = "",
     .log = {" ... Setez luna lucru 2026_12", " ... Citesc informatii bonuri pentru comanda 0",
             " ... Functiea GetInfoCmdBon a fost rulata fara eroare ", " ... Cod Eroare :0",
             " ... Scriu informatiile in %W\\INFOCMDBON.TXT"}},
    {.behaviour = "EmptyArticleQueryAsksForThePlaceholder", .request = "GETSTOCARTICOL.TXT", .content = "",
     .calls = "SetLunaLucru(2026,12) GetStocArticol(qqqqqq,0)", .result = "",
     .log = {" ... Setez luna lucru 2026_12", " ... Citesc stoc articol qqqqqq",
             " ... Functia GetStocArticol a fost rulata fara eroare ", " ... Cod Eroare :0",
             " ... Scriu informatiile in %W\\STOCARTICOL.TXT"}},
    {.behaviour = "CatalogueKeyColumnFollowsTheSetting", .request = "GETINFOART.TXT",
     .list = {NumberedRow(26), NumberedRow(20)}, .calls = "SetLunaLucru(2026,12) GetInfoArticol",
     .result = "f0;f9;f1;f7;f2;f3;f18;f10;f19;f4;f5;f21;f24;f25\r\nf0;f9;f1;f7;f2;f3;f18;f10;f19;f4;f5;;DA;\r\n",
     .ini = "FirmaLucru=DEMO\r\nIDArticol=codExtern\r\n"},
    {.behaviour = "PrefixedErrorFileIsDeletedFirst", .request = "GETSTOC.TXT", .calls = "SetLunaLucru(2026,12) GetStocuri",
     .result = "", .ini = "FirmaLucru=DEMO\r\nPrefixareErori=D\r\n", .errorName = "ERORI_GETSTOC.TXT"},
    {.behaviour = "PrefixedErrorFileIsNamedAfterTheRequest", .request = "GETLISTAGESTIUNI.TXT", .errorCode = 1,
     .errors = {"E"}, .calls = "SetLunaLucru(2026,12) GetListaGestiuni GetListaErori", .errorFile = "E\r\n",
     .log = {"E"}, .ini = "FirmaLucru=DEMO\r\nPrefixareErori=D\r\n", .errorName = "ERORI_GETLISTAGESTIUNI.TXT"},
    {.behaviour = "DayQueryLogsOneLine", .request = "GETINFOCMDBONURI.TXT", .content = "15\r\n", .list = {"Z1", "Z2"},
     .calls = "SetLunaLucru(2026,12) GetInfoCmdBonuri(15)", .result = "Z1\r\nZ2\r\n",
     .log = {" ... Citesc informatii bonuri pentru ziua 15"}},
    {.behaviour = "RaisingDayCallLeavesTheHandler", .request = "GETINFOCMDBONURI.TXT", .content = "15",
     .failure = "Zi invalida", .calls = "SetLunaLucru(2026,12) GetInfoCmdBonuri(15)", .raised = "Zi invalida",
     .log = {" ... Citesc informatii bonuri pentru ziua 15"}},
    {.behaviour = "MissingRequestFileEndsBeforeAnyServerCall", .request = "GETINFOCMDBON.TXT", .content = nullptr,
     .calls = "", .raised = ""},
    {.behaviour = "StockQueryFiltersAndRebuildsRows", .request = "GETSTOC.TXT",
     .list = {NumberedRow(20, "g1"), NumberedRow(20, "G2"), NumberedRow(16, "G1")}, .gestiuni = {"G1"},
     .calls = "SetLunaLucru(2026,12) GetStocuri",
     .result = "f0;f1;f2;f4;f16;f3;f5;f6;f8;f10;f15;;f18;g1;f19\r\nf0;f1;f2;f4;f3;f5;f6;f8;f10;f15;;G1;\r\n"},
    {.behaviour = "PurchasePriceQueryKeepsRowsWithoutLocation", .request = "GETPRETACHIZSTOC.TXT",
     .list = {"A;g1;5", "B;G2;6", "C;;7", "D"}, .gestiuni = {"G1"}, .calls = "SetLunaLucru(2026,12) GetPretAchizStocuri",
     .result = "A;g1;5\r\nC;;7\r\nD\r\n"},
    {.behaviour = "ShortStockRowEndsTheQueryBeforeItsFile", .request = "GETSTOC.TXT",
     .list = {NumberedRow(20), NumberedRow(15)}, .calls = "SetLunaLucru(2026,12) GetStocuri",
     .raised = "List index out of bounds (15)"},
    {.behaviour = "ShortCatalogueRowEndsTheQueryBeforeItsFile", .request = "GETINFOART.TXT",
     .list = {NumberedRow(19)}, .calls = "SetLunaLucru(2026,12) GetInfoArticol", .raised = "List index out of bounds (19)"},
    {.behaviour = "FailingServerCallLeavesTheQuery", .request = "GETINCASARILUNA.TXT",
     .failure = "Baza de date indisponibila", .calls = "SetLunaLucru(2026,12) GetIncasariLuna",
     .raised = "Baza de date indisponibila"},
};
// clang-format on

class QueryAnswerTest : public QueryTest, public ::testing::WithParamInterface<Answer> {};

TEST_P(QueryAnswerTest, CallsLogAndFiles) {
    const Answer& row = GetParam();
    const ExpectedQuery& query = ExpectedQueryKind(row.request);
    today = row.today;
    if (row.ini) WriteIni("[Generale]\r\nDirectorLucru=" + workDir + "\r\n" + row.ini);
    Start();
    if (!row.list.empty()) server.lists[query.Method()] = FakeList::Of(row.list);
    broker.FGestiuni = row.gestiuni;
    if (row.failure) server.failures[query.Method()] = {E_FAIL, row.failure};
    server.errorCode[query.Method()] = row.errorCode;
    server.ok["SetLunaLucru"] = !row.monthRefused;
    server.errors = FakeList::Of(row.errors);
    Put(query.result, "earlier");
    Put("ERORI.TXT", "shared");
    Put(row.errorName, "from before");
    if (row.content) Put(row.request, row.content);
    broker.FCurrentRequest = row.request;
    try {
        broker.AnswerQuery(ServiceQueryKind(row.request));
        EXPECT_EQ(row.raised, nullptr) << "nothing raised";
    } catch (const BrokerError& error) {
        ASSERT_NE(row.raised, nullptr) << error.what();
        if (*row.raised) {
            EXPECT_STREQ(error.what(), row.raised);
        }
    }
    EXPECT_EQ(server.CallsText(), row.calls);
    TextList log;
    for (std::string line : row.log) {
        if (size_t at = line.find("%W"); at != std::string::npos) line.replace(at, 2, workDir);
        log.push_back(line.starts_with(" ... ") ? Stamp() + line : line);
    }
    EXPECT_EQ(Log(), log);
    EXPECT_EQ(Read(query.result), row.result);
    const std::string errorFile = row.errorFile ? row.errorFile : kNoFile;
    EXPECT_EQ(Contents(row.errorName), errorFile);
    EXPECT_EQ(Contents("ERORI.TXT"), row.errorName == std::string_view("ERORI.TXT") ? errorFile : "shared");
}

INSTANTIATE_TEST_SUITE_P(Answers, QueryAnswerTest, ::testing::ValuesIn(kAnswers),
                         [](const auto& info) { return std::string(info.param.behaviour); });

// Every query with every shape of list (none, empty or not, either element type, from index 3):
// plain queries write the lines unchanged and log nothing, traced ones log the upper bound; an
// untraced refusal logs only the server's errors, writes them to ERORI.TXT, keeps its old file.
TEST_F(QueryTest, EveryQueryWritesEveryListShapeAndReportsRefusals) {
    Start();
    server.errors = FakeList::Of({"Luna inchisa", "A doua eroare"});
    const std::string row = NumberedRow(20);
    for (const ExpectedQuery& query : kExpectedQueries) {
        const std::string_view request = query.request;
        const bool traced = request == "GETINFOCMDBON.TXT" || request == "GETSTOCARTICOL.TXT";
        const TextList lines = query.plain ? TextList{"A;1;", "", "B;G9;2"} : TextList{row, row};
        std::string line = row;
        if (request == "GETSTOC.TXT") line = "f0;f1;f2;f4;f16;f3;f5;f6;f8;f10;f15;;f18;f11;f19";
        if (request == "GETINFOART.TXT") line = "f9;f0;f1;f7;f2;f3;f18;f10;f19;f4;f5;;DA;";
        const std::string file = query.plain ? "A;1;\r\n\r\nB;G9;2\r\n" : line + "\r\n" + line + "\r\n";
        FakeList fromThree = FakeList::OfVariants(lines);
        fromThree.lowerBound = 3;
        for (const FakeList& list :
             {FakeList{}, FakeList::Of({}), FakeList::OfVariants({}), FakeList::Of(lines), fromThree}) {
            SCOPED_TRACE(std::string(request) + ", list kind " + std::to_string(list.kind) + " of " +
                         std::to_string(list.lines.size()));
            server.lists[query.Method()] = list;
            Put(query.result, "earlier");
            Serve(request);
            const TextList logged = NewLines();
            EXPECT_EQ(server.calls, (TextList{"SetLunaLucru(2026,12)", query.call}));
            EXPECT_EQ(Read(query.result), list.lines.empty() ? "" : file);
            if (query.plain) {
                EXPECT_EQ(logged, TextList{});
            }
            if (!traced) continue;
            const std::string upper = std::to_string(list.lowerBound + LONG(list.lines.size()) - 1);
            EXPECT_EQ(logged.at(4), list.kind == FakeList::NotArray
                                        ? Stamp() + " ... Scriu informatiile in " + Path(query.result)
                                        : Stamp() + " ... Au fost returnate :" + upper + " linii");
        }
        for (const bool monthRefused : {true, false}) {
            if (traced || (!monthRefused && !query.plain)) continue;  // traced: rows of kAnswers
            SCOPED_TRACE(std::string(request) + (monthRefused ? ", month refused" : ", error code 3"));
            server.ok["SetLunaLucru"] = monthRefused ? 0 : 1;
            server.errorCode[query.Method()] = monthRefused ? 0 : 3;
            server.lists[query.Method()] = FakeList::Of({"would be written"});
            Put(query.result, "earlier");
            Put("ERORI.TXT", "from before");
            Serve(request);
            const TextList logged = NewLines();
            EXPECT_EQ(server.CallsText(), "SetLunaLucru(2026,12) " +
                                              (monthRefused ? "" : query.Method() + " ") + "GetListaErori");
            EXPECT_EQ(Read(query.result), "earlier");
            EXPECT_EQ(Read("ERORI.TXT"), "Luna inchisa\r\nA doua eroare\r\n");
            EXPECT_EQ(logged, server.errors.lines);
        }
        server.ok["SetLunaLucru"] = 1;
    }
}

// A result file rewritten again and again is never seen partly written by a reader.
TEST_F(QueryTest, ReaderNeverSeesAPartialStockList) {
    Start();
    std::vector<std::string> rows;
    for (int i = 0; i < 20000; ++i)
        rows.push_back(std::to_string(i) + ";Articol;BUC;1;19;2;3;x;4;y;5;DEP;n;g;0;1;b;0;01.12.2026;9");
    server.lists["GetStocuri"] = FakeList::Of(rows);
    broker.AnswerQuery(ServiceQueryKind("GETSTOC.TXT"));
    const std::string expected = Read("STOCURI.TXT");
    ASSERT_GT(expected.size(), 1000000u);

    int reads = 0, partial = 0;                      // (a missing file reads as empty: partial too)
    std::jthread reader([&](std::stop_token stop) {  // a raising answer stops and joins it too
        for (; !stop.stop_requested(); ++reads) partial += ReadShared(Path("STOCURI.TXT")) != expected;
    });
    for (int i = 0; i < 15; ++i) broker.AnswerQuery(ServiceQueryKind("GETSTOC.TXT"));
    reader.request_stop();
    reader.join();
    EXPECT_GT(reads, 0);
    EXPECT_EQ(partial, 0);
}

}  // namespace
