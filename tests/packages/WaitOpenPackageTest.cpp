// A package's writer still holding it.
#include <windows.h>

#include <thread>

#include "journal/PackageJournal.h"
#include "support/BrokerFixture.h"

namespace {

class WaitOpenPackageTest : public BrokerTest {
protected:
    ULONGLONG TimedTick() {
        const ULONGLONG start = GetTickCount64();
        broker.TimerTimer();
        return GetTickCount64() - start;
    }
};

// While its handler waits, the package stands in the journal.
TEST_F(WaitOpenPackageTest, PackageIsServedOnceItsWriterClosesIt) {
    Start();
    UniqueFile writer = Writing(Path("COMANDA_1.TXT"), "D;1\r\n");
    ASSERT_TRUE(writer.valid());
    std::string journal;
    std::jthread lateWriter([&] {
        Sleep(2000);
        journal = Contents(kJournalFileName);
        writer.reset();
    });
    const ULONGLONG elapsed = TimedTick();
    lateWriter.join();
    EXPECT_GE(elapsed, 1500u);
    EXPECT_LT(elapsed, 4800u);
    EXPECT_EQ(server.CallsText(), "SetLunaLucru(0,0) SetPachet(1) GenComenzi GetNrComenzi");
    EXPECT_EQ(ParseJournal(journal).inHand.value_or(PackageStamp{}).name, "COMANDA_1.TXT") << journal;
}

// Unread, it made no documents: it stays as it is.
TEST_F(WaitOpenPackageTest, PackageHeldThroughoutIsGivenUpAfterFiveSecondsAndServedLater) {
    Start();
    UniqueFile writer = Writing(Path("FACTURA_1.TXT"), "D;1\r\n");
    ASSERT_TRUE(writer.valid());
    const ULONGLONG elapsed = TimedTick();
    writer.reset();
    EXPECT_GE(elapsed, 5000u);
    EXPECT_LT(elapsed, 15000u);
    EXPECT_EQ(Log(), (TextList{"", "", Stamp() + " ... Nu pot deschide pachetul cu facturii"}));
    EXPECT_EQ(server.CallsText(), "");
    EXPECT_TRUE(Exists("FACTURA_1.TXT"));
    broker.TimerTimer();
    EXPECT_EQ(server.CallsText(), "SetLunaLucru(0,0) SetPachet(1) GenFacturi GetNrFacturi");
    EXPECT_FALSE(Exists("FACTURA_1.TXT"));
}

}  // namespace
