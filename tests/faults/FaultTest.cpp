// Faults in process: the working directory and its files, odd or huge lists, every call failing.
#include <windows.h>

#include <algorithm>
#include <set>

#include "base/AnsiText.h"
#include "base/FileSystem.h"
#include "support/BrokerFixture.h"
#include "support/RequestKinds.h"

namespace {

using FaultTest = BrokerTest;

// Requests and log lines alike wait for the working directory to come back.
TEST_F(FaultTest, WorkingDirectoryVanishingMidRunLosesAndDoublesNothing) {
    Start();
    server.count["GetNrComenzi"] = 1;
    server.lists["GetListaGestiuni"] = FakeList::Of({"DEP;Depozit;DEPOZIT"});
    for (int n = 1; n <= 6; ++n) Put("COMANDA_" + std::to_string(n) + ".TXT", OrderPackage(n));
    Put("GETLISTAGESTIUNI.TXT", "");
    const TextList served = {"", "", Stamp() + " ... Deschid pachetul cu comenzi",
                             "Au fost generate 1 comenzi in baza de date "};
    TextList expected;
    std::set<std::string> names;
    auto serve = [&](int ticks) {
        for (int i = 0; i < ticks; ++i) {
            broker.TimerTimer();
            ASSERT_TRUE(names.insert(broker.FCurrentRequest).second) << broker.FCurrentRequest;
            if (broker.FCurrentRequest[0] == 'C')
                expected.insert(expected.end(), served.begin(), served.end());
        }
    };
    serve(3);

    ASSERT_TRUE(TakeAway());
    const size_t calls = server.calls.size();
    for (int i = 0; i < 4; ++i) broker.TimerTimer();
    EXPECT_EQ(server.calls.size(), calls);
    EXPECT_FALSE(DirectoryExists(workDir));  // the lines wait in memory: no folder is made for them
    expected.push_back(Stamp() + " ... Directorul de lucru este inactiv");
    ASSERT_TRUE(BringBack());

    serve(4);
    const size_t done = server.calls.size();
    broker.TimerTimer();
    EXPECT_EQ(server.calls.size(), done);
    EXPECT_EQ(names.size(), 7u);
    EXPECT_TRUE(names.count("GETLISTAGESTIUNI.TXT"));
    EXPECT_EQ(Log(), expected);
    EXPECT_EQ(Read("LOG.TXT"), broker.LogText());  // the lines of the outage reach the file too
    EXPECT_EQ(Read("LISTAGESTIUNI.TXT"), "DEP;Depozit;DEPOZIT\r\n");
    for (int n = 1; n <= 6; ++n) EXPECT_FALSE(Exists("COMANDA_" + std::to_string(n) + ".TXT"));
}

// Links planted under the names the service writes through redirect none of its writes.
TEST_F(FaultTest, LinksPlantedInTheWorkingDirectoryRedirectNoWrite) {
    const std::string outside = MakeTempFolder("outside"), victim = outside + "\\victim.txt";
    WriteFileReplacing(victim, "precious");
    auto plant = [&](const std::string& name, const std::string& target) {
        DeleteFileW(Wide(Path(name)).c_str());
        ASSERT_TRUE(CreateHardLinkW(Wide(Path(name)).c_str(), Wide(target).c_str(), nullptr)) << name;
    };
    for (const char* name :
         {"LOG.TXT", "LOG.TXT.~tmp", "ERORI.TXT.~tmp", "VQBROKER.JNL.~tmp", "LISTAGESTIUNI.TXT.~tmp"})
        plant(name, victim);
    Start();
    server.ok["GenComenzi"] = 0;
    server.errors = FakeList::Of({"Linia 4: articol necunoscut"});
    server.lists["GetListaGestiuni"] = FakeList::Of({"G1;Depozit"});
    Put("COMANDA_1.TXT", OrderPackage(1));
    Put("GETLISTAGESTIUNI.TXT", "");
    broker.TimerTimer();
    EXPECT_EQ(Read("ERORI.TXT"), "Linia 4: articol necunoscut\r\n");
    broker.TimerTimer();
    EXPECT_EQ(Read("LISTAGESTIUNI.TXT"), "G1;Depozit\r\n");
    // In place of the service's own LOG.TXT, a link to a file of the same size and time.
    const std::string twin = outside + "\\twin.txt";
    ASSERT_TRUE(CopyFileW(Wide(Path("LOG.TXT")).c_str(), Wide(twin).c_str(), FALSE));
    plant("LOG.TXT", twin);
    broker.LogMessage("one more line");
    EXPECT_EQ(Read("LOG.TXT"), broker.LogText());
    EXPECT_EQ(ReadWholeFile(victim), "precious");
    EXPECT_EQ(ReadWholeFile(twin) + "Ver. 3.1 -  one more line\r\n", broker.LogText());
    RemoveFolder(outside);
}

TEST_F(FaultTest, ResultFileHeldByAReaderThatDeniesWritingFailsOnlyItsOwnQuery) {
    Start();
    server.lists["GetListaGestiuni"] = FakeList::Of({"DEP;Depozit;DEPOZIT"});
    server.lists["GetListaParteneri"] = FakeList::Of({"P1;P1;;;Alfa"});
    Put("LISTAGESTIUNI.TXT", "vechi\r\n");
    UniqueFile reader = Hold(Path("LISTAGESTIUNI.TXT"), FILE_SHARE_READ);
    ASSERT_TRUE(reader.valid());
    Put("GETLISTAGESTIUNI.TXT", "");
    Put("GETLISTAPARTENERI.TXT", "");

    const std::string error = ErrorRaisedBy([&] { broker.TimerTimer(); });
    EXPECT_EQ(error.rfind("Cannot create file \"" + Path("LISTAGESTIUNI.TXT") + "\"", 0), 0u) << error;
    EXPECT_FALSE(broker.FBusy);
    EXPECT_FALSE(Exists("GETLISTAGESTIUNI.TXT"));
    EXPECT_FALSE(Exists("LISTAGESTIUNI.TXT.~tmp"));
    EXPECT_EQ(Read("LISTAGESTIUNI.TXT"), "vechi\r\n");

    broker.TimerTimer();  // the next request is not disturbed
    EXPECT_EQ(Read("LISTAPARTENERI.TXT"), "P1;P1;;;Alfa\r\n");
    EXPECT_FALSE(Exists("GETLISTAPARTENERI.TXT"));

    reader.reset();
    Put("GETLISTAGESTIUNI.TXT", "");
    broker.TimerTimer();
    EXPECT_EQ(Read("LISTAGESTIUNI.TXT"), "DEP;Depozit;DEPOZIT\r\n");
    EXPECT_EQ(Log(), TextList{});
}

// A VARIANT array may hold any kind of element; a null BSTR is an empty text.
TEST_F(FaultTest, ListWithEightBitEmptyAndVariantElementsIsWrittenLineForLine) {
    Start();
    server.lists["GetListaParteneri"] = FakeList::OfMixedKinds();
    Put("GETLISTAPARTENERI.TXT", "");
    broker.TimerTimer();
    EXPECT_EQ(Read("LISTAPARTENERI.TXT"),
              "P1;Caf\xE9 Cr\xE8me;\xC0\xFF\r\n\r\n\r\n\r\n-42\r\n\r\n;\xB0;\r\n");
}

// A package beyond the 32-bit address space (sparse: no disk) is stopped by its size alone.
TEST_F(FaultTest, PackageBeyondTheAddressSpaceIsSetAsideWithAClearError) {
    if (sizeof(void*) != 4)
        GTEST_SKIP() << "only a 32-bit process has an address space a sparse file can exceed cheaply";
    Start();
    {
        const UniqueFile file = Writing(Path("COMANDA_1.TXT"), kMonthHeader);
        LARGE_INTEGER end{};
        end.QuadPart = 3LL << 30;
        ASSERT_TRUE(SetFilePointerEx(file.get(), end, nullptr, FILE_BEGIN) && SetEndOfFile(file.get()));
    }
    EXPECT_EQ(ErrorRaisedBy([&] { broker.TimerTimer(); }),
              "File too large \"" + Path("COMANDA_1.TXT") + "\"");
    EXPECT_FALSE(broker.FBusy);
    EXPECT_EQ(server.CallsText(), "");
    EXPECT_FALSE(Exists("COMANDA_1.TXT"));
    EXPECT_TRUE(Exists("COMANDA_1.ERR"));
    DeleteFileW(Wide(Path("COMANDA_1.ERR")).c_str());
    EXPECT_EQ(ServeOneQuery(), "DEP;Depozit;DEPOZIT\r\n");
}

TEST_F(FaultTest, PackageOfTwoHundredThousandLinesAndAnswerOfThreeHundredThousandRowsGoWhole) {
    Start();
    std::string content = kMonthHeader;
    for (int n = 0; n < 200000; ++n)
        content.append("Articol=A").append(std::to_string(n)).append(";1;9.99\r\n");
    Put("FACTURA_1.TXT", content);
    broker.TimerTimer();
    EXPECT_EQ(server.CallsText(), "SetLunaLucru(2026,12) SetPachet(200003) GenFacturi GetNrFacturi");
    ASSERT_EQ(server.package.size(), 200003u);
    EXPECT_EQ(server.package[3], "Articol=A0;1;9.99");
    EXPECT_EQ(server.package.back(), "Articol=A199999;1;9.99");
    EXPECT_FALSE(Exists("FACTURA_1.TXT"));

    std::vector<std::string> rows;
    std::string expected;
    for (int n = 0; n < 300000; ++n) {
        const std::string number = std::to_string(n);
        rows.push_back("P" + number + ";P" + number + ";;RO" + number + ";Partener");
        expected += rows.back() + "\r\n";
    }
    server.lists["GetListaParteneri"] = FakeList::OfVariants(std::move(rows));
    Put("GETLISTAPARTENERI.TXT", "");
    broker.TimerTimer();
    EXPECT_TRUE(Read("LISTAPARTENERI.TXT") == expected);
    EXPECT_FALSE(Exists("LISTAPARTENERI.TXT.~tmp"));
}

// Each server method failing in turn: the error leaves the tick (guarded calls: logged, result
// emptied), the request is disposed of, the busy flag cleared, and the next tick serves.
const char kRecord[] = "P9;;;Alfa SRL\r\n";

struct FailingCall {
    std::string method;
    std::string request;  // the request that reaches the method
    std::string content;
    HRESULT hr = E_FAIL;
    std::string guardedResult = {};  // a guarded call's result file, emptied
};

// Every call of every request kind, and a few other failures; each package's name is its own,
// so that its disposal shows on its own.
std::vector<FailingCall> FailingCalls() {
    std::vector<FailingCall> calls = {{"SetLunaLucru", "COMANDA_11.TXT", OrderPackage()},
                                      {"SetPachet", "COMANDA_12.TXT", OrderPackage(), E_OUTOFMEMORY},
                                      {"GenComenzi", "COMANDA_13.TXT", OrderPackage(), E_UNEXPECTED},
                                      {"GetListaErori", "COMANDA_14.TXT", kMonthHeader + "REFUZ\r\n"},
                                      {"SetLunaLucru", "GETINCASARILUNA.TXT", ""}};
    for (const ExpectedPackage& kind : kExpectedPackages) {
        calls.push_back({kind.call, kind.File(1), kind.Documents() ? OrderPackage() : kRecord});
        if (kind.Documents()) calls.push_back({kind.count, kind.File(2), OrderPackage()});
    }
    for (const ExpectedQuery& query : kExpectedQueries) {
        const std::string_view name = query.request;
        const bool guarded = name == "GETINFOCMDBON.TXT" || name == "GETSTOCARTICOL.TXT";
        calls.push_back({query.Method(), query.request, "5\r\n", E_FAIL, guarded ? query.result : ""});
    }
    return calls;
}

TEST_F(FaultTest, EachMethodFailingLeavesTheTickAndTheServiceKeepsPolling) {
    Start();
    server.refuseMarker = "REFUZ";
    for (const FailingCall& call : FailingCalls()) {
        SCOPED_TRACE(call.method + " for " + call.request);
        const std::string text = "Eroare simulata in " + call.method;
        server.failures = {{call.method, {call.hr, text}}};
        Put(call.request, call.content);
        const bool guarded = !call.guardedResult.empty();
        if (guarded) Put(call.guardedResult, "vechi\r\n");
        EXPECT_EQ(ErrorRaisedBy([&] { broker.TimerTimer(); }), guarded ? "" : text);
        EXPECT_FALSE(broker.FBusy);
        EXPECT_EQ(broker.FCurrentRequest, call.request);
        EXPECT_FALSE(Exists(call.request));
        const TextList log = NewLines();
        if (guarded) {
            EXPECT_EQ(Read(call.guardedResult), "");
            const std::string said =
                Stamp() + " ... Exceptie la rularea functiei " + call.method + " ... " + text;
            EXPECT_NE(std::find(log.begin(), log.end(), said), log.end());
        } else if (call.request.rfind("GET", 0) != 0) {
            // Documents may exist already: set aside, never to be served again.
            std::string name = call.request;
            EXPECT_EQ(Read(name.replace(name.size() - 4, 4, ".ERR")), call.content);
        }
        server.failures.clear();  // the server is well again: the service goes on serving
        EXPECT_EQ(ServeOneQuery(), "DEP;Depozit;DEPOZIT\r\n");
    }
}

// What a failing call may have done decides its request's fate: redone when nothing of it can
// be in the books (made anew first when the server went, waited for when it is busy), set
// aside with a warning when its documents may be there, failed as before otherwise.
TEST_F(FaultTest, ServerFaultRedoesSetsAsideOrFailsByWhatTheCallMayHaveDone) {
    Start();
    server.refuseMarker = "REFUZ";
    enum Fate { Redone, MayBeBooked, Failed };
    const HRESULT gone = HRESULT_FROM_WIN32(RPC_S_SERVER_UNAVAILABLE);
    const HRESULT died = HRESULT_FROM_WIN32(RPC_S_CALL_FAILED);
    struct Case {
        const char* request;  // a "REFUZ" package is refused; "export solduri" is the button
        const char* method;   // the call that fails
        HRESULT hr;
        Fate fate;
        bool renews;  // the server is made anew before the next request
    } cases[] = {
        {"COMANDA_1.TXT", "SetLunaLucru", gone, Redone, true},
        {"COMANDA_2.TXT", "SetPachet", died, Redone, true},
        {"COMANDA_3.TXT", "GenComenzi", RPC_E_DISCONNECTED, Redone, true},
        {"COMANDA_4.TXT", "GenComenzi", RPC_E_CALL_REJECTED, Redone, false},
        {"PARTENER_1.TXT", "AddPartener", HRESULT_FROM_WIN32(RPC_S_CALL_FAILED_DNE), Redone, true},
        {"ARTICOL_1.TXT", "AddArticol", RPC_E_SERVERCALL_RETRYLATER, Redone, false},
        {"GETSTOC.TXT", "GetStocuri", died, Redone, true},
        {"GETSTOCARTICOL.TXT", "GetStocArticol", CO_E_OBJNOTCONNECTED, Redone, true},
        {"GETLISTAGESTIUNI.TXT", "SetLunaLucru", RPC_E_SERVER_DIED_DNE, Redone, true},
        {"export solduri", "GetSolduriParteneri", died, Redone, true},
        {"COMANDA_5.TXT", "GenComenzi", died, MayBeBooked, true},
        {"COMANDA_6.TXT", "GenComenzi", RPC_E_SERVER_DIED, MayBeBooked, true},
        {"COMANDA_7.TXT", "GetNrComenzi", CO_E_OBJNOTCONNECTED, MayBeBooked, true},
        {"MODIPARTENER_1.TXT", "ModiPartener", died, MayBeBooked, true},
        {"COMANDA_8.TXT", "GenComenzi", E_FAIL, Failed, false},
        {"COMANDA_REFUZ.TXT", "GetListaErori", gone, Failed, true},
    };
    const std::string mayBeBooked =
        "Serverul de documente s-a oprit in timpul generarii; documentele pachetului pot fi deja generate. "
        "Verificati inainte de a-l trimite din nou.";
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.request) + " " + c.method);
        const std::string request = c.request, setAside = request.substr(0, request.find('.')) + ".ERR";
        const bool exported = request == "export solduri", query = request.rfind("GET", 0) == 0;
        const std::string refused = c.fate == Failed ? "REFUZ\r\n" : "";
        const std::string content = query ? "A1\r\n" : request[0] == 'C' ? OrderPackage() + refused : kRecord;
        const int made = creations;
        const size_t reported = events->records.size();
        NewLines();
        server.failures = {{c.method, {c.hr, "Eroare"}}};
        if (!exported) Put(request, content);
        exported ? broker.ExportBalances() : broker.Tick();
        EXPECT_EQ(!broker.FServer, c.renews);
        EXPECT_EQ(Contents(setAside), c.fate == Redone ? kNoFile : content);
        EXPECT_EQ(Contents("ERORI.TXT"), c.fate == MayBeBooked ? mayBeBooked + "\r\n" : kNoFile);
        const TextList told(events->records.begin() + reported, events->records.end());
        if (c.fate == Redone) {
            EXPECT_EQ(told, TextList{});
            EXPECT_EQ(NewLines().back(),
                      Stamp() + " ... Serverul de documente nu a raspuns; cererea " + request +
                          " ramane pentru o noua incercare");
            EXPECT_TRUE(exported || Read(request) == content);
            server.failures.clear();
            broker.Tick();
            EXPECT_EQ(exported ? Exists("SOLDURI.TXT") : !Exists(request), true);
            EXPECT_EQ(creations, made + c.renews);
        } else {
            EXPECT_EQ(told, TextList{"E " + (c.fate == MayBeBooked ? mayBeBooked : "Eroare")});
            EXPECT_FALSE(Exists(request));
        }
        server.failures.clear();
        EXPECT_EQ(ServeOneQuery(), "DEP;Depozit;DEPOZIT\r\n");
        DeleteFileQuietly(Path("ERORI.TXT"));
    }
}

// One request that kills every server is failed at its third try and the service goes on; a
// busy server is waited for as long as it stays busy, its wait logged once.
TEST_F(FaultTest, RequestKillingEveryServerFailsAtItsThirdTryWhileBusyOnesWait) {
    Start();
    server.failures = {{"SetPachet", {HRESULT_FROM_WIN32(RPC_S_CALL_FAILED), "Serverul a murit"}}};
    Put("COMANDA_1.TXT", OrderPackage());
    for (int tries = 1; tries <= 3; ++tries) broker.Tick();
    EXPECT_EQ(creations, 3);  // the first server and two made anew
    EXPECT_EQ(Contents("COMANDA_1.ERR"), OrderPackage());
    EXPECT_EQ(events->records.back(), "E Serverul a murit");
    server.failures = {{"GetStocuri", {RPC_E_CALL_REJECTED, ""}}};
    Put("GETSTOC.TXT", "");
    for (int tries = 1; tries <= 5; ++tries) broker.Tick();
    EXPECT_TRUE(Exists("GETSTOC.TXT"));
    server.failures.clear();
    broker.Tick();
    EXPECT_EQ(Contents("STOCURI.TXT"), "");
    const std::string redo = " ... Serverul de documente nu a raspuns; cererea ";
    EXPECT_EQ(Log(), (TextList{"", "", Stamp() + " ... Deschid pachetul cu comenzi", Stamp() + redo +
                               "COMANDA_1.TXT ramane pentru o noua incercare", "", "",
                               Stamp() + " ... Deschid pachetul cu comenzi", Stamp() + redo +
                               "COMANDA_1.TXT ramane pentru o noua incercare", "", "",
                               Stamp() + " ... Deschid pachetul cu comenzi",
                               Stamp() + redo + "GETSTOC.TXT ramane pentru o noua incercare"}));
}

// A traced query's third try still asks for the error list after its call found the server
// gone; a tick nested in that call (a call may serve the thread's messages) leaves the server
// to the handler whose call runs on it.
struct NestingServer : FakeServer {
    TEBroker* broker = nullptr;
    bool heldInNestedTick = false;
    STDMETHODIMP GetStocArticol(BSTR, LONG, LONG* errorCode, VARIANT*) override {
        *errorCode = 7;
        return RPC_E_DISCONNECTED;
    }
    STDMETHODIMP GetListaErori(VARIANT* list) override {
        broker->Tick();
        heldInNestedTick = broker->FServer.get() != nullptr;
        return FakeServer::GetListaErori(list);
    }
};

TEST_F(FaultTest, TickNestedInACallLeavesAServerFoundGoneToTheOuterHandler) {
    static NestingServer nesting;
    nesting.broker = &broker;
    broker.FCreateServer = [] { return nesting.Ref(); };
    Start();
    Put("GETSTOCARTICOL.TXT", "A1\r\n");
    for (int tries = 1; tries <= 3; ++tries) broker.Tick();
    EXPECT_TRUE(nesting.heldInNestedTick);
    EXPECT_FALSE(broker.FServer);  // released once the query was done with it
}

}  // namespace
