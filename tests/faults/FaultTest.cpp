// Faults in process: planted links, huge files, and every server call failing.
#include <windows.h>

#include "base/AnsiText.h"
#include "base/FileSystem.h"
#include "support/BrokerFixture.h"
#include "support/RequestKinds.h"

namespace {

using FaultTest = BrokerTest;

// Links planted under the names the service writes through redirect none of its writes.
TEST_F(FaultTest, LinksPlantedInTheWorkingDirectoryRedirectNoWrite) {
    const std::string outside = MakeTempFolder("outside"), victim = outside + "\\victim.txt";
    WriteFileReplacing(Wide(victim), "precious");
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
    Put("COMANDA_1.TXT", OrderPackage(1));
    broker.TimerTimer();
    EXPECT_EQ(Read("ERORI.TXT"), "Linia 4: articol necunoscut\r\n");
    EXPECT_EQ(ServeOneQuery(), "DEP;Depozit;DEPOZIT\r\n");
    // In place of the service's own LOG.TXT, a link to a file of the same size and time.
    const std::string twin = outside + "\\twin.txt";
    ASSERT_TRUE(CopyFileW(Wide(Path("LOG.TXT")).c_str(), Wide(twin).c_str(), FALSE));
    plant("LOG.TXT", twin);
    broker.LogMessage("one more line");
    EXPECT_EQ(Read("LOG.TXT"), broker.LogText());
    EXPECT_EQ(ReadWholeFile(Wide(victim)), "precious");
    EXPECT_EQ(ReadWholeFile(Wide(twin)) + "Ver. 3.1 -  one more line\r\n", broker.LogText());
    RemoveFolder(outside);
}

// Sparse: it takes no disk.
TEST_F(FaultTest, PackageBeyondTheAddressSpaceIsSetAsideWithAClearError) {
    if (sizeof(void*) != 4) GTEST_SKIP() << "only a 32-bit address space is cheap to exceed";
    Start();
    {
        const UniqueFile file = Writing(Path("COMANDA_1.TXT"), kMonthHeader);
        LARGE_INTEGER end{};
        end.QuadPart = 3LL << 30;
        ASSERT_TRUE(SetFilePointerEx(file.get(), end, nullptr, FILE_BEGIN) && SetEndOfFile(file.get()));
    }
    EXPECT_EQ(ErrorRaisedBy([&] { broker.TimerTimer(); }),
              "File too large \"" + Path("COMANDA_1.TXT") + "\"");
    EXPECT_EQ(server.CallsText(), "");
    EXPECT_FALSE(Exists("COMANDA_1.TXT"));
    EXPECT_TRUE(Exists("COMANDA_1.ERR"));
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
        rows.push_back(std::to_string(n) + ";Partener");
        expected += rows.back() + "\r\n";
    }
    server.lists["GetListaParteneri"] = FakeList::OfVariants(std::move(rows));
    Put("GETLISTAPARTENERI.TXT", "");
    broker.TimerTimer();
    EXPECT_TRUE(Read("LISTAPARTENERI.TXT") == expected);
    EXPECT_FALSE(Exists("LISTAPARTENERI.TXT.~tmp"));
}

// Redone when nothing of it can be in the books, set aside with a warning when its documents may
// be, served with a warning once they are, else failed (only logged by the traced queries).
enum Fate { Redone, Served, MayBeBooked, Failed, Logged };

struct FailingCall {
    std::string request;  // "export solduri" is the button; a package's number is its own
    std::string method;   // the call that fails
    HRESULT hr;
    Fate fate;
    bool renews;  // the server is made anew before the next request
};

std::vector<FailingCall> FailingCalls() {
    const HRESULT gone = HRESULT_FROM_WIN32(RPC_S_SERVER_UNAVAILABLE);
    const HRESULT died = HRESULT_FROM_WIN32(RPC_S_CALL_FAILED);
    std::vector<FailingCall> calls = {
        {"COMANDA_1.TXT", "SetLunaLucru", gone, Redone, true},
        {"COMANDA_2.TXT", "SetPachet", died, Redone, true},
        {"COMANDA_3.TXT", "GenComenzi", RPC_E_DISCONNECTED, MayBeBooked, true},
        {"COMANDA_14.TXT", "GetNrComenzi", RPC_E_CALL_REJECTED, Served, false},
        {"COMANDA_4.TXT", "GenComenzi", RPC_E_CALL_REJECTED, Redone, false},
        {"PARTENER_1.TXT", "AddPartener", HRESULT_FROM_WIN32(RPC_S_CALL_FAILED_DNE), Redone, true},
        {"ARTICOL_1.TXT", "AddArticol", RPC_E_SERVERCALL_RETRYLATER, Redone, false},
        {"GETSTOC.TXT", "GetStocuri", died, Redone, true},
        {"GETSTOCARTICOL.TXT", "GetStocArticol", CO_E_OBJNOTCONNECTED, Redone, true},
        {"GETLISTAGESTIUNI.TXT", "SetLunaLucru", RPC_E_SERVER_DIED_DNE, Redone, true},
        {"export solduri", "GetSolduriParteneri", died, Redone, true},
        {"COMANDA_5.TXT", "GenComenzi", died, MayBeBooked, true},
        {"COMANDA_6.TXT", "GenComenzi", RPC_E_SERVER_DIED, MayBeBooked, true},
        {"COMANDA_7.TXT", "GetNrComenzi", CO_E_OBJNOTCONNECTED, Served, true},
        {"MODIPARTENER_1.TXT", "ModiPartener", RPC_E_SERVERFAULT, MayBeBooked, true},
        {"COMANDA_8.TXT", "SetPachet", E_OUTOFMEMORY, Failed, false},
        {"COMANDA_9.TXT", "GetListaErori", gone, Failed, true},  // a refused package's
        {"COMANDA_10.TXT", "SetLunaLucru", E_FAIL, Failed, false},
        {"COMANDA_13.TXT", "GetListaErori", E_FAIL, Failed, false},
        {"GETINCASARILUNA.TXT", "SetLunaLucru", E_FAIL, Failed, false},
    };
    for (const ExpectedPackage& kind : kExpectedPackages) {
        calls.push_back({kind.File(11), kind.call, E_UNEXPECTED, Failed, false});
        if (kind.Documents()) calls.push_back({kind.File(12), kind.count, E_FAIL, Served, false});
    }
    for (const ExpectedQuery& query : kExpectedQueries) {
        const bool traced = query.Method() == "GetInfoCmdBon" || query.Method() == "GetStocArticol";
        calls.push_back({query.request, query.Method(), E_FAIL, traced ? Logged : Failed, false});
    }
    return calls;
}

// A query's parameter, a record, or an order, refused when the error list is to fail.
std::string ContentOf(const FailingCall& call) {
    if (call.request.starts_with("GET")) return "5\r\n";
    for (const ExpectedPackage& kind : kExpectedPackages)
        if (call.request.starts_with(kind.prefix) && !kind.Documents()) return "P9;;;Alfa SRL\r\n";
    return OrderPackage() + (call.method == "GetListaErori" ? "REFUZ\r\n" : "");
}

TEST_F(FaultTest, FailingCallRedoesSetsAsideOrFailsItsRequestByWhatTheCallMayHaveDone) {
    Start();
    server.refuseMarker = "REFUZ";
    const std::string mayBeBooked =
        "Serverul de documente s-a oprit in timpul generarii; documentele pachetului pot fi deja generate. "
        "Verificati inainte de a-l trimite din nou.";
    for (const FailingCall& c : FailingCalls()) {
        SCOPED_TRACE(c.request + " " + c.method);
        const bool exported = c.request == "export solduri";
        const std::string content = exported ? kNoFile : ContentOf(c);
        const int made = creations;
        const size_t reported = events->records.size();
        NewLines();
        server.failures = {{c.method, {c.hr, "Eroare"}}};
        if (!exported) Put(c.request, content);
        exported ? broker.ExportBalances() : broker.Tick();
        EXPECT_EQ(!broker.FServer, c.renews);
        EXPECT_EQ(Contents(c.request), c.fate == Redone ? content : kNoFile);
        const std::string setAside = c.request.substr(0, c.request.find('.')) + ".ERR";
        EXPECT_EQ(Contents(setAside), c.fate <= Served || c.request.starts_with("GET") ? kNoFile : content);
        EXPECT_EQ(Contents("ERORI.TXT"), c.fate == MayBeBooked ? mayBeBooked + "\r\n" : kNoFile);
        const TextList told(events->records.begin() + reported, events->records.end());
        const std::string warning = c.request + ": " + (c.fate == Served ? "Documentele pachetului au fost generate; numarul lor nu poate fi citit: Eroare" : mayBeBooked);
        const std::string error = c.fate == Served ? "W " + warning : c.fate == MayBeBooked ? "E " + warning : "E Eroare";
        EXPECT_EQ(told, c.fate == Redone || c.fate == Logged ? TextList{} : TextList{error});
        const std::string redo = " ... Serverul de documente nu a raspuns; cererea " + c.request +
                                 " ramane pentru o noua incercare";
        EXPECT_EQ(CountLines(NewLines(), Stamp() + redo), c.fate == Redone ? 1u : 0u);
        EXPECT_EQ(CountLines(Log(), Stamp() + " ... " + warning), size_t(error.ends_with(warning)));

        uptimeMs += 1000;
        server.failures.clear();  // the server is well again: the request is served or gone
        broker.Tick();
        EXPECT_EQ(creations, made + c.renews);
        EXPECT_EQ(Contents(c.request), kNoFile);
        EXPECT_EQ(Exists("SOLDURI.TXT"), exported);
        EXPECT_EQ(ServeOneQuery(), "DEP;Depozit;DEPOZIT\r\n");
        DeleteFileQuietly(Wide(Path("ERORI.TXT")));
        DeleteFileQuietly(Wide(Path("SOLDURI.TXT")));
    }
}

// A busy server's wait is logged once and counts no try.
TEST_F(FaultTest, RequestKillingEveryServerFailsAtItsThirdTryWhileBusyOnesWait) {
    Start();
    server.failures = {{"SetPachet", {HRESULT_FROM_WIN32(RPC_S_CALL_FAILED), "Serverul a murit"}}};
    Put("COMANDA_1.TXT", OrderPackage());
    for (int tries = 1; tries <= 3; ++tries, uptimeMs += 1000) {
        broker.Tick();
        broker.Tick();
    }
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
    const std::string opened = Stamp() + " ... Deschid pachetul cu comenzi";
    const std::string redo = Stamp() + " ... Serverul de documente nu a raspuns; cererea ";
    const std::string again = " ramane pentru o noua incercare";
    EXPECT_EQ(Log(),
              (TextList{"", "", opened, redo + "COMANDA_1.TXT" + again, "", "", opened,
                        redo + "COMANDA_1.TXT" + again, "", "", opened, redo + "GETSTOC.TXT" + again}));
}

struct JournalHoldingServer : FakeServer {
    std::string journal;
    UniqueFile held;
    int calls = 0;
    STDMETHODIMP SetPachet(VARIANT lines) override {
        if (calls++) return FakeServer::SetPachet(lines);
        held = Hold(journal, 0);
        return RPC_E_CALL_REJECTED;
    }
};

// Tries go with their request; a redo waits for its journal record to clear.
TEST_F(FaultTest, RequestTakenBackTakesItsTriesAndARedoWaitsForItsRecordToClear) {
    static JournalHoldingServer holding;
    holding.journal = Path("VQBROKER.JNL");
    broker.FCreateServer = [] { return holding.Ref(); };
    Start();
    holding.failures = {{"GetStocuri", {HRESULT_FROM_WIN32(RPC_S_CALL_FAILED), ""}}};
    for (int tick = 1; tick <= 4; ++tick, uptimeMs += 1000) {
        if (tick != 3) Put("GETSTOC.TXT", "");
        broker.Tick();
        if (tick == 2) DeleteFileQuietly(Wide(Path("GETSTOC.TXT")));
    }
    EXPECT_TRUE(Exists("GETSTOC.TXT"));
    holding.failures.clear();
    Put("COMANDA_1.TXT", OrderPackage());
    broker.Tick();
    uptimeMs += 1000;
    broker.Tick();
    EXPECT_TRUE(Exists("GETSTOC.TXT"));
    holding.held.reset();
    uptimeMs += 1000;
    broker.Tick();
    EXPECT_FALSE(Exists("COMANDA_1.TXT"));
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
    for (int tries = 1; tries <= 3; ++tries, uptimeMs += 1000) broker.Tick();
    EXPECT_TRUE(nesting.heldInNestedTick);
    EXPECT_FALSE(broker.FServer);  // released once the query was done with it
}

}  // namespace
