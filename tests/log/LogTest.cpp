// LOG.TXT, LOGURI, and the server's error list.
#include "support/BrokerFixture.h"

#include <windows.h>

#include "base/AnsiText.h"
#include "base/FileSystem.h"
#include "base/LocalClock.h"
#include "base/Owners.h"
#include "log/LogHistory.h"

namespace {

using LogTest = BrokerTest;

// Sets the file's last write to a local time.
void Written(const std::string& path, const LocalTime& time) {
    FILETIME written{};
    ASSERT_TRUE(FileTimeOf(time, written));
    ASSERT_TRUE(SetFileTime(Hold(path, 0, FILE_WRITE_ATTRIBUTES).get(), nullptr, nullptr, &written));
}

// Appended to the one file the run made: a rewrite would change its identity.
TEST_F(LogTest, LogTxtHoldsEveryLinePrefixedAndIsOnlyAppendedTo) {
    Start();
    EXPECT_FALSE(Exists("LOG.TXT"));  // good settings log nothing
    broker.LogMessage("");
    broker.LogMessage("Au fost generate 3 comenzi in baza de date ");
    EXPECT_EQ(Read("LOG.TXT"), "Ver. 3.1 -  \r\nVer. 3.1 -  Au fost generate 3 comenzi in baza de date \r\n");
    const FileIdentity made = IdentityOf(Path("LOG.TXT"));
    for (int i = 0; i < 300; ++i) broker.LogMessage("line " + std::to_string(i) + " \xE2\xEE");
    EXPECT_EQ(IdentityOf(Path("LOG.TXT")), made);
    EXPECT_EQ(Read("LOG.TXT"), broker.LogText());
    EXPECT_EQ(Log().size(), 302u);
}

TEST_F(LogTest, LogTxtChangedFromOutsideIsWrittenBackWhole) {
    Start();
    broker.LogMessage("one");
    Put("LOG.TXT", "someone else wrote this, quite a bit longer than before\r\n");
    broker.LogMessage("two");
    EXPECT_EQ(Read("LOG.TXT"), "Ver. 3.1 -  one\r\nVer. 3.1 -  two\r\n");
    Put("LOG.TXT", "changed");
    broker.FormDestroy();
    EXPECT_EQ(Read("LOG.TXT"), broker.LogText());
    EXPECT_EQ(Log().size(), 2u);  // the stop adds no line
}

// Memory keeps about the newest half megabyte, from a line's start.
TEST_F(LogTest, BusyDayLeavesMemoryOnceLogTxtHasIt) {
    Start();
    for (int i = 0; i < 1100; ++i) broker.LogMessage(std::string(1000, 'z'));
    const std::string file = Read("LOG.TXT"), kept = broker.LogText();
    EXPECT_EQ(file.size(), 1100 * 1014u);
    EXPECT_LT(kept.size(), LogStore::kDayHeld);
    EXPECT_EQ(file.substr(file.size() - kept.size()), kept);
    EXPECT_EQ(kept.substr(0, 13), "Ver. 3.1 -  z");
    DeleteFileQuietly(Wide(Path("LOG.TXT")));
    broker.LogMessage("after");
    EXPECT_EQ(Read("LOG.TXT"), kept + "Ver. 3.1 -  after\r\n");
}

TEST_F(LogTest, WithoutHistoryTheFirstLineReplacesThePreviousLogAndDaysShareIt) {
    WriteIni(DefaultIni() + "ZileIstoricLog=0\r\n");
    Put("LOG.TXT", "Ver. 3.1 -  from an earlier run\r\n");
    Start();
    broker.LogMessage("new run");
    today = {2026, 12, 8, 0, 0, 1};
    broker.LogMessage("next day");
    EXPECT_EQ(Read("LOG.TXT"), "Ver. 3.1 -  new run\r\nVer. 3.1 -  next day\r\n");
    EXPECT_FALSE(DirectoryExists(Wide(Path("LOGURI"))));
}

// Named by its first stamp, else its last write.
TEST_F(LogTest, EarlierRunsLogIsKeptInLoguriNeverOverAnotherFile) {
    const std::string earlier =
        "Ver. 3.1 -  Nu ai precizat in VQBroker.Ini firma de lucru\r\n"
        "Ver. 3.1 -  23.10.2026 08:00:01 ... Deschid pachetul cu comenzi\r\n"
        "Ver. 3.1 -  06.12.2026 18:00:00 ... Deschid pachetul cu comenzi\r\n";
    ASSERT_TRUE(CreateDirectoryW(Wide(Path("LOGURI")).c_str(), nullptr));
    Put("LOGURI\\LOG_2026-10-23_080001.TXT", "taken");
    Written(Path("LOGURI\\LOG_2026-10-23_080001.TXT"), {2026, 10, 23, 8, 0, 1});
    Put("LOG.TXT", earlier);
    Start();
    broker.LogMessage("new run");
    broker.LogMessage("second line");
    EXPECT_EQ(Read("LOG.TXT"), "Ver. 3.1 -  new run\r\nVer. 3.1 -  second line\r\n");
    EXPECT_EQ(FolderNames(Path("LOGURI")), TextList{"LOG_2026-10-23_080002.TXT"});
    EXPECT_EQ(Read("LOGURI\\LOG_2026-10-23_080002.TXT"), earlier);

    Written(Path("LOG.TXT"), {2026, 12, 6, 10, 0, 0});
    SecondRun restart(broker);
    restart.broker.LogMessage("third run");
    EXPECT_EQ(Read("LOGURI\\LOG_2026-12-06_100000.TXT"),
              "Ver. 3.1 -  new run\r\nVer. 3.1 -  second line\r\n");
    EXPECT_EQ(FolderNames(Path("LOGURI")).size(), 2u);
    EXPECT_EQ(Read("LOG.TXT"), "Ver. 3.1 -  third run\r\n");
}

// The view still has the day before.
TEST_F(LogTest, FirstLineOfANewDayStartsANewLogTxtAndKeepsTheDayBefore) {
    Start();
    today = {2026, 12, 7, 23, 59, 58};
    broker.LogStamped(" ... Deschid pachetul cu comenzi");
    broker.LogMessage("Au fost generate 1 comenzi in baza de date ");
    const std::string dayBefore = broker.LogText();
    today = {2026, 12, 8, 0, 0, 2};
    broker.LogStamped(" ... Deschid pachetul cu facturi");
    EXPECT_EQ(Read("LOG.TXT"), "Ver. 3.1 -  " + Stamp() + " ... Deschid pachetul cu facturi\r\n");
    EXPECT_EQ(broker.LogText(), Read("LOG.TXT"));
    EXPECT_EQ(FolderNames(Path("LOGURI")), TextList{"LOG_2026-12-07_235958.TXT"});
    EXPECT_EQ(Read("LOGURI\\LOG_2026-12-07_235958.TXT"), dayBefore);
    EXPECT_EQ(broker.RecentLog(), dayBefore + broker.LogText());

    DeleteFileQuietly(Wide(Path("LOG.TXT")));  // comes back with the current day only
    broker.LogMessage("later");
    EXPECT_EQ(Read("LOG.TXT"), broker.LogText());
    EXPECT_EQ(Log().size(), 2u);
    broker.TimerTimer();  // LOGURI holds no request
    EXPECT_EQ(server.CallsText(), "");

    // Held across midnight: the day goes on in it until it can be moved.
    const std::string day = broker.LogText();
    const std::string b =
        "Ver. 3.1 -  b\r\nVer. 3.1 -  09.12.2026 00:00:00  ... Nu pot muta LOG.TXT in "
        "LOGURI; logul continua in LOG.TXT\r\n";
    UniqueFile reader = Hold(Path("LOG.TXT"), FILE_SHARE_READ | FILE_SHARE_WRITE);
    today = {2026, 12, 9, 0, 0, 0};
    broker.LogMessage("b");
    reader.reset();
    uptimeMs += 1000;
    broker.LogMessage("c");
    EXPECT_EQ(Read("LOGURI\\LOG_2026-12-08_000002.TXT"), day + b);
    EXPECT_EQ(Read("LOG.TXT"), b + "Ver. 3.1 -  c\r\n");
}

TEST_F(LogTest, RetentionDeletesOldDaysThenTheOldestOverTheCapAndOnlyItsOwnNames) {
    WriteIni(DefaultIni() + "ZileIstoricLog=2\r\n");
    broker.FLogHistoryCap = 260;
    ASSERT_TRUE(CreateDirectoryW(Wide(Path("LOGURI")).c_str(), nullptr));
    for (const char* name :
         {"LOG_2026-12-04_120000.TXT", "LOG_2026-12-05_120000.TXT", "LOG_2026-12-06_120000.TXT",
          "LOG_2026-12-07_070000.TXT", "LOG_2026-01-01_000000.TXT.bak", "NOTE.TXT"})
        Put(std::string("LOGURI\\") + name, std::string(100, '.'));
    Put("LOGURI\\LOG_2026-12-03_120000.TXT", "");
    Put("LOGURI\\LOG_2027-12-07_090000.TXT", "");
    for (const std::string& name : FolderNames(Path("LOGURI")))
        if (auto time = HistoryFileTime(name)) Written(Path("LOGURI\\" + name), *time);
    SetReadOnly(Path("LOGURI\\LOG_2026-12-03_120000.TXT"), true);
    Put("LOG.TXT", "Ver. 3.1 -  07.12.2026 08:00:00 ... o rulare anterioara\r\n");
    Start();
    broker.LogMessage("one");
    // Three days ago too old, two days ago over the cap, the rest not the service's.
    EXPECT_EQ(
        FolderNames(Path("LOGURI")),
        (TextList{"LOG_2026-01-01_000000.TXT.bak", "LOG_2026-12-03_120000.TXT", "LOG_2026-12-06_120000.TXT",
                  "LOG_2026-12-07_070000.TXT", "LOG_2026-12-07_080000.TXT", "LOG_2027-12-07_090000.TXT", "NOTE.TXT"}));
    EXPECT_EQ(Log(),
              (TextList{"one", Stamp() + " ... Nu pot sterge fisierul LOGURI\\LOG_2026-12-03_120000.TXT"}));

    today = {2026, 12, 8, 9, 0, 0};
    broker.LogMessage("two");  // tried again, said once
    EXPECT_TRUE(Exists("LOGURI\\LOG_2026-12-03_120000.TXT"));
    EXPECT_FALSE(Exists("LOGURI\\LOG_2026-12-06_120000.TXT"));
    EXPECT_EQ(Log(), TextList{"two"});
    SetReadOnly(Path("LOGURI\\LOG_2026-12-03_120000.TXT"), false);
    today = {2026, 12, 9, 9, 0, 0};
    broker.LogMessage("three");
    EXPECT_FALSE(Exists("LOGURI\\LOG_2026-12-03_120000.TXT"));
}

TEST_F(LogTest, FileNamedLoguriInTheWayLeavesTheLogInLogTxtAndASayingLine) {
    Put("LOGURI", "not a folder");
    Put("LOG.TXT", "Ver. 3.1 -  from an earlier run\r\n");
    Start();
    broker.LogMessage("one");
    today = {2026, 12, 8, 9, 0, 0};
    uptimeMs += 1000;
    broker.LogMessage("two");  // tried again, said once
    EXPECT_EQ(
        Read("LOG.TXT"),
        "Ver. 3.1 -  from an earlier run\r\nVer. 3.1 -  one\r\n"
        "Ver. 3.1 -  07.12.2026 09:05:03  ... Nu pot crea directorul LOGURI; logul continua in LOG.TXT\r\n"
        "Ver. 3.1 -  two\r\n");
    EXPECT_EQ(Read("LOGURI"), "not a folder");
}

TEST_F(LogTest, NoWorkingDirectoryMeansNoFile) {
    WriteIni("[Generale]\r\nFirmaLucru=DEMO\r\n");
    Start();
    broker.LogMessage("only on screen");
    EXPECT_FALSE(Exists("LOG.TXT"));
    EXPECT_EQ(Log().back(), "only on screen");
}

// Held and read-only (Wine lets root write those): retried once a second and at the stop.
TEST_F(LogTest, LogTxtThatCannotBeWrittenFailsNoRequestAndLosesNoLine) {
    Start();
    server.count["GetNrComenzi"] = 1;
    broker.LogMessage("before");
    const std::string saved = Read("LOG.TXT");
    UniqueFile reader = Hold(Path("LOG.TXT"), FILE_SHARE_READ);
    SetReadOnly(Path("LOG.TXT"), true);
    for (const char* name : {"COMANDA_1.TXT", "COMANDA_2.TXT"}) {
        Put(name, OrderPackage());
        EXPECT_NO_THROW(broker.Tick());
        EXPECT_FALSE(Exists(name));
    }
    EXPECT_FALSE(Exists("COMANDA_1.ERR"));
    EXPECT_EQ(Log().back(), "Au fost generate 1 comenzi in baza de date ");
    reader.reset();
    SetReadOnly(Path("LOG.TXT"), false);
    broker.Tick();
    EXPECT_EQ(Read("LOG.TXT"), saved);  // not retried within the second
    broker.FormDestroy();
    EXPECT_EQ(Read("LOG.TXT"), broker.LogText());
    const std::string said =
        "W Nu pot scrie LOG.TXT; liniile raman in memorie si ajung in fisier la prima salvare reusita: ";
    ASSERT_EQ(events->records.size(), 1u);
    EXPECT_EQ(events->records[0].substr(0, said.size()), said);
}

using ServerErrorsTest = BrokerTest;

// Lines are logged before the file is written, so an unwritable file loses none.
TEST_F(ServerErrorsTest, EachAnswerGivesItsLinesAndFile) {
    Start();
    const FakeList two = FakeList::Of({"Linia 2: articol necunoscut", "Linia 5: pret gresit"});
    const char* twoFile = "Linia 2: articol necunoscut\r\nLinia 5: pret gresit\r\n";
    const TextList eightBit = {"Pre\xFE gre\xBAit", "", "ultima"};
    enum Where { Neither, ToLog, ToFile, Both };
    struct Case {
        const char* behaviour;
        FakeList errors;
        Where to;
        const char* file;  // ERORI.TXT afterwards
        TextList logged;
        HRESULT failure = S_OK;  // of the call
        bool folderInTheWay = false;
    } cases[] = {
        {"neither: the list is still asked for", two, Neither, kNoFile, {}},
        {"to the log only", two, ToLog, kNoFile, two.lines},
        {"to the file only", two, ToFile, twoFile, {}},
        {"to both", two, Both, twoFile, two.lines},
        {"no array reports nothing", {}, Both, kNoFile, {}},
        {"an empty array writes an empty file", FakeList::Of({}), Both, "", {}},
        {"VARIANT elements and 8-bit text keep their order",
         {FakeList::Variants, eightBit, 3},
         Both,
         "Pre\xFE gre\xBAit\r\n\r\nultima\r\n",
         eightBit},
        {"a failing call raises and writes nothing", FakeList::Of({"x"}), Both, kNoFile, {}, E_UNEXPECTED},
        {"a file that cannot be written raises after the lines are logged",
         FakeList::Of({"first", "second"}),
         Both,
         kNoFile,
         {"first", "second"},
         S_OK,
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.behaviour);
        server.errors = c.errors;
        server.failures.clear();
        if (FAILED(c.failure)) server.failures["GetListaErori"] = {c.failure, ""};
        if (c.folderInTheWay) CreateDirectoryW(Wide(Path("ERORI.TXT")).c_str(), nullptr);
        server.calls.clear();
        const std::string raised =
            ErrorRaisedBy([&] { broker.ReportServerErrors(c.to & ToLog, c.to & ToFile); });
        EXPECT_EQ(server.CallsText(), "GetListaErori");
        EXPECT_EQ(raised.empty(), !FAILED(c.failure) && !c.folderInTheWay) << raised;
        EXPECT_EQ(NewLines(), c.logged);
        EXPECT_EQ(Contents("ERORI.TXT"), c.file);
        EXPECT_EQ(DirectoryExists(Wide(Path("ERORI.TXT"))), c.folderInTheWay);
        DeleteFileQuietly(Wide(Path("ERORI.TXT")));
    }
}

}  // namespace
