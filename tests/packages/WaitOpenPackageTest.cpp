// Waiting for a package's writer to let go: served once it does, given up after 5 s.
#include <windows.h>

#include <thread>

#include "base/AnsiText.h"
#include "journal/PackageJournal.h"
#include "support/BrokerFixture.h"

namespace {

using WaitOpenPackageTest = BrokerTest;

TEST_F(WaitOpenPackageTest, PackageIsServedOnceItsWriterClosesItOrGivenUpAfterFiveSeconds) {
    Start();
    auto openForWriting = [&](const std::string& name) {  // as the program still writing it would
        Put(name, "D;1\r\n");
        return Hold(Path(name), FILE_SHARE_READ, GENERIC_WRITE);
    };
    auto timedTick = [&] {
        const ULONGLONG start = GetTickCount64();
        broker.TimerTimer();
        return GetTickCount64() - start;
    };
    UniqueFile writer = openForWriting("COMANDA_1.TXT");
    ASSERT_TRUE(writer.valid());
    std::string journal;  // what the journal held while the handler waited
    std::jthread lateWriter([&] {
        Sleep(2000);
        journal = Exists(kJournalFileName) ? Read(kJournalFileName) : "";
        writer.reset();
    });
    ULONGLONG elapsed = timedTick();
    lateWriter.join();
    EXPECT_GE(elapsed, 1500u);
    EXPECT_LT(elapsed, 4800u);
    EXPECT_EQ(Log(), (TextList{"", "", Stamp() + " ... Deschid pachetul cu comenzi",
                               "Au fost generate 0 comenzi in baza de date "}));
    EXPECT_EQ(server.CallsText(), "SetLunaLucru(0,0) SetPachet(1) GenComenzi GetNrComenzi");
    EXPECT_FALSE(Exists("COMANDA_1.TXT"));
    // While its handler ran, the package stood in the journal; now nothing is left.
    EXPECT_NE(journal.find("\tCOMANDA_1.TXT\r\n"), std::string::npos) << journal;
    EXPECT_EQ(journal.substr(0, 2), "S\t");
    EXPECT_FALSE(Exists(kJournalFileName));

    // Held throughout, it is given up after five seconds.
    server.calls.clear();
    NewLines();
    writer = openForWriting("FACTURA_1.TXT");
    ASSERT_TRUE(writer.valid());
    elapsed = timedTick();
    writer.reset();
    EXPECT_GE(elapsed, 5000u);
    EXPECT_LT(elapsed, 15000u);
    // Still held, it could not be set aside either; unread, it made no documents, so
    // the next tick serves it as it is.
    EXPECT_EQ(NewLines(), (TextList{"", "", Stamp() + " ... Nu pot deschide pachetul cu facturii"}));
    EXPECT_EQ(server.CallsText(), "");
    EXPECT_TRUE(Exists("FACTURA_1.TXT"));
    broker.TimerTimer();
    EXPECT_EQ(server.CallsText(), "SetLunaLucru(0,0) SetPachet(1) GenFacturi GetNrFacturi");
    EXPECT_FALSE(Exists("FACTURA_1.TXT"));
}

}  // namespace
