// Faults met by the real program, each test with a copy of its own whose stand-in server
// settings suit the faults it meets.
#include <gtest/gtest.h>

#include <algorithm>

#include "base/AnsiText.h"
#include "base/BrokerError.h"
#include "journal/PackageJournal.h"
#include "support/ServiceProcess.h"

namespace {

const std::string kOpened = kStamped + " ... Deschid pachetul cu comenzi";

class FaultE2ETest : public ::testing::Test {
protected:
    // Closes the copy if it runs, then starts it on these server settings and kinds of its own.
    void Start(const std::string& serverIni, const std::string& iniExtra = {}, bool untilShown = true) {
        if (service.Running()) service.Close();
        service.WriteServerIni("[Test]\r\n" + serverIni + "\r\n");
        service.WriteIni(service.DefaultIni(iniExtra));
        service.Start(untilShown);
    }
    static bool ServerWaits() {
        return WaitUntil([] { return FindWindowW(L"VQDocServerWait", nullptr) != nullptr; }, 20000);
    }
    ServiceProcess service;
};

// Closed while a server call waits, the copy finishes the call and ends with 0; a query dropped
// meanwhile waits; the locations the close does not take away filter the stock.
TEST_F(FaultE2ETest, CloseDuringAServerCallWaitsForIt) {
    const struct {
        const char* call;     // the server's call that waits
        const char* request;  // dropped to make the call; "" the button; nullptr the start itself
        const char* file;     // what the call leaves, in the working directory: its lines,
        size_t lines;         // and how its last line ends
        std::string end;
    } cases[] = {
        {"SetFirmaLucru", nullptr, "LOG.TXT", 0, ""},
        {"GetStocuri", "GETSTOC.TXT", "STOCURI.TXT", 10, ";MAG1;107.01"},
        {"GenComenzi", "COMANDA_1.TXT", "LOG.TXT", 4, "Au fost generate 1 comenzi in baza de date "},
        {"GetSolduriParteneri", "", "SOLDURI.TXT", 10,
         "P0010;Client Online Magazin;RO24563728;0.00;788.79;788.79;0.00;0.00"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.call);
        Start("WaitMethods=" + std::string(c.call) + "\r\nWaitMs=3000", "Gestiune=MAG1\r\n",
              c.request != nullptr);
        if (c.request && *c.request) service.Put(c.request, ExampleFile(c.request));
        if (c.request && !*c.request) PostMessageW(service.Child(L"BUTTON"), BM_CLICK, 0, 0);
        ASSERT_TRUE(ServerWaits());
        service.Put("GETLISTAGESTIUNI.TXT", "");
        service.Close();
        EXPECT_EQ(service.RunForm("/status").exitCode, 1u);  // stopped
        const TextList left = SplitTextLines(ReadShared(service.Path(c.file)));
        EXPECT_EQ(left.size(), c.lines);
        EXPECT_TRUE((left.empty() ? "" : left.back()).ends_with(c.end));
        EXPECT_TRUE(service.Remove("GETLISTAGESTIUNI.TXT"));
        EXPECT_FALSE(service.Exists("LISTAGESTIUNI.TXT"));
    }
}

// Wine carries no server's own error text out of a local server: the DLL fails.
TEST_F(FaultE2ETest, FailingServerMethodShowsOneErrorBoxWhileRequestsGoOn) {
    service.Register(DocServerForm::InProcess);
    Start("FailMethod=GetStocuri\r\nFailText=Baza de date nu raspunde");
    service.Put("GETSTOC.TXT", "");
    EXPECT_TRUE(service.Boxed("Baza de date nu raspunde\n"));
    EXPECT_FALSE(service.Exists("GETSTOC.TXT"));

    // Meanwhile a second failure is logged, not boxed, and other requests are answered.
    EXPECT_TRUE(service.Answers("GETSTOC.TXT"));
    EXPECT_TRUE(service.Logged(kStamped + " ... Baza de date nu raspunde"));
    EXPECT_TRUE(service.Answers());
    EXPECT_NE(service.Read("LISTAGESTIUNI.TXT"), "");
    EXPECT_EQ(service.BoxTexts(), "Baza de date nu raspunde\n");
    EXPECT_FALSE(service.Exists("STOCURI.TXT"));

    service.DismissBoxes();
    EXPECT_TRUE(service.Answers("GETLISTAPARTENERI.TXT"));
    EXPECT_EQ(service.BoxTexts(), "");
}

// The journal names the package in hand as the server got it, after its writer let go: after a
// crash inside the server's call, the next run sets it aside unserved once it can read the
// journal; till then packages wait and queries go on.
TEST_F(FaultE2ETest, PackageInHandAtACrashIsSetAsideOnceTheNextRunCanReadTheJournal) {
    Start("WaitMethods=GenComenzi\r\nWaitMs=20000");
    const size_t half = kOneOrder.size() / 2;
    UniqueFile writer = Writing(service.Path("COMANDA_6.TXT"), kOneOrder.substr(0, half));
    ASSERT_TRUE(WaitUntil(  // found, in hand
        [&] {
            const PackageJournal journal = ParseJournal(ReadShared(service.Path(kJournalFileName)));
            return journal.inHand && journal.inHand->name == "COMANDA_6.TXT";
        },
        20000));
    DWORD written = 0;
    ASSERT_TRUE(
        WriteFile(writer.get(), kOneOrder.data() + half, DWORD(kOneOrder.size() - half), &written, nullptr));
    writer.reset();
    ASSERT_TRUE(ServerWaits());
    service.Kill();
    // Its server's call goes on: cut short, so that its window is not taken for a later one's.
    PostMessageW(FindWindowW(L"VQDocServerWait", nullptr), WM_CLOSE, 0, 0);
    EXPECT_EQ(service.RunForm("/status").exitCode, 1u);  // STARE.TXT is fresh, its writer gone

    service.Put("COMANDA_9.TXT", kOneOrder);
    UniqueFile holder = Hold(service.Path(kJournalFileName), 0);
    ASSERT_TRUE(holder.valid());
    Start("");
    EXPECT_TRUE(service.Answers());
    Sleep(1500);
    EXPECT_TRUE(service.Exists("COMANDA_6.TXT"));
    EXPECT_TRUE(service.Exists("COMANDA_9.TXT"));
    holder.reset();
    EXPECT_TRUE(service.Gone("COMANDA_9.TXT", 15000));
    EXPECT_TRUE(service.Answers());  // a tick more
    EXPECT_EQ(service.Read("COMANDA_6.ERR"), kOneOrder);
    const TextList log = service.Log();  // this run's
    const std::string setAside =
        " ... Pachetul COMANDA_6.TXT a fost intrerupt la oprire si a fost pus deoparte";
    EXPECT_EQ(CountLines(log, kStamped + setAside), 1u);
    EXPECT_EQ(CountLines(log, kOpened), 1u);  // COMANDA_9's
    EXPECT_FALSE(service.Exists(kJournalFileName));
}

// The stand-in server in its own process, ending between requests, inside a call, or busy,
// as a real application's server does.
using ServerProcessE2ETest = FaultE2ETest;

// An order numbered number, and how many lines of the stand-in's books carry that number.
std::string Order(const std::string& number) {
    return "[InfoPachet]\r\nAnLucru=2025\r\nLunaLucru=6\r\n[Document]\r\nNumar=" + number +
           "\r\nData=10.06.2025\r\nPartener=P0001\r\nGestiune=DEP\r\nArticol=A0005;1\r\n";
}
size_t Booked(const ServiceProcess& service, const std::string& number) {
    const TextList rows = SplitTextLines(ReadShared(service.exeDir + "VQDocServerData\\DEMO\\COMENZI.TXT"));
    return size_t(std::count_if(rows.begin(), rows.end(),
                                [&](const std::string& row) { return row.rfind(number + ";", 0) == 0; }));
}
std::string Redone(const std::string& name) {
    return kStamped + " ... Serverul de documente nu a raspuns; cererea " + name +
           " ramane pentru o noua incercare";
}

TEST_F(ServerProcessE2ETest, ServerEndedBetweenRequestsCostsTheNextOneNothing) {
    Start("ExitIdleMs=1000\r\nExitCount=1");
    EXPECT_TRUE(service.Answers());
    const std::vector<DWORD> first = service.ServerProcesses();
    ASSERT_TRUE(service.ServersEnd(10000));
    service.Put("COMANDA_20.TXT", Order("C20"));
    EXPECT_TRUE(service.Gone("COMANDA_20.TXT", 20000));
    EXPECT_FALSE(service.Exists("COMANDA_20.ERR"));
    EXPECT_EQ(Booked(service, "C20"), 1u);
    EXPECT_EQ(CountLines(service.Log(), Redone("COMANDA_20.TXT")), 1u);
    EXPECT_NE(service.ServerProcesses(), first);
}

// A death during a call that cannot have reached the books costs a request nothing: a new
// server serves it once; a busy server at the start is waited for. A death inside the call that
// makes the orders sets the package aside with a warning, whether it came before or after their
// writing (the caller cannot tell which); one that kills every server sets it aside at its third try.
TEST_F(ServerProcessE2ETest, ServerEndingOrBusyInACallServesOnceOrSetsAsideWithAWarning) {
    const std::string warning =
        "Serverul de documente s-a oprit in timpul generarii; documentele pachetului pot fi deja generate. "
        "Verificati inainte de a-l trimite din nou.";
    const std::string died = OleErrorText(HRESULT_FROM_WIN32(RPC_S_CALL_FAILED));
    const std::string waiting =
        kStamped + " ... Serverul de documente nu este disponibil; cererile raman in asteptare";
    const struct {
        const char* settings;
        const char* request;
        const char* number;  // of its order, in the package and the books; "" a query
        size_t redone;       // tries left for the next tick
        bool waited;         // logged waiting for the server's start
        size_t booked;       // lines of its order in the books
        std::string error;   // the box shown, and the set-aside package's error file; "": served
    } cases[] = {
        {"ExitInMethod=GetStocuri\r\nExitCount=1", "GETSTOC.TXT", "", 1, false, 0, ""},
        {"ExitInMethod=SetPachet\r\nExitCount=1", "COMANDA_21.TXT", "C21", 1, false, 1, ""},
        {"BusyMs=5000", "COMANDA_22.TXT", "C22", 0, true, 1, ""},
        {"ExitInMethod=GenComenzi\r\nExitCount=1", "COMANDA_23.TXT", "C23", 0, false, 0, warning},
        {"ExitInMethod=GenComenzi\r\nExitAfterWrite=1\r\nExitCount=1", "COMANDA_24.TXT", "C24", 0, false, 1,
         warning},
        {"ExitInMethod=SetPachet", "COMANDA_25.TXT", "C25", 2, false, 0, died},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.settings);
        const std::string request = c.request;
        Start(c.settings);
        service.Remove("ERORI.TXT");
        service.Put(request, *c.number ? Order(c.number) : "");
        EXPECT_TRUE(service.Gone(request, 30000));
        EXPECT_TRUE(service.Boxed(c.error.empty() ? "" : c.error + "\n")) << service.BoxTexts();
        service.DismissBoxes();
        const TextList log = service.Log();  // this run's
        EXPECT_EQ(CountLines(log, Redone(request)), c.redone);
        EXPECT_EQ(CountLines(log, waiting), size_t(c.waited));
        EXPECT_EQ(Booked(service, c.number), c.booked);
        EXPECT_EQ(service.Exists(request.substr(0, request.size() - 4) + ".ERR"), !c.error.empty());
        EXPECT_EQ(ReadShared(service.Path("ERORI.TXT")), c.error == warning ? warning + "\r\n" : "");
    }
    EXPECT_TRUE(service.Answers());  // the service goes on
}

}  // namespace
