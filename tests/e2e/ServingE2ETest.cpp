// The real program works off a backlog of every kind of request; then, on the same copy,
// what the operator meets on the window, and a restart with immediate answers.
#include <gtest/gtest.h>

#include <algorithm>

#include "base/AnsiText.h"
#include "base/Owners.h"
#include "support/RequestKinds.h"
#include "support/ServiceProcess.h"

namespace {

std::string Document(const std::string& body) {
    return "[InfoPachet]\r\nAnLucru=2025\r\nLunaLucru=6\r\n\r\n[Document]\r\n" + body;
}

using Request = std::pair<std::string, std::string>;  // a name and its content

// Every example (FACTURA_2 is refused), more packages of each kind, some in lower case.
std::vector<Request> Backlog() {
    std::vector<Request> requests;
    for (const char* name : {"MODIPARTENER_1.TXT", "PARTENER_1.TXT", "ARTICOL_1.TXT", "COMANDA_1.TXT",
                             "COMANDAFURN_1.TXT", "FACTURA_1.TXT", "FACTURA_2.TXT", "FACTURAFURN_1.TXT"})
        requests.push_back({name, ExampleFile(name)});
    for (const ExpectedQuery& query : kExpectedQueries)
        requests.push_back({query.request, ExampleFile(query.request)});
    auto more = [&](const std::string& prefix, int from, int to, const std::string& content) {
        for (int n = from; n <= to; ++n) requests.push_back({prefix + std::to_string(n) + ".TXT", content});
    };
    const std::string invoice =
        Document("Data=12.06.2025\r\nPartener=P0002\r\nGestiune=DEP\r\nArticol=A0001;1\r\n");
    more("PARTENER_", 2, 3, ";;;Partener Test;Iasi;;\r\n");
    more("ARTICOL_", 2, 2, ";;Articol test;BUC;19;10.00;5.00;;\r\n");
    more("COMANDA_", 2, 5, kOneOrder);
    more("COMANDAFURN_", 2, 5,
         Document("Data=11.06.2025\r\nPartener=P0004\r\nGestiune=DEP\r\nArticol=A0013;2;92.00\r\n"));
    more("FACTURA_", 3, 3, invoice);
    more("FACTURA_", 5, 5, invoice);
    more("FACTURAFURN_", 2, 4,
         Document("Data=14.06.2025\r\nPartener=P0004\r\nGestiune=DEP\r\nArticol=A0002;5;12.00\r\n"));
    requests.insert(requests.end(), {{"comanda_6.txt", kOneOrder}, {"factura_4.txt", invoice}});
    return requests;
}

// What the backlog's packages log when done: how many times, and their kind's precedence.
struct Outcome {
    const char* line;
    size_t times;
    int rank;
};
constexpr Outcome kOutcomes[] = {
    {"Partener modificat !", 1, 0},
    {"Partener nou generat !", 3, 1},
    {"Articol nou generat !", 2, 2},
    {"Au fost generate 1 comenzi in baza de date ", 6, 3},
    {"Au fost generate 1 comenzi furnizori in baza de date ", 5, 4},
    {"Au fost generate 2 facturi in baza de date ", 1, 5},
    {"Au fost generate 1 facturi in baza de date ", 3, 5},
    {"Pachetul contine erori ", 1, 5},
    {"Au fost generate 1 facturi furnizori in baza de date ", 4, 6},
};

// The requests served in log order: a package by its opening line, a query by its file.
TextList ServedInOrder(const TextList& log) {
    TextList served;
    for (const std::string& line : log) {
        const size_t at = line.find(" ... ");
        if (at == std::string::npos) continue;
        const std::string what = line.substr(at + 5);
        if (what.rfind("Deschid pachetul", 0) == 0) served.push_back(what);
        if (what.rfind("Scriu informatiile in ", 0) == 0)
            served.push_back(what.substr(what.find_last_of('\\') + 1));
    }
    return served;
}

// The mean of count round trips of a query, one after the other.
double MeanRoundTrip(const ServiceProcess& service, int count) {
    double total = 0;
    for (int i = 0; i < count; ++i) {
        const double seconds = QueryRoundTrip(service);
        EXPECT_GE(seconds, 0) << "query " << i << " unanswered";
        total += seconds < 0 ? 1e9 : seconds;
    }
    return total / count;
}

HWND Focus(DWORD thread) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(thread, &info) ? info.hwndFocus : nullptr;
}

class ServingE2ETest : public ServiceScenario {
protected:
    static inline std::vector<Request> backlog;
    static inline double polled = 0;  // the mean round trip of a query, found by a tick
};

TEST_F(ServingE2ETest, RealTimerWorksOffABacklogOfThirtySevenRequestsOnceEach) {
    service->WriteIni(service->DefaultIni("PrefixareErori=D\r\n"));
    backlog = Backlog();
    ASSERT_EQ(backlog.size(), 37u);
    for (const auto& [name, content] : backlog) service->Put(name, content);
    service->Put("COMANDA_ERORI.TXT", "nu este o cerere\r\n");
    service->Start();
    ASSERT_TRUE(WaitUntil(
        [&] {
            return std::none_of(backlog.begin(), backlog.end(),
                                [&](const Request& request) { return service->Exists(request.first); });
        },
        240000))
        << service->ViewText();
    EXPECT_TRUE(service->Answers());  // a tick more: nothing is left to serve
    EXPECT_EQ(service->BoxTexts(), "");

    // Four lines per package, and the detailed queries' own: each request exactly once.
    const std::string text = service->Read("LOG.TXT");
    const TextList log = service->Log();
    EXPECT_EQ(log.size(), 26u * 4 + 6 + 6 + 1) << text;
    for (const Outcome& outcome : kOutcomes)
        EXPECT_EQ(CountLines(log, kLine + outcome.line), outcome.times) << outcome.line;
    int rank = 0;  // the packages come kind by kind, in the order of precedence
    for (const std::string& line : log)
        for (const Outcome& outcome : kOutcomes)
            if (line == kLine + outcome.line) {
                EXPECT_LE(rank, outcome.rank) << line;
                rank = std::max(rank, outcome.rank);
            }
    EXPECT_EQ(service->Read("FACTURA_2.ERR"), ExampleFile("FACTURA_2.TXT"));
    EXPECT_EQ(service->Read("ERORI_FACTURA_2.TXT"), "Linia 11: articol necunoscut ART99\r\n");
    EXPECT_EQ(service->Read("COMANDA_ERORI.TXT"), "nu este o cerere\r\n");
    for (const ExpectedQuery& query : kExpectedQueries)
        EXPECT_NE(service->Read(query.result), "") << query.result;
}

// The backlog was logged while the window was minimized.
TEST_F(ServingE2ETest, RestoredViewShowsTheWholeLogWithTheNewestLineInSight) {
    const HWND view = service->Child(L"EDIT");
    ShowWindow(service->MainWindow(), SW_RESTORE);
    EXPECT_TRUE(WaitUntil([] { return service->ViewText() == ReadShared(service->Path("LOG.TXT")); }, 5000));
    const LRESULT lines = SendMessageW(view, EM_GETLINECOUNT, 0, 0);  // the last one is empty
    ASSERT_GE(lines, 60);
    const LRESULT newest = SendMessageW(view, EM_LINEINDEX, WPARAM(lines - 2), 0);
    const int top = short(HIWORD(SendMessageW(view, EM_POSFROMCHAR, WPARAM(newest), 0)));
    RECT client{};
    GetClientRect(view, &client);
    EXPECT_GT(SendMessageW(view, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
    EXPECT_GE(top, 0);
    EXPECT_LT(top, client.bottom);
}

TEST_F(ServingE2ETest, TabMovesBetweenTheButtonAndTheView) {
    const HWND view = service->Child(L"EDIT"), button = service->Child(L"BUTTON");
    EXPECT_TRUE(WaitUntil([&] { return Focus(service->ThreadId()) == button; }, 5000));
    PostMessageW(button, WM_KEYDOWN, VK_TAB, 0);
    EXPECT_TRUE(WaitUntil([&] { return Focus(service->ThreadId()) == view; }, 5000));
    PostMessageW(view, WM_KEYDOWN, VK_TAB, 0);
    EXPECT_TRUE(WaitUntil([&] { return Focus(service->ThreadId()) == button; }, 5000));
}

TEST_F(ServingE2ETest, EscAndEnterInTheViewNeitherCloseNorPressTheButton) {
    const HWND view = service->Child(L"EDIT");
    for (WPARAM key : {VK_ESCAPE, VK_RETURN}) {
        PostMessageW(view, WM_KEYDOWN, key, 0);
        PostMessageW(view, WM_CHAR, key, 0);
        PostMessageW(view, WM_KEYUP, key, LPARAM(3) << 30);
    }
    EXPECT_TRUE(service->Answers());
    EXPECT_TRUE(service->Running());
    EXPECT_FALSE(service->Exists("SOLDURI.TXT"));
}

TEST_F(ServingE2ETest, AltIPressesTheButton) {
    PostMessageW(service->Child(L"EDIT"), WM_SYSCHAR, 'i', LPARAM(1) << 29);
    EXPECT_TRUE(WaitUntil([&] { return service->Exists("SOLDURI.TXT"); }, 10000));
    EXPECT_TRUE(service->Logged(kStamped + " ... Import solduri parteneri "));
}

TEST_F(ServingE2ETest, ButtonExportsThePartnerBalances) {
    ASSERT_TRUE(WaitUntil([&] { return service->Remove("SOLDURI.TXT"); }, 10000));
    const size_t before = service->Log().size();
    DWORD_PTR result = 0;
    SendMessageTimeoutW(service->Child(L"BUTTON"), BM_CLICK, 0, 0, SMTO_BLOCK, 15000, &result);
    ASSERT_TRUE(WaitUntil([&] { return service->Exists("SOLDURI.TXT"); }, 5000));
    EXPECT_NE(service->Read("SOLDURI.TXT").find("P0001"), std::string::npos);
    EXPECT_EQ(service->Log(before), TextList{kStamped + " ... Import solduri parteneri "});
}

TEST_F(ServingE2ETest, ExportFromTheCommandLineIsTheButtonOfTheRunningCopy) {
    ASSERT_TRUE(service->Remove("SOLDURI.TXT"));
    EXPECT_EQ(service->RunForm("/export-balances").exitCode, 0u);
    EXPECT_TRUE(WaitUntil([&] { return service->Exists("SOLDURI.TXT"); }, 10000));
    polled = MeanRoundTrip(*service, 5);  // for the next test
    service->Close();
}

// "RaspunsImediat=D": answers at once, a writer still writing is waited for, and a backlog
// is served one request a tick in the tables' order.
TEST_F(ServingE2ETest, ImmediateAnswersComeAtOnceAndKeepTheRules) {
    for (const char* name :
         {"GETINFOCMDBON.TXT", "GETSTOCARTICOL.TXT", "FACTURA_1.TXT", "COMANDA_1.TXT", "ARTICOL_1.TXT"})
        service->Put(name, ExampleFile(name));
    service->WriteIni(service->DefaultIni("RaspunsImediat=D\r\n"));
    service->Start();
    ASSERT_TRUE(service->Gone("GETSTOCARTICOL.TXT", 20000));
    EXPECT_EQ(ServedInOrder(service->Log()),
              (TextList{"Deschid pachetul cu informatii articol", "Deschid pachetul cu comenzi",
                        "Deschid pachetul cu facturi", "INFOCMDBON.TXT", "STOCARTICOL.TXT"}));

    const double immediate = MeanRoundTrip(*service, 20);
    EXPECT_LE(immediate * 5, polled) << "immediate " << immediate << " s, polled " << polled << " s";

    UniqueFile writer = Writing(service->Path("COMANDA_2.TXT"), ExampleFile("COMANDA_1.TXT"));
    Sleep(2000);
    writer.reset();
    ASSERT_TRUE(service->Gone("COMANDA_2.TXT", 10000));
    EXPECT_EQ(CountLines(service->Log(), kStamped + " ... Deschid pachetul cu comenzi"), 2u);
    EXPECT_EQ(service->Read("LOG.TXT").find("Nu pot deschide"), std::string::npos);
    service->Close();
}

// The 64-bit program served by the 32-bit local server (the usual case on 64-bit Windows), and
// the other way round: the other build's VQDocServer.exe, when that build is there.
TEST(ServingE2E, LocalServerOfTheOtherKindServesAQueryAndAPackage) {
    if (!FileExists(VQ_OTHER_BIN "\\VQDocServer.exe")) GTEST_SKIP() << "no " VQ_OTHER_BIN;
    ServiceProcess service(DocServerForm::Local, VQ_OTHER_BIN);
    service.WriteIni(service.DefaultIni());
    service.Start();
    EXPECT_TRUE(service.Answers("GETSTOCARTICOL.TXT", "A0001\r\n"));
    EXPECT_EQ(service.Read("STOCARTICOL.TXT").rfind("A0001;DEP;", 0), 0u);
    service.Put("COMANDA_1.TXT", kOneOrder);
    EXPECT_TRUE(service.Gone("COMANDA_1.TXT", 20000));
    EXPECT_FALSE(service.Exists("COMANDA_1.ERR"));
    service.Close();
}

}  // namespace
