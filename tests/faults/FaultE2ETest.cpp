// Faults met by the real program in five runs of one copy, each with stand-in server
// settings that suit the faults it meets.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "base/AnsiText.h"
#include "base/BrokerError.h"
#include "base/Owners.h"
#include "journal/PackageJournal.h"
#include "support/BrokerFixture.h"

namespace {

const std::string kServed = kLine + "Au fost generate 1 comenzi in baza de date ";
const std::string kOpened = kStamped + " ... Deschid pachetul cu comenzi";
std::string SetAsideAtTheStart(const std::string& name) {
    return kStamped + " ... Pachetul " + name + " a fost intrerupt la oprire si a fost pus deoparte";
}

class FaultE2ETest : public ServiceScenario {
protected:
    static void Restart(const std::string& serverIni, const std::string& iniExtra = {},
                        bool untilShown = true, DocServerForm form = DocServerForm::Local) {
        service->Register(form);
        service->WriteServerIni(serverIni);
        service->WriteIni(service->DefaultIni(iniExtra));
        service->Start(untilShown);
    }
    static bool ServerWaits() {
        return WaitUntil([] { return FindWindowW(L"VQDocServerWait", nullptr) != nullptr; }, 20000);
    }

    // Closes while a started request's server call waits: it is finished, a later query waits.
    static void CloseWhileServing(const std::function<void()>& start) {
        service->Remove("LISTAGESTIUNI.TXT");
        start();
        ASSERT_TRUE(ServerWaits());
        service->Put("GETLISTAGESTIUNI.TXT", "");
        service->Close();
        EXPECT_TRUE(service->Exists("GETLISTAGESTIUNI.TXT"));
        EXPECT_FALSE(service->Exists("LISTAGESTIUNI.TXT"));
        service->Remove("GETLISTAGESTIUNI.TXT");
    }

    static inline std::string firstRunLog;
};

// Run 1: closed during start-up; its server calls finish, then the window closes.
TEST_F(FaultE2ETest, CloseDuringStartUpWaitsForItsServerCalls) {
    Restart("[Test]\r\nWaitMethods=SetFirmaLucru\r\nWaitMs=3000\r\n", {}, false);
    ASSERT_TRUE(ServerWaits());
    service->Close();
}

// Run 2, in process: Wine carries no server's own error text out of a local server.
TEST_F(FaultE2ETest, FailingServerMethodShowsOneErrorBoxWhileRequestsGoOn) {
    Restart(
        "[Test]\r\nFailMethod=GetStocuri\r\nFailText=Baza de date nu raspunde\r\n"
        "WaitMethods=GetSolduriParteneri\r\nWaitMs=3000\r\n",
        {}, true, DocServerForm::InProcess);
    service->Put("GETSTOC.TXT", "");
    const HWND box = ServiceProcess::FirstBox(service->ProcessId());
    EXPECT_EQ(ServiceProcess::DialogText(box), "Baza de date nu raspunde");
    EXPECT_FALSE(service->Exists("GETSTOC.TXT"));

    // Meanwhile a second failure is logged, not boxed, and other requests are answered.
    EXPECT_TRUE(service->Answers("GETSTOC.TXT"));
    EXPECT_TRUE(service->Logged(kStamped + " ... Baza de date nu raspunde"));
    EXPECT_TRUE(service->Answers());
    EXPECT_NE(service->Read("LISTAGESTIUNI.TXT"), "");
    EXPECT_EQ(ServiceProcess::Dialogs(service->ProcessId()).size(), 1u);
    EXPECT_FALSE(service->Exists("STOCURI.TXT"));

    service->DismissBoxes();
    EXPECT_TRUE(service->Answers("GETLISTAPARTENERI.TXT"));
    EXPECT_EQ(service->BoxTexts(), "");
}

TEST_F(FaultE2ETest, PackageWithoutHeaderIsRefusedAndSetAsideWithItsErrors) {
    service->Remove("ERORI.TXT");
    const size_t before = service->Log().size();
    service->Put("comanda_9.txt", "[Document]\r\nPartener=P0001\r\n");
    ASSERT_TRUE(WaitUntil([&] { return service->Exists("comanda_9.ERR"); }, 5000));
    EXPECT_FALSE(service->Exists("comanda_9.txt"));
    const std::string errors = service->Read("ERORI.TXT");
    EXPECT_NE(errors, "");
    // The month's refusal goes to the log as well, line by line.
    ASSERT_TRUE(WaitUntil([&] { return service->Log(before).size() >= 4; }, 5000));
    const TextList log = service->Log(before);
    EXPECT_EQ(log[2], kOpened);
    EXPECT_EQ(log[3], kLine + errors.substr(0, errors.find("\r\n")));
}

TEST_F(FaultE2ETest, PackageHeldByItsWriterIsServedOnceItIsLetGo) {
    const size_t before = service->Log().size();
    // Let go after 2 seconds: inside the wait, so it is read and served at once.
    UniqueFile writer = Writing(service->Path("COMANDA_2.TXT"), kOneOrder);
    Sleep(2000);
    writer.reset();
    EXPECT_TRUE(service->Gone("COMANDA_2.TXT", 20000));

    // Held for the whole wait: given up, taken again later; once let go, even unchanged,
    // served (or, let go just before the rename, set aside), never left behind.
    writer = Writing(service->Path("COMANDA_3.TXT"), kOneOrder);
    EXPECT_TRUE(service->Logged(kStamped + " ... Nu pot deschide pachetul cu comenzi"));
    writer.reset();
    EXPECT_TRUE(service->Gone("COMANDA_3.TXT", 15000));
    EXPECT_TRUE(service->Answers());  // a tick more

    const TextList log = service->Log(before);
    EXPECT_EQ(CountLines(log, kServed) + service->Exists("COMANDA_3.ERR"), 2u);
    EXPECT_EQ(CountLines(log, kStamped + " ... Nu pot sterge pachetul COMANDA_3.TXT"), 0u);
    EXPECT_EQ(service->BoxTexts(), "");
}

// A reader holding LOG.TXT costs no package; its lines follow in order once it lets go.
TEST_F(FaultE2ETest, ReaderHoldingLogTxtFailsNoPackageAndItsLinesFollowInOrder) {
    const size_t before = service->Log().size();
    service->Put("COMANDA_4.TXT", kOneOrder);
    ASSERT_TRUE(WaitUntil([&] { return CountLines(service->Log(before), kServed) == 1; }, 30000));
    UniqueFile reader = Hold(service->Path("LOG.TXT"), FILE_SHARE_READ);
    ASSERT_TRUE(reader.valid());
    const ULONGLONG heldSince = GetTickCount64();
    service->Put("COMANDA_5.TXT", kOneOrder);
    EXPECT_TRUE(service->Gone("COMANDA_5.TXT", 4000));
    Sleep(DWORD(5000 - std::min<ULONGLONG>(5000, GetTickCount64() - heldSince)));
    EXPECT_EQ(CountLines(service->Log(before), kOpened), 1u);
    reader.reset();
    EXPECT_TRUE(WaitUntil([&] { return CountLines(service->Log(before), kServed) == 2; }, 30000));
    EXPECT_EQ(service->Log(before),
              (TextList{kLine, kLine, kOpened, kServed, kLine, kLine, kOpened, kServed}));
    EXPECT_FALSE(service->Exists("COMANDA_5.ERR"));
    EXPECT_EQ(service->BoxTexts(), "");
}

TEST_F(FaultE2ETest, ReadOnlyAcceptedPackageIsServedOnce) {
    const size_t before = service->Log().size();
    // Made read-only before the service can see it.
    WriteFileReplacing(service->exeDir + "COMANDA_1.TXT", kOneOrder);
    SetReadOnly(service->exeDir + "COMANDA_1.TXT", true);
    ASSERT_TRUE(MoveFileW(Wide(service->exeDir + "COMANDA_1.TXT").c_str(),
                          Wide(service->Path("COMANDA_1.TXT")).c_str()));
    EXPECT_TRUE(service->Logged(kStamped + " ... Nu pot sterge pachetul COMANDA_1.TXT"));
    EXPECT_TRUE(service->Answers());
    Sleep(2000);
    const TextList log = service->Log(before);
    EXPECT_EQ(CountLines(log, kServed), 1u);
    EXPECT_EQ(log.size(), 5u);
}

TEST_F(FaultE2ETest, CloseDuringABalanceExportWaitsForIt) {
    CloseWhileServing([] { PostMessageW(service->Child(L"BUTTON"), BM_CLICK, 0, 0); });
    EXPECT_NE(service->Read("SOLDURI.TXT"), "");
    EXPECT_EQ(CountLines(service->Log(), kStamped + " ... Import solduri parteneri "), 1u);
    firstRunLog = ReadShared(service->Path("LOG.TXT"));
}

// Run 3: a new run's log starts afresh with its first line, the last run's is kept.
TEST_F(FaultE2ETest, ReadOnlyPackageIsNotServedAgainAfterARestart) {
    Restart("[Test]\r\nWaitMethods=GenComenzi\r\nWaitMs=20000\r\n");
    EXPECT_TRUE(service->Answers("GETINFOCMDBON.TXT"));
    Sleep(2000);
    EXPECT_EQ(CountLines(service->Log(), kOpened), 0u);
    EXPECT_TRUE(service->Exists("COMANDA_1.TXT"));
    const std::vector<std::string> kept = FolderNames(service->Path("LOGURI"));
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(ReadShared(service->Path("LOGURI\\" + kept[0])), firstRunLog);
    SetReadOnly(service->Path("COMANDA_1.TXT"), false);  // the outside system clears it
    EXPECT_TRUE(service->Remove("COMANDA_1.TXT"));
}

// The journal names the package as the server got it, after its writer let go: a crash
// in the server's call then sets it aside at the restart (run 4) instead of serving it again.
TEST_F(FaultE2ETest, PackageAppendedToDuringTheWaitIsNotServedAgainAfterACrash) {
    const size_t half = kOneOrder.size() / 2;
    UniqueFile writer = Writing(service->Path("COMANDA_6.TXT"), kOneOrder.substr(0, half));
    ASSERT_TRUE(WaitUntil(  // found, in hand
        [&] {
            const PackageJournal journal = ParseJournal(ReadShared(service->Path(kJournalFileName)));
            return journal.inHand && journal.inHand->name == "COMANDA_6.TXT";
        },
        20000));
    DWORD written = 0;
    ASSERT_TRUE(
        WriteFile(writer.get(), kOneOrder.data() + half, DWORD(kOneOrder.size() - half), &written, nullptr));
    writer.reset();
    ASSERT_TRUE(ServerWaits());
    service->Kill();
    // Its server's call goes on: cut short, so that its window is not taken for a later one's.
    PostMessageW(FindWindowW(L"VQDocServerWait", nullptr), WM_CLOSE, 0, 0);
    EXPECT_EQ(service->RunForm("/status").exitCode, 1u);  // STARE.TXT is fresh, its writer gone

    Restart("[Test]\r\nFailMethod=GenComenzi\r\nWaitMethods=GetStocuri\r\nWaitMs=3000\r\n",
            "Gestiune=MAG1\r\n");
    EXPECT_TRUE(service->Logged(SetAsideAtTheStart("COMANDA_6.TXT")));
    EXPECT_TRUE(service->Answers());
    EXPECT_EQ(service->Read("COMANDA_6.ERR"), kOneOrder);
    EXPECT_EQ(CountLines(service->Log(), kOpened), 0u);
}

// Another program holding a file cannot undo the journal or a package whose handler raised.
TEST_F(FaultE2ETest, PackageWhoseHandlerRaisedIsHandedOverOnceAndSetAsideOnceItCan) {
    service->Put("COMANDA_7.ERR", "an earlier refusal");
    UniqueFile holder = Hold(service->Path("COMANDA_7.ERR"), FILE_SHARE_READ);
    ASSERT_TRUE(holder.valid());  // the old ".ERR" cannot be deleted, so the package cannot be renamed
    service->Put("COMANDA_7.TXT", kOneOrder);
    const std::string notSetAside = kStamped + " ... Nu pot pune deoparte pachetul COMANDA_7.TXT";
    EXPECT_TRUE(service->Logged(notSetAside));
    Sleep(2500);  // later ticks try the rename again and never hand the package over again
    EXPECT_TRUE(service->Exists("COMANDA_7.TXT"));
    holder.reset();
    EXPECT_TRUE(service->Gone("COMANDA_7.TXT", 10000));
    EXPECT_EQ(service->Read("COMANDA_7.ERR"), kOneOrder);
    const TextList log = service->Log();
    EXPECT_EQ(CountLines(log, kOpened), 1u);
    EXPECT_EQ(CountLines(log, notSetAside), 1u);
    service->DismissBoxes();
}

TEST_F(FaultE2ETest, CloseDuringAQueryWaitsForIt) {
    CloseWhileServing([] { service->Put("GETSTOC.TXT", ""); });
    EXPECT_FALSE(service->Exists("GETSTOC.TXT"));
    const std::vector<std::string> rows = SplitTextLines(service->Read("STOCURI.TXT"));
    EXPECT_FALSE(rows.empty());
    for (const std::string& row : rows) {  // filtered by the locations the close did not take away
        std::vector<std::string> fields;
        SplitList(row, ';', fields);
        EXPECT_EQ(fields.at(fields.size() - 2), "MAG1") << row;
    }
}

// Run 5.
TEST_F(FaultE2ETest, JournalHeldAtRestartHoldsUpPackagesUntilItCanBeRead) {
    service->Put("COMANDA_8.TXT", kOneOrder);  // in hand when the last run ended
    service->Put("COMANDA_9.TXT", kOneOrder);
    const FileState held = StateAt(service->Path("COMANDA_8.TXT"));
    ASSERT_TRUE(held.found);
    PackageJournal crashed;
    crashed.inHand = PackageStamp{"COMANDA_8.TXT", held.size, held.lastWrite};
    service->Put(kJournalFileName, FormatJournal(crashed));
    UniqueFile holder = Hold(service->Path(kJournalFileName), 0);
    ASSERT_TRUE(holder.valid());
    Restart("[Test]\r\nWaitMethods=GenComenzi\r\nWaitMs=3000\r\n");
    EXPECT_TRUE(service->Answers());  // queries go on
    Sleep(1500);
    EXPECT_TRUE(service->Exists("COMANDA_8.TXT"));
    EXPECT_TRUE(service->Exists("COMANDA_9.TXT"));
    holder.reset();
    EXPECT_TRUE(service->Gone("COMANDA_9.TXT", 15000));
    EXPECT_TRUE(service->Answers());  // a tick more
    EXPECT_EQ(service->Read("COMANDA_8.ERR"), kOneOrder);
    const TextList log = service->Log();
    EXPECT_EQ(CountLines(log, SetAsideAtTheStart("COMANDA_8.TXT")), 1u);
    EXPECT_EQ(CountLines(log, kOpened), 1u);
    EXPECT_FALSE(service->Exists(kJournalFileName));
}

TEST_F(FaultE2ETest, CloseDuringAPackageWaitsForIt) {
    CloseWhileServing([] { service->Put("COMANDA_10.TXT", kOneOrder); });
    EXPECT_FALSE(service->Exists("COMANDA_10.TXT"));
    EXPECT_EQ(CountLines(service->Log(), kServed), 2u);  // this run's two packages
}

// The stand-in server in its own process, ending between requests, inside a call, or busy,
// as a real application's server does; each test restarts the program on its settings.
class ServerProcessE2ETest : public ServiceScenario {
protected:
    static void Restart(const std::string& serverSettings) {
        if (service->Running()) service->Close();
        service->WriteServerIni("[Test]\r\n" + serverSettings);
        service->WriteIni(service->DefaultIni());
        service->Start();
    }
    // An order numbered number, and how many lines of the stand-in's books carry that number.
    static std::string Order(const std::string& number) {
        return "[InfoPachet]\r\nAnLucru=2025\r\nLunaLucru=6\r\n[Document]\r\nNumar=" + number +
               "\r\nData=10.06.2025\r\nPartener=P0001\r\nGestiune=DEP\r\nArticol=A0005;1\r\n";
    }
    static size_t Booked(const std::string& number) {
        const std::string books = service->exeDir + "VQDocServerData\\DEMO\\COMENZI.TXT";
        const TextList rows = SplitTextLines(ReadShared(books));
        return size_t(std::count_if(rows.begin(), rows.end(),
                                    [&](const std::string& row) { return row.rfind(number + ";", 0) == 0; }));
    }
    static std::string Redone(const std::string& name) {
        return kStamped + " ... Serverul de documente nu a raspuns; cererea " + name +
               " ramane pentru o noua incercare";
    }
};

TEST_F(ServerProcessE2ETest, ServerEndedBetweenRequestsCostsTheNextOneNothing) {
    Restart("ExitIdleMs=1000\r\nExitCount=1\r\n");
    EXPECT_TRUE(service->Answers());
    const std::vector<DWORD> first = service->ServerProcesses();
    ASSERT_TRUE(service->ServersEnd(10000));
    service->Put("COMANDA_20.TXT", Order("C20"));
    EXPECT_TRUE(service->Gone("COMANDA_20.TXT", 20000));
    EXPECT_FALSE(service->Exists("COMANDA_20.ERR"));
    EXPECT_EQ(Booked("C20"), 1u);
    EXPECT_EQ(CountLines(service->Log(), Redone("COMANDA_20.TXT")), 1u);  // this run's log
    EXPECT_NE(service->ServerProcesses(), first);
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
        const char* request;  // a package's number is its own
        size_t redone;        // tries left for the next tick
        bool waited;          // logged waiting for the server's start
        size_t booked;        // lines of its order in the books
        std::string error;    // the box shown, and the set-aside package's error file; "": served
    } cases[] = {
        {"ExitInMethod=GetStocuri\r\nExitCount=1", "GETSTOC.TXT", 1, false, 0, ""},
        {"ExitInMethod=SetPachet\r\nExitCount=1", "COMANDA_21.TXT", 1, false, 1, ""},
        {"BusyMs=5000", "COMANDA_22.TXT", 0, true, 1, ""},
        {"ExitInMethod=GenComenzi\r\nExitCount=1", "COMANDA_23.TXT", 0, false, 0, warning},
        {"ExitInMethod=GenComenzi\r\nExitAfterWrite=1\r\nExitCount=1", "COMANDA_24.TXT", 0, false, 1, warning},
        {"ExitInMethod=SetPachet", "COMANDA_25.TXT", 2, false, 0, died},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.settings);
        const std::string request = c.request, number = std::string("C").append(request, 8, 2);
        Restart(std::string(c.settings) + "\r\n");
        service->Remove("ERORI.TXT");
        service->Put(request, request[0] == 'G' ? "" : Order(number));
        EXPECT_TRUE(service->Gone(request, 30000));
        std::string box = c.error;
        if (!box.empty()) box += "\n";
        EXPECT_TRUE(WaitUntil([&] { return service->BoxTexts() == box; }, 10000)) << service->BoxTexts();
        service->DismissBoxes();
        const TextList log = service->Log();  // this run's
        EXPECT_EQ(CountLines(log, Redone(request)), c.redone);
        EXPECT_EQ(CountLines(log, waiting), size_t(c.waited));
        if (request[0] == 'G') continue;
        EXPECT_EQ(Booked(number), c.booked);
        EXPECT_EQ(service->Exists(request.substr(0, 10) + ".ERR"), !c.error.empty());
        const std::string errorFile = c.error == warning ? warning + "\r\n" : "";
        EXPECT_EQ(service->Exists("ERORI.TXT") ? service->Read("ERORI.TXT") : "", errorFile);
    }
    EXPECT_TRUE(service->Answers());  // the service goes on
}

}  // namespace
