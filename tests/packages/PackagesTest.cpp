// Every package kind, accepted and refused: calls, log lines, error files and ".ERR" files.
#include "base/FileSystem.h"
#include "base/Utf8.h"
#include "support/BrokerFixture.h"
#include "support/RequestKinds.h"

namespace {

// A record kind sends the first line, blanks kept; a document kind its month and every line.
const char kPackage[] =
    " R;1;Nume ;\r\n[InfoPachet]\r\nAnLucru=2026\r\nLunaLucru=11\r\n;comentariu\r\n\r\nD;1;2\r\n";
const TextList kPackageLines = {
    " R;1;Nume ;", "[InfoPachet]", "AnLucru=2026", "LunaLucru=11", ";comentariu", "", "D;1;2"};

class PackagesTest : public BrokerTest, public ::testing::WithParamInterface<ExpectedPackage> {
protected:
    void Serve(bool accepted) {
        Start();
        server.ok[GetParam().call] = accepted;
        server.errors = FakeList::Of({"Articol necunoscut: X1", "Cantitate lipsa"});
        Put("ERORI.TXT", "left by an earlier request");
        Put(GetParam().File(12), kPackage);
        broker.TimerTimer();
    }
    std::string HandedOver() const {
        const ExpectedPackage& kind = GetParam();
        if (!kind.Documents()) return kind.call + std::string("( R;1;Nume ;)");
        return "SetLunaLucru(2026,11) SetPachet(7) " + std::string(kind.call);
    }
};

// Their log lines, their deletion and a refused one's ".ERR" are the load test's.
TEST_P(PackagesTest, AcceptedPackageIsHandedOverAndLeavesNoErrorFile) {
    const ExpectedPackage& kind = GetParam();
    Serve(true);
    EXPECT_EQ(server.CallsText(), HandedOver() + (kind.Documents() ? std::string(" ") + kind.count : ""));
    EXPECT_EQ(server.package, kind.Documents() ? kPackageLines : TextList{});
    EXPECT_FALSE(Exists("ERORI.TXT"));
}

TEST_P(PackagesTest, RefusedPackageWritesTheServersErrorsToTheErrorFile) {
    Serve(false);
    EXPECT_EQ(server.CallsText(), HandedOver() + " GetListaErori");
    EXPECT_EQ(Read("ERORI.TXT"), "Articol necunoscut: X1\r\nCantitate lipsa\r\n");
}

auto KindName = [](const auto& info) { return std::string(info.param.call); };
INSTANTIATE_TEST_SUITE_P(EveryKind, PackagesTest, ::testing::ValuesIn(kExpectedPackages), KindName);

class DocumentPackagesTest : public PackagesTest {};

TEST_P(DocumentPackagesTest, RefusedMonthSendsTheErrorsToLogAndFile) {
    server.ok["SetLunaLucru"] = 0;
    Serve(true);
    EXPECT_EQ(server.CallsText(), "SetLunaLucru(2026,11) GetListaErori");
    EXPECT_EQ(Log(),
              (TextList{"", "", Stamp() + GetParam().opened, "Articol necunoscut: X1", "Cantitate lipsa"}));
    EXPECT_EQ(Read("ERORI.TXT"), "Articol necunoscut: X1\r\nCantitate lipsa\r\n");
    EXPECT_EQ(Read(GetParam().prefix + std::string("12.ERR")), kPackage);  // set aside
}

// The four document kinds share the procedure: orders stand for them.
INSTANTIATE_TEST_SUITE_P(Orders, DocumentPackagesTest, ::testing::Values(kExpectedPackages[3]), KindName);

using PackageTest = BrokerTest;

// A record is the first line up to its end or a NUL, ";" when there is none.
TEST_F(PackageTest, WhatEmptyAndBlankPackagesSend) {
    using namespace std::string_literals;
    struct Case {
        const char* file;
        std::string content;
        const char* calls;
    } cases[] = {
        {"COMANDA_1.TXT", ""s, "SetLunaLucru(0,0) SetPachet(0) GenComenzi GetNrComenzi"},
        {"PARTENER_1.TXT", ""s, "AddPartener(;)"},
        {"PARTENER_2.TXT", "\0P;1"s, "AddPartener(;)"},
        {"PARTENER_3.TXT", "\r\n"s, "AddPartener()"},
        {"PARTENER_4.TXT", "P;1\rP;2\nP;3"s, "AddPartener(P;1)"},
    };
    Start();
    for (const auto& c : cases) {
        server.calls.clear();
        Put(c.file, c.content);
        broker.TimerTimer();
        EXPECT_EQ(server.CallsText(), c.calls) << c.file;
    }
}

// Named after the package up to its first ".TXT" in any case, in place of an older one.
TEST_F(PackageTest, PrefixedErrorFileIsNamedAfterThePackage) {
    WriteIni(DefaultIni("PrefixareErori=D\r\n"));
    Start();
    server.ok["GenFacturiFurnizori"] = 0;
    server.errors = FakeList::Of({});
    Put("ERORI_FACTURAFURN_9.TX.TXT", "old");
    Put("FacturaFurn_9.Tx.Txt", "");
    broker.TimerTimer();
    EXPECT_EQ(FolderNames(workDir),
              (TextList{"ERORI_FacturaFurn_9.Tx.TXT", "FacturaFurn_9.Tx.ERR", "LOG.TXT"}));
    EXPECT_EQ(Read("ERORI_FacturaFurn_9.Tx.TXT"), "");
}

}  // namespace

// What the sender wrote, as the server is given it (as UTF-8 here), under either setting: a
// package's lines, a query's parameter; bytes that are not UTF-8 reach no server.
TEST_F(PackageTest, TextIsReadInTheSettingsEncodingOrAfterAMark) {
    using namespace std::string_literals;
    const std::string mark = "\xEF\xBB\xBF", name = "\xC8\x98" "erban \xC8\x9Aurcanu";
    struct Case {
        const char* setting;
        std::string body;
        std::string handed;  // its first line's wide text
        size_t badLine;      // within the body
    } cases[] = {
        {"UTF8", name, name, 0},
        {"UTF8", mark + name, name, 0},
        {"ANSI", "Caf\xE9", "Caf\xC3\xA9", 0},
        {"ANSI", mark + name, name, 0},
        {"UTF8", "Caf\xE9", "", 1},
        {"utf8", "A\r\n\xC0\xAF", "A", 2},                 // an overlong "/"
        {"UTF8", "A\r\rB\n\xE0\x80\xAF", "A", 4},          // overlong too
        {"UTF8", "\xED\xA0\x80", "", 1},                   // a lone surrogate
        {"ANSI", mark + "A\n\xF4\x90\x80\x80", "A", 2},    // past U+10FFFF, after a mark
        {"UTF8", "A\r\n" + name.substr(0, 1), "A", 2},    // cut inside a letter
        {"UTF8", mark, "", 0},                              // a mark alone
    };
    server.utf8 = true;
    for (const Case& c : cases) {
        WriteIni(DefaultIni("CodificareFisiere="s + c.setting + "\r\n"));
        SecondRun run(broker);
        const bool marked = c.body.starts_with(mark);
        Put("ARTICOL_1.TXT", c.body);
        Put("COMANDA_1.TXT", (marked ? mark : "") + kMonthHeader + c.body.substr(marked ? 3 : 0));
        Put("GETSTOCARTICOL.TXT", c.body);
        for (const char* request : {"ARTICOL_1", "COMANDA_1", "GETSTOCARTICOL"}) {
            server.calls.clear();
            const size_t badLine = c.badLine + (request[1] == 'O' ? 3 : 0);
            const bool refused = request[0] == 'G' ? c.badLine == 1 : c.badLine != 0;
            EXPECT_EQ(ErrorRaisedBy([&] { run.broker.TimerTimer(); }), refused ? NotUtf8Text(badLine) : "");
            // A mark alone is an empty file: the record ";", no line after the header, the default.
            const std::string handed = c.body != mark ? c.handed : request[0] == 'A' ? ";" : request[0] == 'C' ? "" : "qqqqqq";
            if (refused) {
                EXPECT_EQ(server.CallsText(), "") << c.body;
                EXPECT_EQ(Read("ERORI.TXT"), NotUtf8Text(badLine) + "\r\n");
                EXPECT_TRUE(request[0] == 'G' || Exists(request + ".ERR"s)) << request;
            } else if (request[1] == 'O') {
                EXPECT_EQ(server.package.size() > 3 ? server.package[3] : "", handed) << c.body;
            } else {
                EXPECT_EQ(server.calls.back(), (request[0] == 'A' ? "AddArticol(" + handed + ")"
                                                                   : "GetStocArticol(" + handed + ",0)")) << c.body;
            }
        }
        for (const char* set : {"ARTICOL_1.ERR", "COMANDA_1.ERR", "ERORI.TXT"}) DeleteFileQuietly(Path(set));
    }
}
