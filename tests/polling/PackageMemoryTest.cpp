// A package is never served twice: not when it cannot be removed, not across a crash.
#include <windows.h>

#include "base/AnsiText.h"
#include "base/BrokerError.h"
#include "base/FileSystem.h"
#include "journal/PackageJournal.h"
#include "support/BrokerFixture.h"

namespace {

using PackageMemoryTest = BrokerTest;

TEST_F(PackageMemoryTest, AcceptedPackageThatCannotBeDeletedIsNeverServedAgainButANewFileOfItsNameIs) {
    Start();
    Put("COMANDA_1.TXT", OrderPackage());
    SetReadOnly(Path("COMANDA_1.TXT"), true);
    broker.TimerTimer();
    EXPECT_EQ(Log(), (TextList{"", "", Stamp() + " ... Deschid pachetul cu comenzi",
                               "Au fost generate 0 comenzi in baza de date ",
                               Stamp() + " ... Nu pot sterge pachetul COMANDA_1.TXT"}));
    EXPECT_TRUE(Exists("COMANDA_1.TXT"));
    EXPECT_FALSE(Exists("COMANDA_1.ERR"));

    Put("COMANDA_2.TXT", OrderPackage());
    broker.TimerTimer();  // the next entry of the same search
    EXPECT_EQ(broker.FCurrentRequest, "COMANDA_2.TXT");
    EXPECT_FALSE(Exists("COMANDA_2.TXT"));
    EXPECT_EQ(CallsOfATick(broker), "");
    EXPECT_EQ(Log().size(), 9u);       // the undeletable one logged once
    Put("PARTENER_1.TXT", "P;1\r\n");  // a new file of a remembered name is new
    SetReadOnly(Path("PARTENER_1.TXT"), true);
    broker.TimerTimer();
    SetReadOnly(Path("PARTENER_1.TXT"), false);
    Put("PARTENER_1.TXT", "P;22\r\n");
    EXPECT_EQ(CallsOfATick(broker), "AddPartener(P;22)");
    EXPECT_FALSE(Exists("PARTENER_1.TXT"));

    SecondRun restart(broker);
    EXPECT_EQ(CallsOfATick(restart.broker), "");
    EXPECT_TRUE(Exists("COMANDA_1.TXT"));
    EXPECT_FALSE(Exists("COMANDA_1.ERR"));

    SetReadOnly(Path("COMANDA_1.TXT"), false);  // deletion retried each tick
    EXPECT_EQ(CallsOfATick(restart.broker), "");
    EXPECT_FALSE(Exists("COMANDA_1.TXT"));
    EXPECT_FALSE(Exists(kJournalFileName));
}

TEST_F(PackageMemoryTest, PackageWhoseHandlerRaisedIsSetAsideOnceItCanBe) {
    Start();
    server.failures["GenFacturi"] = {E_FAIL, "Eroare server"};
    Put("FACTURA_1.TXT", OrderPackage());
    // A reader not sharing deletion keeps it from being renamed.
    UniqueFile reader = Hold(Path("FACTURA_1.TXT"), FILE_SHARE_READ | FILE_SHARE_WRITE);
    ASSERT_TRUE(reader.valid());
    EXPECT_THROW(broker.TimerTimer(), BrokerError);
    EXPECT_TRUE(Exists("FACTURA_1.TXT"));
    EXPECT_FALSE(Exists("FACTURA_1.ERR"));
    EXPECT_EQ(Log().back(), Stamp() + " ... Nu pot pune deoparte pachetul FACTURA_1.TXT");
    EXPECT_EQ(CallsOfATick(broker), "");  // retried, never served or logged again
    EXPECT_TRUE(Exists("FACTURA_1.TXT"));

    SecondRun restart(broker);  // the journal carries it over
    reader.reset();
    EXPECT_EQ(CallsOfATick(restart.broker), "");
    EXPECT_EQ(Read("FACTURA_1.ERR"), OrderPackage());
    EXPECT_FALSE(Exists("FACTURA_1.TXT"));
    EXPECT_FALSE(Exists(kJournalFileName));
    EXPECT_EQ(Log().size(), 4u);  // logged once
    EXPECT_FALSE(broker.FBusy);
}

TEST_F(PackageMemoryTest, PackageInHandThatChangedSinceIsServed) {
    // The journal of a run that died serving it, before it changed.
    Put("COMANDA_1.TXT", OrderPackage());
    const FileState then = StateAt(Wide(Path("COMANDA_1.TXT")));
    Put(kJournalFileName, FormatJournal({PackageStamp{"COMANDA_1.TXT", then.size, then.lastWrite},
                                         {{{"ARTICOL_GONE.TXT", 1, 2}}}}));
    Put("COMANDA_1.TXT", OrderPackage() + "D;2\r\n");
    Start();
    broker.TimerTimer();
    EXPECT_EQ(server.CallsText(), "SetLunaLucru(2026,12) SetPachet(5) GenComenzi GetNrComenzi");
    EXPECT_FALSE(Exists("COMANDA_1.TXT"));
    EXPECT_FALSE(Exists(kJournalFileName));  // the vanished package is forgotten too
}

TEST_F(PackageMemoryTest, NoPackageIsHandedOverWhileTheJournalCannotBeWritten) {
    Start();
    Put("COMANDA_1.TXT", OrderPackage());
    Put("GETLISTAGESTIUNI.TXT", "");
    const std::string blocker = Path(std::string(kJournalFileName) + ".~tmp");
    ASSERT_TRUE(CreateDirectoryW(Wide(blocker).c_str(), nullptr));
    broker.TimerTimer();
    broker.TimerTimer();
    EXPECT_EQ(server.CallsText(), "SetLunaLucru(2026,12) GetListaGestiuni");  // queries go on
    EXPECT_TRUE(Exists("COMANDA_1.TXT"));
    EXPECT_EQ(Log(), (TextList{Stamp() + " ... Nu pot scrie jurnalul VQBROKER.JNL"}));

    ASSERT_TRUE(RemoveDirectoryW(Wide(blocker).c_str()));
    EXPECT_EQ(CallsOfATick(broker), "");  // not retried within the second
    uptimeMs += 1000;
    EXPECT_EQ(CallsOfATick(broker), "SetLunaLucru(2026,12) SetPachet(4) GenComenzi GetNrComenzi");
    EXPECT_FALSE(Exists("COMANDA_1.TXT"));
}

}  // namespace
