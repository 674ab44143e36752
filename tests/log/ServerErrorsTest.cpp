// Reporting the server's error list to the log, the error file, or both.
#include "support/BrokerFixture.h"

#include <windows.h>

#include "base/AnsiText.h"
#include "base/BrokerError.h"

namespace {

using ServerErrorsTest = BrokerTest;

TEST_F(ServerErrorsTest, FlagsChooseLogFileOrBoth) {
    Start();
    server.errors = FakeList::Of({"Linia 2: articol necunoscut", "Linia 5: pret gresit"});
    struct Case {
        bool toLog, toFile;
        size_t logLines;
        bool file;
    } cases[] = {
        {false, false, 0, false},
        {true, false, 2, false},
        {false, true, 0, true},
        {true, true, 2, true},
    };
    for (const auto& c : cases) {
        DeleteFileW(Wide(Path("ERORI.TXT")).c_str());
        size_t before = Log().size();
        broker.ReportServerErrors(c.toLog, c.toFile);
        EXPECT_EQ(Log().size() - before, c.logLines);
        EXPECT_EQ(Exists("ERORI.TXT"), c.file);
        if (c.file) {
            EXPECT_EQ(Read("ERORI.TXT"), "Linia 2: articol necunoscut\r\nLinia 5: pret gresit\r\n");
        }
    }
    EXPECT_EQ(server.CallsText(), "GetListaErori GetListaErori GetListaErori GetListaErori");
    EXPECT_EQ(Log(), (TextList{"Linia 2: articol necunoscut", "Linia 5: pret gresit",
                               "Linia 2: articol necunoscut", "Linia 5: pret gresit"}));
}

TEST_F(ServerErrorsTest, LinesAreLoggedBeforeTheFileIsWritten) {
    Start();
    server.errors = FakeList::Of({"first", "second"});
    // A folder in the error file's place makes the write fail: the lines are logged already.
    ASSERT_TRUE(CreateDirectoryW(Wide(Path("ERORI.TXT")).c_str(), nullptr));
    EXPECT_THROW(broker.ReportServerErrors(true, true), BrokerError);
    EXPECT_EQ(Log(), (TextList{"first", "second"}));
    DWORD attributes = GetFileAttributesW(Wide(Path("ERORI.TXT")).c_str());
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY) << attributes;
}

TEST_F(ServerErrorsTest, NotAnArrayReportsNothingAndAnEmptyArrayWritesAnEmptyFile) {
    Start();
    broker.ReportServerErrors(true, true);
    EXPECT_FALSE(Exists("ERORI.TXT"));
    EXPECT_TRUE(broker.LogText().empty());

    server.errors = FakeList::Of({});
    broker.ReportServerErrors(true, true);
    EXPECT_TRUE(Exists("ERORI.TXT"));
    EXPECT_EQ(Read("ERORI.TXT"), "");
    EXPECT_TRUE(broker.LogText().empty());
}

TEST_F(ServerErrorsTest, VariantElementsAndEightBitTextKeepTheirOrder) {
    Start();
    server.errors = FakeList::OfVariants({"Pre\xFE gre\xBAit", "", "ultima"});
    server.errors.lowerBound = 3;
    broker.ReportServerErrors(true, true);
    EXPECT_EQ(Read("ERORI.TXT"), "Pre\xFE gre\xBAit\r\n\r\nultima\r\n");
    EXPECT_EQ(Log(), (TextList{"Pre\xFE gre\xBAit", "", "ultima"}));
}

TEST_F(ServerErrorsTest, FailingStatusRaisesAndWritesNothing) {
    Start();
    server.errors = FakeList::Of({"x"});
    server.failures["GetListaErori"] = {E_UNEXPECTED, ""};
    EXPECT_THROW(broker.ReportServerErrors(true, true), BrokerError);
    EXPECT_FALSE(Exists("ERORI.TXT"));
    EXPECT_TRUE(broker.LogText().empty());
}

TEST_F(ServerErrorsTest, PrefixingNamesTheFileAfterTheRequest) {
    WriteIni(DefaultIni() + "PrefixareErori=D\r\n");
    Start();
    server.errors = FakeList::Of({"e"});
    broker.ReportServerErrors(false, true);
    EXPECT_TRUE(Exists("ERORI.TXT"));
    broker.FCurrentRequest = "comanda_7.txt";
    broker.ReportServerErrors(false, true);
    EXPECT_TRUE(Exists("ERORI_comanda_7.TXT"));
}

}  // namespace
