// Reporting the server's error list to the log, the error file, or both.
#include "support/BrokerFixture.h"

#include <windows.h>

#include "base/AnsiText.h"
#include "base/FileSystem.h"

namespace {

using ServerErrorsTest = BrokerTest;

TEST_F(ServerErrorsTest, FlagsChooseLogFileOrBoth) {
    Start();
    server.errors = FakeList::Of({"Linia 2: articol necunoscut", "Linia 5: pret gresit"});
    const TextList lines = server.errors.lines;
    for (bool toLog : {false, true}) {
        for (bool toFile : {false, true}) {
            SCOPED_TRACE(std::string(toLog ? "to the log" : "not to the log") +
                         (toFile ? ", to the file" : ""));
            DeleteFileQuietly(Path("ERORI.TXT"));
            broker.ReportServerErrors(toLog, toFile);
            EXPECT_EQ(NewLines(), toLog ? lines : TextList{});
            EXPECT_EQ(Contents("ERORI.TXT"),
                      toFile ? "Linia 2: articol necunoscut\r\nLinia 5: pret gresit\r\n" : kNoFile);
        }
    }
    EXPECT_EQ(server.CallsText(), "GetListaErori GetListaErori GetListaErori GetListaErori");
}

// What reaches the log and ERORI.TXT from each kind of answer; the lines are logged before
// the file is written, so a file that cannot be written loses none of them.
TEST_F(ServerErrorsTest, EachAnswerGivesItsLinesAndFile) {
    Start();
    struct Case {
        const char* behaviour;
        FakeList errors;
        HRESULT failure;
        bool folderInTheWay;
        const char* file;
        TextList logged;
    } cases[] = {
        {"no array reports nothing", {}, S_OK, false, kNoFile, {}},
        {"an empty array writes an empty file", FakeList::Of({}), S_OK, false, "", {}},
        {"VARIANT elements and 8-bit text keep their order",
         {FakeList::Variants, {"Pre\xFE gre\xBAit", "", "ultima"}, 3}, S_OK, false,
         "Pre\xFE gre\xBAit\r\n\r\nultima\r\n", {"Pre\xFE gre\xBAit", "", "ultima"}},
        {"a failing call raises and writes nothing", FakeList::Of({"x"}), E_UNEXPECTED, false, kNoFile, {}},
        {"a file that cannot be written raises after the lines are logged", FakeList::Of({"first", "second"}),
         S_OK, true, kNoFile, {"first", "second"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.behaviour);
        server.errors = c.errors;
        server.failures.clear();
        if (FAILED(c.failure)) server.failures["GetListaErori"] = {c.failure, ""};
        if (c.folderInTheWay) CreateDirectoryW(Wide(Path("ERORI.TXT")).c_str(), nullptr);
        const std::string raised = ErrorRaisedBy([&] { broker.ReportServerErrors(true, true); });
        EXPECT_EQ(raised.empty(), !FAILED(c.failure) && !c.folderInTheWay) << raised;
        EXPECT_EQ(NewLines(), c.logged);
        EXPECT_EQ(Contents("ERORI.TXT"), c.file);
        EXPECT_EQ(DirectoryExists(Path("ERORI.TXT")), c.folderInTheWay);
        DeleteFileQuietly(Path("ERORI.TXT"));
    }
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
