// Queries against the fake server: calls, log lines, result and error files.
#include <thread>

#include "support/BrokerFixture.h"

#include "base/BrokerError.h"
#include "queries/QueryKinds.h"
#include "support/RequestKinds.h"

#include "NumberedRow.h"

namespace {

// Found at run time: a kind the service lacks fails the test, not the build.
const QueryKind& ServiceQueryKind(std::string_view request) {
    for (const QueryKind& kind : kQueryKinds)
        if (kind.request == request) return kind;
    throw std::invalid_argument("the service has no query " + std::string(request));
}

class QueryTest : public BrokerTest {
protected:
    // Over earlier result and error files; content nullptr: no request file. Returns the error raised.
    std::string Answer(const ExpectedQuery& query, const char* content = "") {
        server.calls.clear();
        NewLines();
        for (const std::string& name : TextList{query.result, "ERORI.TXT", Prefixed(query)})
            Put(name, "earlier");
        if (content) Put(query.request, content);
        broker.FCurrentRequest = query.request;
        return ErrorRaisedBy([&] { broker.AnswerQuery(ServiceQueryKind(query.request)); });
    }
    // " ... " lines follow the time stamp; "%W" is the working directory.
    void ExpectLogged(TextList expected) {
        for (std::string& line : expected) {
            if (size_t at = line.find("%W"); at != std::string::npos) line.replace(at, 2, workDir);
            if (line.starts_with(" ... ")) line = Stamp() + line;
        }
        EXPECT_EQ(NewLines(), expected);
    }
    static std::string Prefixed(const ExpectedQuery& query) { return "ERORI_" + std::string(query.request); }
};

// Order and article queries log each step, the answer's upper bound and today's month, and go on
// past a raising list call, which the other queries leave by.
TEST_F(QueryTest, ParameterQueriesLogTheirSteps) {
    Start();
    const LocalTime dec7 = today, dec31 = {2026, 12, 31, 23, 59, 59}, jan5 = {2027, 1, 5, 8, 0, 0};
    FakeList fromThree = FakeList::OfVariants({"L1", "L2"});
    fromThree.lowerBound = 3;
    struct Case {
        const char* request;
        const char* content;
        LocalTime today;
        FakeList answer;
        bool callRaises;
        const char* calls;
        TextList log;
        const char* raised;
        const char* result;
    } cases[] = {
        {"GETINFOCMDBON.TXT",
         "42\r\n7\r\n",
         dec7,
         fromThree,
         false,
         "SetLunaLucru(2026,12) GetInfoCmdBon(42)",
         {" ... Setez luna lucru 2026_12", " ... Citesc informatii bonuri pentru comanda 42",
          " ... Functiea GetInfoCmdBon a fost rulata fara eroare ", " ... Cod Eroare :0",
          " ... Au fost returnate :4 linii", " ... Scriu informatiile in %W\\INFOCMDBON.TXT"},
         "",
         "L1\r\nL2\r\n"},
        {"GETINFOCMDBON.TXT",
         "",
         dec31,
         {},
         false,
         "SetLunaLucru(2026,12) GetInfoCmdBon(0)",
         {" ... Setez luna lucru 2026_12", " ... Citesc informatii bonuri pentru comanda 0",
          " ... Functiea GetInfoCmdBon a fost rulata fara eroare ", " ... Cod Eroare :0",
          " ... Scriu informatiile in %W\\INFOCMDBON.TXT"},
         "",
         ""},
        {"GETINFOCMDBON.TXT",
         "9",
         dec7,
         {},
         true,
         "SetLunaLucru(2026,12) GetInfoCmdBon(9)",
         {" ... Setez luna lucru 2026_12", " ... Citesc informatii bonuri pentru comanda 9",
          " ... Exceptie la rularea functiei GetInfoCmdBon ... Server oprit", " ... Cod Eroare :0",
          " ... Scriu informatiile in %W\\INFOCMDBON.TXT"},
         "",
         ""},
        {"GETSTOCARTICOL.TXT",
         "  A1 \r\n",
         jan5,
         FakeList::Of({}),
         false,
         "SetLunaLucru(2027,1) GetStocArticol(  A1 ,0)",
         {" ... Setez luna lucru 2027_1", " ... Citesc stoc articol   A1 ",
          " ... Functia GetStocArticol a fost rulata fara eroare ", " ... Cod Eroare :0",
          " ... Au fost returnate :-1 linii", " ... Scriu informatiile in %W\\STOCARTICOL.TXT"},
         "",
         ""},
        {"GETSTOCARTICOL.TXT",
         "",
         dec7,
         FakeList::Of({"A1;G1;5"}),
         false,
         "SetLunaLucru(2026,12) GetStocArticol(qqqqqq,0)",
         {" ... Setez luna lucru 2026_12", " ... Citesc stoc articol qqqqqq",
          " ... Functia GetStocArticol a fost rulata fara eroare ", " ... Cod Eroare :0",
          " ... Au fost returnate :0 linii", " ... Scriu informatiile in %W\\STOCARTICOL.TXT"},
         "",
         "A1;G1;5\r\n"},
        {"GETSTOCARTICOL.TXT",
         "9",
         dec7,
         {},
         true,
         "SetLunaLucru(2026,12) GetStocArticol(9,0)",
         {" ... Setez luna lucru 2026_12", " ... Citesc stoc articol 9",
          " ... Exceptie la rularea functiei GetStocArticol ... Server oprit", " ... Cod Eroare :0",
          " ... Scriu informatiile in %W\\STOCARTICOL.TXT"},
         "",
         ""},
        {"GETINFOCMDBONURI.TXT",
         "15\r\n",
         dec7,
         FakeList::Of({"Z1", "Z2"}),
         false,
         "SetLunaLucru(2026,12) GetInfoCmdBonuri(15)",
         {" ... Citesc informatii bonuri pentru ziua 15"},
         "",
         "Z1\r\nZ2\r\n"},
        {"GETINFOCMDBONURI.TXT",
         "9",
         dec7,
         {},
         true,
         "SetLunaLucru(2026,12) GetInfoCmdBonuri(9)",
         {" ... Citesc informatii bonuri pentru ziua 9"},
         "Server oprit",
         "earlier"},
        {"GETINCASARILUNA.TXT",
         "9",
         dec7,
         {},
         true,
         "SetLunaLucru(2026,12) GetIncasariLuna",
         {},
         "Server oprit",
         "earlier"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.calls);
        const ExpectedQuery& query = ExpectedQueryKind(c.request);
        today = c.today;
        server.lists[query.Method()] = c.answer;
        server.failures.clear();
        if (c.callRaises) server.failures[query.Method()] = {E_FAIL, "Server oprit"};
        EXPECT_EQ(Answer(query, c.content), c.raised);
        EXPECT_EQ(server.CallsText(), c.calls);
        ExpectLogged(c.log);
        EXPECT_EQ(Read(query.result), c.result);
        EXPECT_EQ(Contents("ERORI.TXT"), kNoFile);
    }
}

// A refused month or an error code: the errors go to the log and the (prefixed) error file; the old
// result stays.
TEST_F(QueryTest, RefusalIsReportedAndKeepsTheEarlierFile) {
    Start();
    server.errors = FakeList::Of({"Luna inchisa", "A doua eroare"});
    struct Case {
        const char* request;
        TextList monthRefused, errorCode;  // before the server's errors
    } cases[] = {
        {"GETSTOC.TXT", {}, {}},
        {"GETPRETACHIZSTOC.TXT", {}, {}},
        {"GETINFOART.TXT", {}, {}},
        {"GETPRETART.TXT", {}, {}},
        {"GETLISTAGESTIUNI.TXT", {}, {}},
        {"GETLISTAPARTENERI.TXT", {}, {}},
        {"GETINFOCMDBON.TXT",
         {" ... Setez luna lucru 2026_12", " ... Eroare la setarea lunii de lucru"},
         {" ... Setez luna lucru 2026_12", " ... Citesc informatii bonuri pentru comanda 0",
          " ... Functiea GetInfoCmdBon a fost rulata fara eroare ", " ... Cod Eroare :3",
          " ... Eroare la citire informatii bon"}},
        {"GETSTOCARTICOL.TXT",
         {" ... Setez luna lucru 2026_12", " ... Eroare la setarea lunii de lucru"},
         {" ... Setez luna lucru 2026_12", " ... Citesc stoc articol qqqqqq",
          " ... Functia GetStocArticol a fost rulata fara eroare ", " ... Cod Eroare :3",
          " ... Eroare la citire stoc articol"}},
        {"GETINFOCMDBONURI.TXT", {}, {" ... Citesc informatii bonuri pentru ziua 0"}},
        {"GETINCASARILUNA.TXT", {}, {}},
        {"GETFACTURICMDONLINE.TXT", {}, {}},
    };
    for (const Case& c : cases) {
        const ExpectedQuery& query = ExpectedQueryKind(c.request);
        server.lists[query.Method()] = FakeList::Of({"would be written"});
        for (const bool prefixed : {false, true})
            for (const bool monthRefused : {true, false}) {
                SCOPED_TRACE(std::string(c.request) + (monthRefused ? ", month refused" : ", error code 3") +
                             (prefixed ? ", prefixed" : ""));
                broker.FPrefixErrors = prefixed;
                server.ok["SetLunaLucru"] = !monthRefused;
                server.errorCode[query.Method()] = monthRefused ? 0 : 3;
                EXPECT_EQ(Answer(query), "");
                EXPECT_EQ(server.CallsText(), "SetLunaLucru(2026,12) " +
                                                  (monthRefused ? "" : query.call + std::string(" ")) +
                                                  "GetListaErori");
                TextList log = monthRefused ? c.monthRefused : c.errorCode;
                log.insert(log.end(), server.errors.lines.begin(), server.errors.lines.end());
                ExpectLogged(log);
                EXPECT_EQ(Read(query.result), "earlier");
                EXPECT_EQ(Read(prefixed ? Prefixed(query) : "ERORI.TXT"),
                          "Luna inchisa\r\nA doua eroare\r\n");
                EXPECT_EQ(Read(prefixed ? "ERORI.TXT" : Prefixed(query)), "earlier");
            }
    }
}

// A short row or a vanished request file ends the query before its file.
TEST_F(QueryTest, UnreadableRequestOrAnswerLeavesTheQueryBeforeItsFile) {
    Start();
    struct Case {
        const char* request;
        const char* content;  // nullptr: no request file
        TextList answer;
        const char* calls;
        std::string raised;
    } cases[] = {
        {"GETSTOC.TXT",
         "",
         {NumberedRow(20), NumberedRow(15)},
         "SetLunaLucru(2026,12) GetStocuri",
         "List index out of bounds (15)"},
        {"GETINFOCMDBON.TXT",
         nullptr,
         {},
         "",
         "Cannot open file \"" + Path("GETINFOCMDBON.TXT") + "\". " + SystemMessage(ERROR_FILE_NOT_FOUND)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.request);
        const ExpectedQuery& query = ExpectedQueryKind(c.request);
        server.lists[query.Method()] = FakeList::Of(c.answer);
        EXPECT_EQ(Answer(query, c.content), c.raised);
        EXPECT_EQ(server.CallsText(), c.calls);
        EXPECT_EQ(Read(query.result), "earlier");
        EXPECT_EQ(Contents("ERORI.TXT"), kNoFile);
    }
}

// Every list shape gives the same file, rebuilt by the settings; the prefixed error file goes.
TEST_F(QueryTest, EveryQueryWritesItsLinesFromEveryListShape) {
    WriteIni("[Generale]\r\nDirectorLucru=" + workDir +
             "\r\nFirmaLucru=DEMO\r\nIDArticol=codExtern\r\nGestiune=g1\r\nPrefixareErori=D\r\n");
    Start();
    const TextList plain = {"A;1;", "", "B;G9;2"};
    const char* const plainFile = "A;1;\r\n\r\nB;G9;2\r\n";
    struct Case {
        const char* request;
        TextList lines;
        const char* file;
    } cases[] = {
        {"GETSTOC.TXT",
         {NumberedRow(20, "g1"), NumberedRow(20, "G2"), NumberedRow(16, "G1")},
         "f0;f1;f2;f4;f16;f3;f5;f6;f8;f10;f15;;f18;g1;f19\r\nf0;f1;f2;f4;f3;f5;f6;f8;f10;f15;;G1;\r\n"},
        {"GETPRETACHIZSTOC.TXT", {"A;g1;5", "B;G2;6", "C;;7", "D"}, "A;g1;5\r\nC;;7\r\nD\r\n"},
        {"GETINFOART.TXT",
         {NumberedRow(26), NumberedRow(20)},
         "f0;f9;f1;f7;f2;f3;f18;f10;f19;f4;f5;f21;f24;f25\r\nf0;f9;f1;f7;f2;f3;f18;f10;f19;f4;f5;;DA;\r\n"},
        {"GETPRETART.TXT", plain, plainFile},
        {"GETLISTAGESTIUNI.TXT", plain, plainFile},
        {"GETLISTAPARTENERI.TXT", plain, plainFile},
        {"GETINFOCMDBON.TXT", plain, plainFile},
        {"GETSTOCARTICOL.TXT", plain, plainFile},
        {"GETINFOCMDBONURI.TXT", plain, plainFile},
        {"GETINCASARILUNA.TXT", plain, plainFile},
        {"GETFACTURICMDONLINE.TXT", plain, plainFile},
    };
    for (const Case& c : cases) {
        const ExpectedQuery& query = ExpectedQueryKind(c.request);
        FakeList fromThree = FakeList::OfVariants(c.lines);
        fromThree.lowerBound = 3;
        for (const FakeList& list :
             {FakeList{}, FakeList::Of({}), FakeList::OfVariants({}), FakeList::Of(c.lines), fromThree}) {
            SCOPED_TRACE(std::string(c.request) + ", list kind " + std::to_string(list.kind) + " of " +
                         std::to_string(list.lines.size()));
            server.lists[query.Method()] = list;
            EXPECT_EQ(Answer(query), "");
            EXPECT_EQ(server.calls, (TextList{"SetLunaLucru(2026,12)", query.call}));
            EXPECT_EQ(Read(query.result), list.lines.empty() ? "" : c.file);
            EXPECT_EQ(Contents(Prefixed(query)), kNoFile);
            EXPECT_EQ(Read("ERORI.TXT"), "earlier");
        }
    }
}

// One held for a moment is written once let go.
TEST_F(QueryTest, ReadersNeverSeeAPartialStockListAndOnlyOneHoldingItThroughoutFailsIt) {
    Start();
    std::vector<std::string> rows;
    for (int i = 0; i < 20000; ++i)
        rows.push_back(std::to_string(i) + ";Articol;BUC;1;19;2;3;x;4;y;5;DEP;n;g;0;1;b;0;01.12.2026;9");
    server.lists["GetStocuri"] = FakeList::Of(rows);
    broker.AnswerQuery(ServiceQueryKind("GETSTOC.TXT"));
    const std::string expected = Read("STOCURI.TXT");
    ASSERT_GT(expected.size(), 1000000u);

    int reads = 0, partial = 0;  // a missing file reads as empty: partial
    std::jthread reader([&](std::stop_token stop) {
        for (; !stop.stop_requested(); ++reads) partial += ReadShared(Path("STOCURI.TXT")) != expected;
    });
    for (int i = 0; i < 15; ++i) broker.AnswerQuery(ServiceQueryKind("GETSTOC.TXT"));
    reader.request_stop();
    reader.join();
    EXPECT_GT(reads, 0);
    EXPECT_EQ(partial, 0);

    UniqueFile held = Hold(Path("STOCURI.TXT"), FILE_SHARE_READ);
    ASSERT_TRUE(held.valid());
    std::jthread letGo([&] {
        Sleep(300);
        held.reset();
    });
    EXPECT_EQ(ErrorRaisedBy([&] { broker.AnswerQuery(ServiceQueryKind("GETSTOC.TXT")); }), "");
    letGo.join();

    // Held throughout: the query fails with the system's text; the earlier answer stays whole.
    held = Hold(Path("STOCURI.TXT"), FILE_SHARE_READ);
    const std::string error = ErrorRaisedBy([&] { broker.AnswerQuery(ServiceQueryKind("GETSTOC.TXT")); });
    EXPECT_EQ(error.rfind("Cannot create file \"" + Path("STOCURI.TXT") + "\"", 0), 0u) << error;
    held.reset();
    EXPECT_EQ(Read("STOCURI.TXT"), expected);
    EXPECT_FALSE(Exists("STOCURI.TXT.~tmp"));
}

}  // namespace

namespace {

// The server's text in an answer, an error list, the balance export, and LOG.TXT, begun anew
// at the change.
TEST_F(QueryTest, ServerTextIsWrittenInTheSettingsEncoding) {
    const std::string row = "\xC8\x98\x65rban \xC8\x9Aurcanu;Caf\xC3\xA9";
    // Letters the code page lacks are "?" here.
    const std::pair<std::string, std::string> cases[] = {{"ANSI", "?erban ?urcanu;Caf\xE9"}, {"UTF8", row}};
    server.utf8 = true;
    server.errors = server.lists["GetListaGestiuni"] = server.lists["GetSolduriParteneri"] =
        FakeList::Of({row});
    server.errorCode["GetListaParteneri"] = 1;
    for (const auto& [setting, written] : cases) {
        WriteIni(DefaultIni("CodificareFisiere=" + setting + "\r\n"));
        SecondRun run(broker);
        for (const char* query : {"GETLISTAGESTIUNI.TXT", "GETLISTAPARTENERI.TXT"}) {
            Put(query, "");
            run.broker.TimerTimer();
        }
        run.broker.ImportSolduriClick();
        for (const char* file : {"LISTAGESTIUNI.TXT", "ERORI.TXT", "SOLDURI.TXT"})
            EXPECT_EQ(Read(file), written + "\r\n") << file;
        const std::string top = (setting == "UTF8" ? "\xEF\xBB\xBFVer. 3.1 -  " : "Ver. 3.1 -  ") + written;
        EXPECT_EQ(Read("LOG.TXT").find(top), 0u);
    }
    const std::string ansiRun = Read("LOGURI\\" + FolderNames(Path("LOGURI")).at(0));
    EXPECT_EQ(ansiRun.find("Ver. 3.1 -  ?erban"), 0u);
}

}  // namespace
