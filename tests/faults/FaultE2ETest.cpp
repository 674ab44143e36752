// Faults met by the real program, brought about by the stand-in server's settings.
#include <gtest/gtest.h>

#include "base/BrokerError.h"
#include "journal/PackageJournal.h"
#include "support/ServiceProcess.h"

namespace {

class FaultE2ETest : public ::testing::Test {
protected:
    // (Re)starts the copy on these settings of the server and its own.
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

// The call is finished (the stock is MAG1's, as set); a query dropped meanwhile waits.
TEST_F(FaultE2ETest, CloseDuringAServerCallWaitsForIt) {
    const struct {
        const char* call;     // the server's call that waits
        const char* request;  // dropped to make the call; "" the button; nullptr the start itself
        DocServerForm form;   // the DLL's wait serves the window's messages, as Windows may in a call
        const char* file;     // what the call leaves: its lines
        size_t lines;         // and its last line's end
        std::string end;
    } cases[] = {
        {"SetFirmaLucru", nullptr, DocServerForm::Local, "LOG.TXT", 0, ""},
        {"GetStocuri", "GETSTOC.TXT", DocServerForm::Local, "STOCURI.TXT", 10, ";MAG1;107.01"},
        {"GenComenzi", "COMANDA_1.TXT", DocServerForm::InProcess, "LOG.TXT", 4,
         "Au fost generate 1 comenzi in baza de date "},
        {"GetSolduriParteneri", "", DocServerForm::InProcess, "SOLDURI.TXT", 10,
         "P0010;Client Online Magazin;RO24563728;0.00;788.79;788.79;0.00;0.00"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.call);
        service.Register(c.form);
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

TEST_F(FaultE2ETest, PackageInHandAtACrashIsSetAsideOnceTheNextRunCanReadTheJournal) {
    Start("WaitMethods=GenComenzi\r\nWaitMs=20000");
    UniqueFile writer = Writing(service.Path("COMANDA_6.TXT"), kOneOrder);
    ASSERT_TRUE(WaitUntil(  // found, in hand
        [&] {
            return ReadShared(service.Path(kJournalFileName)).find("\tCOMANDA_6.TXT\r\n") !=
                   std::string::npos;
        },
        20000));
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(writer.get(), "\r\n", 2, &written, nullptr));
    writer.reset();
    ASSERT_TRUE(ServerWaits());
    service.Kill();
    // Its call goes on: cut short.
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
    EXPECT_EQ(service.Read("COMANDA_6.ERR"), kOneOrder + "\r\n");
    const TextList log = service.Log();  // this run's
    EXPECT_EQ(
        CountLines(
            log, kStamped + " ... Pachetul COMANDA_6.TXT a fost intrerupt la oprire si a fost pus deoparte"),
        1u);
    EXPECT_EQ(CountLines(log, kStamped + " ... Deschid pachetul cu comenzi"), 1u);  // COMANDA_9's
    EXPECT_FALSE(service.Exists(kJournalFileName));
}

// The stand-in server's process ending between requests, inside a call, or busy.
using ServerProcessE2ETest = FaultE2ETest;

// The lines of the stand-in's books of orders; kOneOrder adds one.
size_t Booked(const ServiceProcess& service) {
    return SplitTextLines(ReadShared(service.exeDir + "VQDocServerData\\DEMO\\COMENZI.TXT")).size();
}
std::string Redone(const std::string& name) {
    return kStamped + " ... Serverul de documente nu a raspuns; cererea " + name +
           " ramane pentru o noua incercare";
}

TEST_F(ServerProcessE2ETest, ServerEndedBetweenRequestsCostsTheNextOneNothing) {
    Start("ExitIdleMs=1000\r\nExitCount=1");
    EXPECT_TRUE(service.Answers());
    const std::vector<DWORD> first = service.ServerProcesses();
    const size_t booked = Booked(service);
    ASSERT_TRUE(service.ServersEnd(10000));
    service.Put("COMANDA_20.TXT", kOneOrder);
    EXPECT_TRUE(service.Gone("COMANDA_20.TXT", 20000));
    EXPECT_FALSE(service.Exists("COMANDA_20.ERR"));
    EXPECT_EQ(Booked(service), booked + 1);
    EXPECT_EQ(CountLines(service.Log(), Redone("COMANDA_20.TXT")), 1u);
    EXPECT_NE(service.ServerProcesses(), first);
}

// GenComenzi's death, before or after writing (the caller cannot tell), sets the package aside.
TEST_F(ServerProcessE2ETest, ServerEndingOrBusyInACallServesOnceOrSetsAsideWithAWarning) {
    const std::string warning =
        "Serverul de documente s-a oprit in timpul generarii; documentele pachetului pot fi deja generate. "
        "Verificati inainte de a-l trimite din nou.";
    const std::string died = OleErrorText(HRESULT_FROM_WIN32(RPC_S_CALL_FAILED));
    const std::string notCounted = "Documentele pachetului au fost generate; numarul lor nu poate fi citit: ";
    const std::string waiting =
        kStamped + " ... Serverul de documente nu este disponibil; cererile raman in asteptare";
    const struct {
        const char* settings;
        const char* request;
        size_t redone;      // tries left for the next tick
        bool waited;        // logged waiting for the server's start
        size_t booked;      // lines its order added to the books
        std::string error;  // the box shown, and the set-aside package's error file; "": served
    } cases[] = {
        {"ExitInMethod=GetStocuri\r\nExitCount=1", "GETSTOC.TXT", 1, false, 0, ""},
        {"ExitInMethod=SetPachet\r\nExitCount=1", "COMANDA_21.TXT", 1, false, 1, ""},
        {"BusyMs=5000", "COMANDA_22.TXT", 0, true, 1, ""},
        {"ExitInMethod=GenComenzi\r\nExitCount=1", "COMANDA_23.TXT", 0, false, 0, "COMANDA_23.TXT: " + warning},
        {"ExitInMethod=GenComenzi\r\nExitAfterWrite=1\r\nExitCount=1", "COMANDA_24.TXT", 0, false, 1,
         "COMANDA_24.TXT: " + warning},
        {"ExitInMethod=SetPachet", "COMANDA_25.TXT", 2, false, 0, died},
        {"ExitInMethod=GetNrComenzi\r\nExitCount=1", "COMANDA_26.TXT", 0, false, 1, "COMANDA_26.TXT: " + notCounted + died},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.settings);
        const std::string request = c.request;
        Start(c.settings);
        service.Remove("ERORI.TXT");
        const size_t booked = Booked(service);
        service.Put(request, request[0] == 'G' ? "" : kOneOrder);
        EXPECT_TRUE(service.Gone(request, 30000));
        EXPECT_TRUE(service.Boxed(c.error.empty() ? "" : c.error + "\n")) << service.BoxTexts();
        service.DismissBoxes();
        const TextList log = service.Log();  // this run's
        EXPECT_EQ(CountLines(log, Redone(request)), c.redone);
        EXPECT_EQ(CountLines(log, waiting), size_t(c.waited));
        EXPECT_EQ(Booked(service) - booked, c.booked);
        EXPECT_EQ(service.Exists(request.substr(0, request.size() - 4) + ".ERR"),
                  !c.error.empty() && c.error.find(notCounted) == std::string::npos);
        EXPECT_EQ(ReadShared(service.Path("ERORI.TXT")), c.error.ends_with(warning) ? warning + "\r\n" : "");
    }
    EXPECT_TRUE(service.Answers());  // the service goes on
}

}  // namespace
