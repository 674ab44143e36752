// Faults met by the real program under its real timer: a failing server method, an
// emergency script that hangs, a package its writer holds, a package that cannot go.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "ServiceWatch.h"
#include "base/AnsiText.h"
#include "base/FileSystem.h"
#include "base/Owners.h"
#include "base/Text.h"
#include "journal/PackageJournal.h"
#include "support/BrokerFixture.h"
#include "support/ServiceProcess.h"

namespace {

// The texts of the error boxes the service shows: none is expected.
std::string BoxTexts(const ServiceProcess& service) {
    std::string texts;
    for (HWND box : ServiceProcess::Dialogs(service.ProcessId()))
        texts += ServiceProcess::DialogText(box) + "\n";
    return texts;
}

// Drops a query and waits until it is answered: proof that the service is polling.
bool Answers(const ServiceProcess& service, const std::string& request = "GETLISTAGESTIUNI.TXT") {
    service.Put(request, "");
    return WaitUntil([&] { return !service.Exists(request); }, 20000);
}

TEST(FaultE2ETest, FailingServerMethodShowsOneErrorBoxWhileRequestsGoOn) {
    ServiceProcess service;
    WriteServerIni(service.exeDir,
                   "[Test]\r\nFailMethod=GetStocuri\r\nFailText=Baza de date nu raspunde\r\n");
    service.WriteIni(service.DefaultIni());
    service.Start();
    service.Put("GETSTOC.TXT", "");
    std::vector<HWND> boxes;
    ASSERT_TRUE(WaitUntil(
        [&] {
            boxes = ServiceProcess::Dialogs(service.ProcessId());
            return boxes.size() == 1 && !ServiceProcess::DialogText(boxes[0]).empty();
        },
        20000));
    EXPECT_EQ(ServiceProcess::DialogText(boxes[0]), "Baza de date nu raspunde");
    EXPECT_FALSE(service.Exists("GETSTOC.TXT"));

    // While the box waits for the operator, the timer goes on: a second failure is
    // logged instead of opening a second box, and other requests are answered.
    EXPECT_TRUE(Answers(service, "GETSTOC.TXT"));
    EXPECT_TRUE(Logged(service, " ... Baza de date nu raspunde"));
    EXPECT_TRUE(Answers(service));
    EXPECT_NE(service.Read("LISTAGESTIUNI.TXT"), "");
    EXPECT_EQ(ServiceProcess::Dialogs(service.ProcessId()).size(), 1u);
    EXPECT_FALSE(service.Exists("STOCURI.TXT"));

    PostMessageW(boxes[0], WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(WaitUntil([&] { return ServiceProcess::Dialogs(service.ProcessId()).empty(); }, 10000));
    EXPECT_TRUE(Answers(service, "GETLISTAPARTENERI.TXT"));
    EXPECT_TRUE(ServiceProcess::Dialogs(service.ProcessId()).empty());
    service.Close();
}

TEST(FaultE2ETest, EmergencyScriptThatHangsIsNotStartedAgainWhileItRuns) {
    ServiceProcess service;
    service.WriteIni(service.DefaultIni());
    const std::string script = service.exeDir + "Avarie.bat", stop = service.exeDir + "stop.txt";
    WriteFileReplacing(script,
                       "@echo off\r\n:wait\r\nping -n 2 127.0.0.1 >nul\r\n"
                       "if not exist \"" +
                           stop + "\" goto wait\r\n");
    service.Start();
    EXPECT_TRUE(Answers(service));  // a log file to watch
    const std::string away = service.workDir + "_away";
    ASSERT_TRUE(MoveFileW(Wide(service.workDir).c_str(), Wide(away).c_str()));
    ASSERT_TRUE(WaitUntil([&] { return ChildProcesses(service.ProcessId(), L"cmd.exe") == 1; }, 20000));
    Sleep(5000);  // five ticks or so of the outage, the script still running
    EXPECT_EQ(ChildProcesses(service.ProcessId(), L"cmd.exe"), 1u);
    ASSERT_TRUE(MoveFileW(Wide(away).c_str(), Wide(service.workDir).c_str()));
    EXPECT_TRUE(Answers(service));

    // The outage's lines reach LOG.TXT only with the next line logged; the view has them.
    const TextList log = UnstampedLines(service.ViewText());
    EXPECT_EQ(CountLines(log, " ... Directorul de lucru este inactiv"), 1u);
    EXPECT_EQ(CountLines(log, " ... Rulez " + script), 1u);
    WriteFileReplacing(stop, "");
    EXPECT_TRUE(WaitUntil([&] { return ChildProcesses(service.ProcessId(), L"cmd.exe") == 0; }, 20000));
    service.Close();
}

TEST(FaultE2ETest, PackageHeldByItsWriterIsServedOnceItIsLetGo) {
    ServiceProcess service;
    service.WriteIni(service.DefaultIni());
    service.Start();
    auto write = [](HANDLE file, const std::string& text) {
        DWORD written = 0;
        return WriteFile(file, text.data(), DWORD(text.size()), &written, nullptr) && written == text.size();
    };

    // Let go after 2 seconds: inside the wait, so it is read and served at once.
    UniqueFile writer(CreateFileW(Wide(service.Path("COMANDA_1.TXT")).c_str(), GENERIC_WRITE, FILE_SHARE_READ,
                                  nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(writer.valid());
    ASSERT_TRUE(write(writer.get(), kOneOrder));
    Sleep(2000);
    writer.reset();
    EXPECT_TRUE(WaitUntil([&] { return !service.Exists("COMANDA_1.TXT"); }, 20000));

    // Held for the whole wait: given up, and, unread, taken again on later ticks; once
    // its writer closes it, even unchanged, it is served (or, closed just before the
    // rename, set aside) within seconds, never left behind.
    writer.reset(CreateFileW(Wide(service.Path("COMANDA_2.TXT")).c_str(), GENERIC_WRITE, FILE_SHARE_READ,
                             nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(writer.valid());
    ASSERT_TRUE(write(writer.get(), kOneOrder));
    EXPECT_TRUE(Logged(service, " ... Nu pot deschide pachetul cu comenzi"));
    writer.reset();
    EXPECT_TRUE(WaitUntil([&] { return !service.Exists("COMANDA_2.TXT"); }, 15000));
    Sleep(1500);

    const TextList log = LogOf(service);
    const size_t served = CountLines(log, "Au fost generate 1 comenzi in baza de date ");
    EXPECT_EQ(served + service.Exists("COMANDA_2.ERR"), 2u);
    EXPECT_EQ(CountLines(log, " ... Nu pot sterge pachetul COMANDA_2.TXT"), 0u);
    EXPECT_EQ(BoxTexts(service), "");
    service.Close();
}

TEST(FaultE2ETest, ReadOnlyAcceptedPackageIsServedOnceAcrossARestart) {
    ServiceProcess service;
    service.WriteIni(service.DefaultIni());
    service.Put("COMANDA_1.TXT", kOneOrder);
    ASSERT_TRUE(SetFileAttributesW(Wide(service.Path("COMANDA_1.TXT")).c_str(), FILE_ATTRIBUTE_READONLY));
    service.Start();
    EXPECT_TRUE(Logged(service, " ... Nu pot sterge pachetul COMANDA_1.TXT"));
    EXPECT_TRUE(Answers(service));
    Sleep(2000);
    TextList log = LogOf(service);
    EXPECT_EQ(CountLines(log, "Au fost generate 1 comenzi in baza de date "), 1u);
    EXPECT_EQ(log.size(), 5u);
    service.Close();
    const std::string firstRun = ReadShared(service.Path("LOG.TXT"));

    service.Start();  // a new run: its log starts afresh with its first line, the first run's is kept
    EXPECT_TRUE(Answers(service, "GETINFOCMDBON.TXT"));
    Sleep(2000);
    log = LogOf(service);
    EXPECT_EQ(CountLines(log, " ... Deschid pachetul cu comenzi"), 0u);
    EXPECT_TRUE(service.Exists("COMANDA_1.TXT"));
    const std::vector<std::string> kept = FolderNames(service.Path("LOGURI"));
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(ReadShared(service.Path("LOGURI\\" + kept[0])), firstRun);
    service.Close();
}

// A reader that holds LOG.TXT sharing reading only costs no request: the package is
// accepted, and its lines follow in order once the reader lets go.
TEST(FaultE2ETest, ReaderHoldingLogTxtFailsNoPackageAndItsLinesFollowInOrder) {
    ServiceProcess service;
    service.WriteIni(service.DefaultIni());
    service.Start();
    service.Put("COMANDA_1.TXT", kOneOrder);
    ASSERT_TRUE(Logged(service, "Au fost generate 1 comenzi in baza de date "));  // a log file to hold
    UniqueFile reader(CreateFileW(Wide(service.Path("LOG.TXT")).c_str(), GENERIC_READ, FILE_SHARE_READ,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(reader.valid());
    const ULONGLONG heldSince = GetTickCount64();
    service.Put("COMANDA_2.TXT", kOneOrder);
    EXPECT_TRUE(WaitUntil([&] { return !service.Exists("COMANDA_2.TXT"); }, 4000));
    Sleep(DWORD(5000 - std::min<ULONGLONG>(5000, GetTickCount64() - heldSince)));
    EXPECT_EQ(CountLines(LogOf(service), " ... Deschid pachetul cu comenzi"), 1u);
    reader.reset();
    EXPECT_TRUE(Logged(service, "Au fost generate 1 comenzi in baza de date ", 2));
    const TextList served = {"", "", " ... Deschid pachetul cu comenzi",
                             "Au fost generate 1 comenzi in baza de date "};
    TextList both = served;
    both.insert(both.end(), served.begin(), served.end());
    EXPECT_EQ(LogOf(service), both);
    EXPECT_FALSE(service.Exists("COMANDA_2.ERR"));
    EXPECT_EQ(BoxTexts(service), "");
    service.Close();
}

// The journal names the package as the server got it, after its writer let go: a crash
// in the server's call then sets it aside at the restart instead of serving it again.
TEST(FaultE2ETest, PackageAppendedToDuringTheWaitIsNotServedAgainAfterACrash) {
    ServiceProcess service;
    WriteServerIni(service.exeDir, "[Test]\r\nWaitMethods=GenComenzi\r\nWaitMs=20000\r\n");
    service.WriteIni(service.DefaultIni());
    service.Start();
    UniqueFile writer(CreateFileW(Wide(service.Path("COMANDA_1.TXT")).c_str(), GENERIC_WRITE, FILE_SHARE_READ,
                                  nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(writer.valid());
    const size_t half = kOneOrder.size() / 2;
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(writer.get(), kOneOrder.data(), DWORD(half), &written, nullptr));
    ASSERT_TRUE(WaitUntil([&] { return service.Exists(kJournalFileName); }, 20000));  // found, in hand
    ASSERT_TRUE(
        WriteFile(writer.get(), kOneOrder.data() + half, DWORD(kOneOrder.size() - half), &written, nullptr));
    writer.reset();
    ASSERT_TRUE(WaitUntil([&] { return service.ShowsWindow(L"VQDocServerWait"); }, 20000));
    service.Kill();

    service.Start();
    EXPECT_TRUE(
        Logged(service, " ... Pachetul COMANDA_1.TXT a fost intrerupt la oprire si a fost pus deoparte"));
    EXPECT_TRUE(Answers(service));
    EXPECT_EQ(service.Read("COMANDA_1.ERR"), kOneOrder);
    EXPECT_EQ(CountLines(LogOf(service), " ... Deschid pachetul cu comenzi"), 0u);
    service.Close();
}

// The journal, and a package whose handler raised, cannot be undone by another program
// holding a file for a while.
TEST(FaultE2ETest, JournalHeldAtRestartHoldsUpPackagesUntilItCanBeRead) {
    ServiceProcess service;
    service.WriteIni(service.DefaultIni());
    service.Put("COMANDA_1.TXT", kOneOrder);  // in hand when the last run ended
    service.Put("COMANDA_2.TXT", kOneOrder);
    const FileState held = StateAt(service.Path("COMANDA_1.TXT"));
    ASSERT_TRUE(held.found);
    PackageJournal crashed;
    crashed.inHand = PackageStamp{"COMANDA_1.TXT", held.size, held.lastWrite};
    service.Put(kJournalFileName, FormatJournal(crashed));
    UniqueFile holder(CreateFileW(Wide(service.Path(kJournalFileName)).c_str(), GENERIC_READ, 0, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(holder.valid());
    service.Start();
    EXPECT_TRUE(Answers(service));  // queries go on
    Sleep(1500);
    EXPECT_TRUE(service.Exists("COMANDA_1.TXT"));
    EXPECT_TRUE(service.Exists("COMANDA_2.TXT"));
    holder.reset();
    EXPECT_TRUE(WaitUntil([&] { return !service.Exists("COMANDA_2.TXT"); }, 15000));
    Sleep(1500);
    EXPECT_EQ(service.Read("COMANDA_1.ERR"), kOneOrder);
    const TextList log = LogOf(service);
    EXPECT_EQ(
        CountLines(log, " ... Pachetul COMANDA_1.TXT a fost intrerupt la oprire si a fost pus deoparte"), 1u);
    EXPECT_EQ(CountLines(log, " ... Deschid pachetul cu comenzi"), 1u);
    EXPECT_FALSE(service.Exists(kJournalFileName));
    service.Close();
}

TEST(FaultE2ETest, PackageWhoseHandlerRaisedIsHandedOverOnceAndSetAsideOnceItCan) {
    ServiceProcess service;
    WriteServerIni(service.exeDir, "[Test]\r\nFailMethod=GenComenzi\r\n");
    service.WriteIni(service.DefaultIni());
    service.Put("COMANDA_1.ERR", "an earlier refusal");
    UniqueFile holder(CreateFileW(Wide(service.Path("COMANDA_1.ERR")).c_str(), GENERIC_READ, FILE_SHARE_READ,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(holder.valid());  // the old ".ERR" cannot be deleted, so the package cannot be renamed
    service.Put("COMANDA_1.TXT", kOneOrder);
    service.Start();
    EXPECT_TRUE(Logged(service, " ... Nu pot pune deoparte pachetul COMANDA_1.TXT"));
    Sleep(2500);  // later ticks try the rename again and never hand the package over again
    EXPECT_TRUE(service.Exists("COMANDA_1.TXT"));
    holder.reset();
    EXPECT_TRUE(WaitUntil([&] { return !service.Exists("COMANDA_1.TXT"); }, 10000));
    EXPECT_EQ(service.Read("COMANDA_1.ERR"), kOneOrder);
    const TextList log = LogOf(service);
    EXPECT_EQ(CountLines(log, " ... Deschid pachetul cu comenzi"), 1u);
    EXPECT_EQ(CountLines(log, " ... Nu pot pune deoparte pachetul COMANDA_1.TXT"), 1u);
    for (HWND box : ServiceProcess::Dialogs(service.ProcessId())) PostMessageW(box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(WaitUntil([&] { return ServiceProcess::Dialogs(service.ProcessId()).empty(); }, 10000));
    service.Close();
}

// A server call that serves the thread's messages lets a close in while a request is in
// hand: the request is finished and disposed of, nothing else is served, the process ends well.
TEST(FaultE2ETest, CloseDuringAServerCallWaitsForTheRequestInHand) {
    ServiceProcess service;
    WriteServerIni(service.exeDir,
                   "[Test]\r\nWaitMethods=GenComenzi;GetStocuri;GetSolduriParteneri\r\nWaitMs=3000\r\n");
    service.WriteIni(service.DefaultIni("Gestiune=MAG1\r\n"));
    auto closeWhileServing = [&](const std::function<void()>& start) {
        service.Start();
        start();
        ASSERT_TRUE(WaitUntil([&] { return service.ShowsWindow(L"VQDocServerWait"); }, 20000));
        service.Put("GETLISTAGESTIUNI.TXT", "");
        service.Close();
        EXPECT_TRUE(service.Exists("GETLISTAGESTIUNI.TXT"));  // dropped before the close: still waiting
        EXPECT_FALSE(service.Exists("LISTAGESTIUNI.TXT"));
        DeleteFileW(Wide(service.Path("GETLISTAGESTIUNI.TXT")).c_str());
    };
    // During start-up too: its server calls finish, then the window closes.
    WriteServerIni(service.exeDir, "[Test]\r\nWaitMethods=SetFirmaLucru\r\nWaitMs=3000\r\n");
    service.Start(false);
    ASSERT_TRUE(WaitUntil([&] { return service.ShowsWindow(L"VQDocServerWait"); }, 20000));
    service.Close();
    WriteServerIni(service.exeDir,
                   "[Test]\r\nWaitMethods=GenComenzi;GetStocuri;GetSolduriParteneri\r\nWaitMs=3000\r\n");

    closeWhileServing([&] { service.Put("COMANDA_1.TXT", kOneOrder); });
    EXPECT_FALSE(service.Exists("COMANDA_1.TXT"));
    EXPECT_EQ(CountLines(LogOf(service), "Au fost generate 1 comenzi in baza de date "), 1u);

    closeWhileServing([&] { service.Put("GETSTOC.TXT", ""); });
    EXPECT_FALSE(service.Exists("GETSTOC.TXT"));
    const std::vector<std::string> rows = SplitTextLines(service.Read("STOCURI.TXT"));
    EXPECT_FALSE(rows.empty());
    for (const std::string& row : rows) {  // filtered by the locations the close did not take away
        std::vector<std::string> fields;
        SplitList(row, ';', fields);
        EXPECT_EQ(fields.at(fields.size() - 2), "MAG1") << row;
    }

    closeWhileServing([&] {
        PostMessageW(FindWindowExW(service.MainWindow(), nullptr, L"BUTTON", nullptr), BM_CLICK, 0, 0);
    });
    EXPECT_NE(service.Read("SOLDURI.TXT"), "");
    EXPECT_EQ(CountLines(LogOf(service), " ... Import solduri parteneri "), 1u);
}

}  // namespace
