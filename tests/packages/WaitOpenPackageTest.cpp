// Waiting for a package's writer to let go: served once it does, given up after 5 s.
#include <windows.h>

#include "base/AnsiText.h"
#include "base/FileSystem.h"
#include "journal/PackageJournal.h"
#include "support/BrokerFixture.h"

namespace {

using WaitOpenPackageTest = BrokerTest;
// Holds a file open for writing, as the program still writing a package would.
UniqueFile OpenForWriting(const std::string& path) {
    return UniqueFile(CreateFileW(Wide(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
}

// Closes the writer's handle after 2 s, noting what the journal held meanwhile.
struct LateWriter {
    UniqueFile file;
    std::string journalPath;
    std::string journal;

    static DWORD WINAPI Run(void* self) {
        auto* writer = static_cast<LateWriter*>(self);
        Sleep(2000);
        writer->journal = FileExists(writer->journalPath) ? ReadWholeFile(writer->journalPath) : "";
        writer->file.reset();
        return 0;
    }
};

TEST_F(WaitOpenPackageTest, PackageIsServedOnceItsWriterClosesIt) {
    Start();
    Put("COMANDA_1.TXT", "D;1\r\n");
    LateWriter writer{OpenForWriting(Path("COMANDA_1.TXT")), Path(kJournalFileName), ""};
    ASSERT_TRUE(writer.file.valid());
    UniqueHandle thread(CreateThread(nullptr, 0, LateWriter::Run, &writer, 0, nullptr));
    const ULONGLONG start = GetTickCount64();
    broker.TimerTimer();
    const ULONGLONG elapsed = GetTickCount64() - start;
    WaitForSingleObject(thread.get(), INFINITE);
    EXPECT_GE(elapsed, 1500u);
    EXPECT_LT(elapsed, 4800u);
    EXPECT_EQ(Log(), (TextList{"", "", Stamp() + " ... Deschid pachetul cu comenzi",
                               "Au fost generate 0 comenzi in baza de date "}));
    EXPECT_EQ(server.CallsText(), "SetLunaLucru(0,0) SetPachet(1) GenComenzi GetNrComenzi");
    EXPECT_FALSE(Exists("COMANDA_1.TXT"));
    // While its handler ran, the package stood in the journal; now nothing is left.
    EXPECT_NE(writer.journal.find("\tCOMANDA_1.TXT\r\n"), std::string::npos) << writer.journal;
    EXPECT_EQ(writer.journal.substr(0, 2), "S\t");
    EXPECT_FALSE(Exists(kJournalFileName));
}

TEST_F(WaitOpenPackageTest, PackageHeldThroughoutIsGivenUpAfterFiveSeconds) {
    Start();
    Put("FACTURA_1.TXT", "D;1\r\n");
    UniqueFile writer = OpenForWriting(Path("FACTURA_1.TXT"));
    ASSERT_TRUE(writer.valid());
    const ULONGLONG start = GetTickCount64();
    broker.TimerTimer();
    const ULONGLONG elapsed = GetTickCount64() - start;
    writer.reset();
    EXPECT_GE(elapsed, 5000u);
    EXPECT_LT(elapsed, 15000u);
    // Still held, it could not be set aside either; unread, it made no documents, so
    // the next tick serves it as it is.
    EXPECT_EQ(Log(), (TextList{"", "", Stamp() + " ... Nu pot deschide pachetul cu facturii"}));
    EXPECT_EQ(server.CallsText(), "");
    EXPECT_TRUE(Exists("FACTURA_1.TXT"));
    broker.TimerTimer();
    EXPECT_EQ(server.CallsText(), "SetLunaLucru(0,0) SetPachet(1) GenFacturi GetNrFacturi");
    EXPECT_FALSE(Exists("FACTURA_1.TXT"));
}

}  // namespace
