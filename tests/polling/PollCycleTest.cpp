// The tick.
#include <windows.h>

#include <algorithm>

#include "journal/PackageJournal.h"
#include "support/BrokerFixture.h"

namespace {

using PollCycleTest = BrokerTest;

// Without "RaspunsImediat" no watch; after a stop no request, no outage.
TEST_F(PollCycleTest, AfterAStopATickServesNothingAndLogsNoOutage) {
    Start();
    EXPECT_EQ(broker.ChangeEvent(), nullptr);
    EXPECT_TRUE(broker.RequestStop());
    Put("COMANDA_9.TXT", OrderPackage());
    EXPECT_EQ(CallsOfATick(broker), "");
    EXPECT_TRUE(Exists("COMANDA_9.TXT"));
    ASSERT_TRUE(TakeAway());
    broker.TimerTimer();
    EXPECT_EQ(Log(), TextList{});
}

// Error files, even found first, hold up no package; a query-named directory is skipped, a
// package-named one ends the tick.
TEST_F(PollCycleTest, EntriesThatAreNoRequestsAreLeftWhereTheyAre) {
    Start();
    for (const char* name : {"COMANDA_ERORI.TXT", "COMANDA_X.TXT", "FACTURA_1.TXT"})
        Put(name, OrderPackage());
    WIN32_FIND_DATAW first;
    UniqueFind search(FindFirstFileW(Wide(Path("COMANDA_*.TXT")).c_str(), &first));
    ASSERT_EQ(Ansi(first.cFileName), "COMANDA_ERORI.TXT");
    broker.TimerTimer();
    EXPECT_EQ(broker.FCurrentRequest, "COMANDA_X.TXT");
    broker.TimerTimer();
    EXPECT_EQ(broker.FCurrentRequest, "FACTURA_1.TXT");
    ASSERT_TRUE(CreateDirectoryW(Wide(Path("GETSTOC.TXT")).c_str(), nullptr));
    Put("GETPRETART.TXT", "");
    ErrorRaisedBy([&] { broker.TimerTimer(); });
    EXPECT_EQ(broker.FCurrentRequest, "GETPRETART.TXT");
    EXPECT_FALSE(Exists("GETPRETART.TXT"));

    ASSERT_TRUE(CreateDirectoryW(Wide(Path("COMANDA_OLD.TXT")).c_str(), nullptr));
    Put("FACTURA_2.TXT", OrderPackage());
    Put("GETLISTAGESTIUNI.TXT", "");
    EXPECT_EQ(CallsOfATick(broker) + CallsOfATick(broker), "");
    EXPECT_EQ(broker.FCurrentRequest, "GETPRETART.TXT");
    for (const char* left : {"COMANDA_ERORI.TXT", "FACTURA_2.TXT", "GETLISTAGESTIUNI.TXT"})
        EXPECT_TRUE(Exists(left)) << left;
}

TEST_F(PollCycleTest, RequestsWaitWhileBusy) {
    Start();
    Put("COMANDA_1.TXT", OrderPackage());
    broker.FBusy = true;
    EXPECT_EQ(CallsOfATick(broker), "");
    EXPECT_TRUE(broker.FBusy);
    EXPECT_TRUE(Exists("COMANDA_1.TXT"));
}

// ".ERR" over an older one; a query goes, raised or not.
TEST_F(PollCycleTest, ServedRequestsAreDisposedOfUnderTheirOwnNamesWhateverTheirHandlersDid) {
    WriteIni(DefaultIni() + "PrefixareErori=D\r\n");
    Start();
    server.failures["GenComenzi"] = {E_FAIL, "Baza de date nu raspunde"};
    Put("COMANDA_1.ERR", "old");
    Put("COMANDA_1.TXT", OrderPackage());
    EXPECT_EQ(ErrorRaisedBy([&] { broker.TimerTimer(); }), "Baza de date nu raspunde");
    EXPECT_FALSE(Exists(kJournalFileName));
    EXPECT_EQ(Log(), (TextList{"", "", Stamp() + " ... Deschid pachetul cu comenzi"}));

    server.failures.clear();
    server.ok["GenComenzi"] = 0;
    server.errors = FakeList::Of({"Linia 2 gresita"});
    Put("comanda_7.ERR", "old");
    Put("comanda_7.txt", OrderPackage());
    broker.TimerTimer();  // busy flag cleared
    EXPECT_EQ(Read("ERORI_comanda_7.TXT"), "Linia 2 gresita\r\n");
    for (const std::string name : {"COMANDA_1", "comanda_7"}) {
        EXPECT_EQ(Read(name + ".ERR"), OrderPackage());
        EXPECT_FALSE(Exists(name + ".TXT"));
    }

    server.failures["GetStocuri"] = {E_FAIL, "Server oprit"};
    Put("getstoc.txt", "");
    ErrorRaisedBy([&] { broker.TimerTimer(); });
    EXPECT_FALSE(Exists("GETSTOC.TXT"));
    EXPECT_EQ(broker.FCurrentRequest, "GETSTOC.TXT");
}

// Each outage logged once, into the LOG.TXT come back.
TEST_F(PollCycleTest, OutageServesNothingAndLosesNoLine) {
    Start();
    server.count["GetNrComenzi"] = 1;
    server.lists["GetListaGestiuni"] = FakeList::Of({"DEP;Depozit;DEPOZIT"});
    for (const char* name : {"COMANDA_1.TXT", "COMANDA_2.TXT", "COMANDA_3.TXT"}) Put(name, OrderPackage());
    Put("GETLISTAGESTIUNI.TXT", "");
    const TextList served = {"", "", Stamp() + " ... Deschid pachetul cu comenzi",
                             "Au fost generate 1 comenzi in baza de date "};
    TextList expected = served;
    broker.TimerTimer();
    for (int outage = 1; outage <= 2; ++outage) {
        const std::string saved = Read("LOG.TXT");
        const size_t calls = server.calls.size();
        ASSERT_TRUE(TakeAway());
        broker.TimerTimer();
        broker.TimerTimer();
        EXPECT_EQ(server.calls.size(), calls);
        EXPECT_FALSE(DirectoryExists(Wide(workDir)));  // none made for the lines
        EXPECT_EQ(ReadWholeFile(Wide(Away() + "\\LOG.TXT")), saved);
        ASSERT_TRUE(BringBack());
        expected.push_back(Stamp() + " ... Directorul de lucru este inactiv");
        broker.TimerTimer();
        expected.insert(expected.end(), served.begin(), served.end());
    }
    broker.TimerTimer();
    EXPECT_EQ(Read("LISTAGESTIUNI.TXT"), "DEP;Depozit;DEPOZIT\r\n");
    EXPECT_EQ(CallsOfATick(broker), "");  // each request once
    EXPECT_EQ(Log(), expected);
    EXPECT_EQ(Read("LOG.TXT"), broker.LogText());
    for (const char* name : {"COMANDA_1.TXT", "COMANDA_2.TXT", "COMANDA_3.TXT"}) EXPECT_FALSE(Exists(name));
}

// Each outage tick runs the emergency script, unless its last run still runs.
TEST_F(PollCycleTest, OutageStartsTheEmergencyScriptOneRunAtATime) {
    const std::string script = exeDir + "Avarie.bat", stop = exeDir + "stop.txt", done = exeDir + "done.txt";
    WriteFileReplacing(Wide(script), "@echo off\r\n:wait\r\nif not exist \"" + stop + "\" goto wait\r\necho x>>\"" +
                                   done + "\"\r\n");
    Start();
    ASSERT_TRUE(TakeAway());
    for (int tick = 1; tick <= 3; ++tick) broker.TimerTimer();
    const std::string run = Stamp() + " ... Rulez " + script;
    EXPECT_EQ(Log(), (TextList{Stamp() + " ... Directorul de lucru este inactiv", run}));
    WriteFileReplacing(Wide(stop), "");
    ASSERT_TRUE(WaitUntil([&] { return FileExists(Wide(done)); }, 15000));
    EXPECT_TRUE(WaitUntil(
        [&] {
            broker.TimerTimer();
            return CountLines(Log(), run) == 2;
        },
        15000));
    EXPECT_TRUE(WaitUntil([&] { return ReadShared(done) == "x\r\nx\r\n"; }, 15000));
}

TEST_F(PollCycleTest, TxtInTheWorkingDirectorysPathIsLeftAlone) {
    const std::string nested = workDir + "\\EXPORT.TXT";
    ASSERT_TRUE(CreateDirectoryW(Wide(nested).c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW(Wide(nested + "\\IN").c_str(), nullptr));
    WriteIni("[Generale]\r\nDirectorLucru=" + nested + "\\IN\r\nFirmaLucru=DEMO\r\n");
    Start();
    server.ok["GenFacturi"] = 0;
    WriteFileReplacing(Wide(nested + "\\IN\\FACTURA_1.TXT"), OrderPackage());
    broker.TimerTimer();
    EXPECT_TRUE(FileExists(Wide(nested + "\\IN\\FACTURA_1.ERR")));
    EXPECT_FALSE(FileExists(Wide(nested + "\\IN\\FACTURA_1.TXT")));
    EXPECT_EQ(CallsOfATick(broker), "");
}

// The tick serves what its listing showed: a package gone before its open is not there (no
// wait, no line, no journal), and a query come after the listing waits for the next tick.
TEST_F(PollCycleTest, ListingRacedByAWriter) {
    Start();
    Put("COMANDA_1.TXT", OrderPackage());
    broker.FServer.reset();  // made again by the tick, after its listing
    uptimeMs += 60000;
    server.during = [&](const std::string& method) {
        if (method != "SetTipIDPartener") return;
        ASSERT_TRUE(DeleteFileW(Wide(Path("COMANDA_1.TXT")).c_str()));
        Put("GETSTOC.TXT", "");
    };
    broker.TimerTimer();
    server.during = nullptr;
    EXPECT_EQ(server.CallsText().find("SetPachet"), std::string::npos) << server.CallsText();
    EXPECT_EQ(Log(), TextList{});
    EXPECT_FALSE(Exists(kJournalFileName));
    EXPECT_TRUE(Exists("GETSTOC.TXT"));
    EXPECT_EQ(CallsOfATick(broker), "SetLunaLucru(2026,12) GetStocuri");
}

// Every line logged reaches LOG.TXT before the server call that follows it.
TEST_F(PollCycleTest, LogTxtHoldsEveryLineBeforeEachServerCall) {
    Start();
    Put("GETSTOCARTICOL.TXT", "A0001\r\n");
    std::vector<size_t> linesAtCalls;
    server.during = [&](const std::string&) {
        EXPECT_EQ(Read("LOG.TXT"), broker.LogText());
        linesAtCalls.push_back(Log().size());
    };
    broker.TimerTimer();
    server.during = nullptr;
    EXPECT_EQ(linesAtCalls, (std::vector<size_t>{1, 2}));
    EXPECT_EQ(Read("LOG.TXT"), broker.LogText());
    EXPECT_EQ(Log().size(), 5u);
}

// "RaspunsImediat": the directory's watch, set up by the first tick.
class ImmediateAnswersTest : public BrokerTest {
protected:
    void SetUp() override {
        BrokerTest::SetUp();
        WriteIni(DefaultIni("RaspunsImediat=D\r\nZileIstoricLog=0\r\n"));
        Start();
        broker.Tick();
    }
    // Wake-ups from the service's own writes (up to ten), each handled.
    int OwnWakeUps() {
        int changes = 0;
        for (; changes < 10 && WaitForSingleObject(broker.ChangeEvent(), 300) == WAIT_OBJECT_0; ++changes)
            broker.DirectoryChanged();
        return changes;
    }
};

// Its own writes (answers, LOG.TXT) wake the watch at most twice.
TEST_F(ImmediateAnswersTest, ChangeServesAndAServedTickAsksForTheNextAtOnce) {
    ASSERT_NE(broker.ChangeEvent(), nullptr);
    EXPECT_FALSE(broker.TickDue());
    Put("GETLISTAGESTIUNI.TXT", "");
    Put("GETLISTAPARTENERI.TXT", "");
    ASSERT_EQ(WaitForSingleObject(broker.ChangeEvent(), 5000), WAIT_OBJECT_0);
    broker.DirectoryChanged();
    EXPECT_EQ(Exists("GETLISTAGESTIUNI.TXT") + Exists("GETLISTAPARTENERI.TXT"), 1);
    EXPECT_TRUE(broker.TickDue());
    broker.Tick();
    EXPECT_FALSE(Exists("GETLISTAGESTIUNI.TXT") || Exists("GETLISTAPARTENERI.TXT"));
    EXPECT_FALSE(broker.TickDue());  // nothing waits
    EXPECT_LE(OwnWakeUps(), 2);
    EXPECT_FALSE(broker.TickDue());
}

// What the service writes and removes itself wakes no tick: no listing follows.
TEST_F(ImmediateAnswersTest, OwnWritesWakeNoTick) {
    Put("GETSTOCARTICOL.TXT", "A0001\r\n");
    for (int wakes = 0; wakes < 10 && Exists("GETSTOCARTICOL.TXT"); ++wakes)
        if (WaitForSingleObject(broker.ChangeEvent(), 1000) == WAIT_OBJECT_0) broker.DirectoryChanged();
    ASSERT_FALSE(Exists("GETSTOCARTICOL.TXT"));
    const unsigned long long listings = FileCallsOfThisThread().directoryReads;
    OwnWakeUps();
    EXPECT_EQ(FileCallsOfThisThread().directoryReads, listings);
    EXPECT_FALSE(broker.TickDue());
}

// A tick at once after a served request may serve from the listing kept since; changes the
// watch lost (more than it keeps between two looks) send it to a fresh listing.
TEST_F(ImmediateAnswersTest, KeptListingGivesWayToAFreshOneWhenChangesAreLost) {
    Put("GETLISTAGESTIUNI.TXT", "");
    Put("GETLISTAPARTENERI.TXT", "");
    for (int wakes = 0; wakes < 10 && !broker.TickDue(); ++wakes)
        if (WaitForSingleObject(broker.ChangeEvent(), 1000) == WAIT_OBJECT_0) broker.DirectoryChanged();
    ASSERT_TRUE(broker.TickDue());
    for (int i = 0; i < 600; ++i)
        UniqueFile(CreateFileW(Wide(Path(std::string(100, 'x') + std::to_string(i))).c_str(), GENERIC_WRITE, 0,
                               nullptr, CREATE_NEW, 0, nullptr));
    Put("GETSTOC.TXT", "");
    server.calls.clear();
    broker.Tick(TEBroker::TickCause::Again);
    EXPECT_EQ(server.CallsText(), "SetLunaLucru(2026,12) GetStocuri");
}

// A directory gone takes the watch; back, or made anew, it is watched again.
TEST_F(ImmediateAnswersTest, DirectoryThatGoesAndComesBackIsWatchedAgain) {
    ASSERT_TRUE(TakeAway());
    broker.Tick();
    EXPECT_EQ(broker.ChangeEvent(), nullptr);
    ASSERT_TRUE(BringBack());
    broker.Tick();
    EXPECT_NE(broker.ChangeEvent(), nullptr);
    ASSERT_TRUE(TakeAway());  // made anew between two ticks
    ASSERT_TRUE(CreateDirectoryW(Wide(workDir).c_str(), nullptr));
    uptimeMs += 3000;
    broker.Tick();
    Put("GETSTOC.TXT", "");
    EXPECT_EQ(WaitForSingleObject(broker.ChangeEvent(), 5000), WAIT_OBJECT_0);
}

// Read-only, its ".ERR" name a folder: served again by the timer, not by its own wake-ups.
TEST_F(ImmediateAnswersTest, RequestLeftInPlaceIsServedAgainByTheTimerOnly) {
    server.ok["SetLunaLucru"] = 0;
    ASSERT_TRUE(CreateDirectoryW(Wide(Path("COMANDA_1.ERR")).c_str(), nullptr));
    for (const char* request : {"GETLISTAGESTIUNI.TXT", "COMANDA_1.TXT"}) {
        SCOPED_TRACE(request);
        broker.Tick();
        Put(request, "");
        SetReadOnly(Path(request), true);
        server.calls.clear();
        broker.Tick();
        OwnWakeUps();
        EXPECT_FALSE(broker.TickDue());
        broker.Tick();
        EXPECT_TRUE(Exists(request));
        const std::string first = server.calls.front();
        EXPECT_EQ(std::count(server.calls.begin(), server.calls.end(), first), 2) << server.CallsText();
        SetReadOnly(Path(request), false);
        DeleteFileW(Wide(Path(request)).c_str());
    }
}

// Each try (once a second) to replace a held LOG.TXT wakes the watch once.
TEST_F(ImmediateAnswersTest, HeldLogTxtWakesTheWatchOnceASecond) {
    Put("LOG.TXT", "");
    UniqueFile reader = Hold(Path("LOG.TXT"), FILE_SHARE_READ | FILE_SHARE_WRITE);
    broker.LogMessage("waits");
    for (int second = 0; second < 10; ++second, uptimeMs += 1000) {
        broker.Tick();
        EXPECT_LE(OwnWakeUps(), 1);
    }
    for (const std::string& name : FolderNames(workDir))
        EXPECT_EQ(name.find("tmp"), std::string::npos) << name;
}

}  // namespace
