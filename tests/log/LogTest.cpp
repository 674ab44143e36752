// The activity log and LOG.TXT: what the file holds after appends, outside changes and outages.
#include "support/BrokerFixture.h"

#include <windows.h>

#include <thread>

#include "base/AnsiText.h"
#include "base/BrokerError.h"
#include "base/FileSystem.h"
#include "base/Owners.h"
#include "support/ServiceProcess.h"

namespace {

using LogTest = BrokerTest;

TEST_F(LogTest, EveryLineCarriesThePrefixAndReachesTheFile) {
    Start();
    broker.LogMessage("");
    broker.LogMessage("Au fost generate 3 comenzi in baza de date ");
    EXPECT_EQ(Read("LOG.TXT"), "Ver. 3.1 -  \r\nVer. 3.1 -  Au fost generate 3 comenzi in baza de date \r\n");
    EXPECT_EQ(Read("LOG.TXT"), broker.LogText());
}

TEST_F(LogTest, FirstLineOfARunReplacesThePreviousLog) {
    Put("LOG.TXT", "Ver. 3.1 -  from an earlier run\r\n");
    Start();
    broker.LogMessage("new run");
    EXPECT_EQ(Read("LOG.TXT"), "Ver. 3.1 -  new run\r\n");
}

// Lines are appended to the one file the run made: a rewrite would give it a new identity.
TEST_F(LogTest, ManyAppendsEqualOneWholeRewriteOfTheSameFile) {
    Start();
    broker.LogMessage("first");
    const FileIdentity made = IdentityOf(Path("LOG.TXT"));
    for (int i = 0; i < 300; ++i) {
        broker.LogMessage("line " + std::to_string(i) + " \xE2\xEE");
        if (i < 100) {
            ASSERT_EQ(IdentityOf(Path("LOG.TXT")), made) << "rewritten at line " << i;
        }
    }
    EXPECT_EQ(Read("LOG.TXT"), broker.LogText());
    EXPECT_EQ(Log().size(), 301u);
}

TEST_F(LogTest, FileChangedFromOutsideIsRewrittenWhole) {
    Start();
    broker.LogMessage("one");
    Put("LOG.TXT", "someone else wrote this, quite a bit longer than before\r\n");
    broker.LogMessage("two");
    EXPECT_EQ(Read("LOG.TXT"), "Ver. 3.1 -  one\r\nVer. 3.1 -  two\r\n");
    DeleteFileQuietly(Path("LOG.TXT"));
    broker.LogMessage("three");
    EXPECT_EQ(Read("LOG.TXT"), broker.LogText());
}

TEST_F(LogTest, LinesDuringAnOutageReachTheFileWhenTheDirectoryReturns) {
    Start();
    broker.LogMessage("before");
    std::string away = workDir + "_away";
    ASSERT_TRUE(MoveFileW(Wide(workDir).c_str(), Wide(away).c_str()));
    broker.LogMessage("during");
    EXPECT_FALSE(DirectoryExists(workDir));
    ASSERT_TRUE(MoveFileW(Wide(away).c_str(), Wide(workDir).c_str()));
    EXPECT_EQ(Read("LOG.TXT"), "Ver. 3.1 -  before\r\n");
    broker.LogMessage("after");
    EXPECT_EQ(Read("LOG.TXT"), "Ver. 3.1 -  before\r\nVer. 3.1 -  during\r\nVer. 3.1 -  after\r\n");
}

TEST_F(LogTest, NoWorkingDirectoryMeansNoFile) {
    WriteIni("[Generale]\r\nFirmaLucru=DEMO\r\n");
    Start();
    broker.LogMessage("only on screen");
    EXPECT_FALSE(Exists("LOG.TXT"));
    EXPECT_EQ(Log().back(), "only on screen");
}

// A reader's hold for a moment is waited for; one that lasts raises.
TEST_F(LogTest, FileHeldAgainstWritingRaisesAfterTheLineIsKept) {
    Start();
    broker.LogMessage("one");
    std::thread momentary;
    {
        UniqueFile reader(CreateFileW(Wide(Path("LOG.TXT")).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(reader.valid());
        momentary = std::thread([&] {
            Sleep(500);
            reader.reset();
        });
        EXPECT_NO_THROW(broker.LogMessage("held for a moment"));
    }
    momentary.join();
    {
        UniqueFile reader(CreateFileW(Wide(Path("LOG.TXT")).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(reader.valid());
        EXPECT_THROW(broker.LogMessage("two"), BrokerError);
        EXPECT_EQ(Log().back(), "two");
    }
    broker.LogMessage("three");
    EXPECT_EQ(Read("LOG.TXT"),
              "Ver. 3.1 -  one\r\nVer. 3.1 -  held for a moment\r\nVer. 3.1 -  two\r\nVer. 3.1 -  three\r\n");
}

TEST_F(LogTest, FormDestroySavesTheWholeLogAndAddsNoLine) {
    Start();
    broker.LogMessage("kept");
    Put("LOG.TXT", "changed");
    broker.FormDestroy();
    EXPECT_EQ(Read("LOG.TXT"), "Ver. 3.1 -  kept\r\n");
    EXPECT_EQ(Log().size(), 1u);
}

}  // namespace
