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

// A record and a query's parameter as the server is given them (as UTF-8 here).
TEST_F(PackageTest, TextIsReadInTheSettingsEncodingOrAfterAMark) {
    const std::string mark = "\xEF\xBB\xBF", name = "\xC8\x98\x65rban \xC8\x9Aurcanu";
    const struct Case {
        std::string setting, content, handed;
        size_t badLine;
    } cases[] = {
        {"UTF8", name, name, 0},
        {"UTF8", mark + name, name, 0},
        {"ANSI", "Caf\xE9", "Caf\xC3\xA9", 0},
        {"ANSI", mark + name, name, 0},
        {"UTF8", "Caf\xE9", "", 1},
        {"ANSI", mark + "\xED\xA0\x80", "", 1},         // a lone surrogate after a mark
        {"UTF8", "A\r\n" + name.substr(0, 1), "A", 2},  // cut inside a letter
        {"UTF8", mark, ";", 0},                         // a mark alone: an empty file
    };
    server.utf8 = true;
    for (const Case& c : cases) {
        WriteIni(DefaultIni("CodificareFisiere=" + c.setting + "\r\n"));
        SecondRun run(broker);
        for (const std::string request : {"ARTICOL_1", "GETSTOCARTICOL"}) {
            const bool query = request[0] == 'G', refused = query ? c.badLine == 1 : c.badLine > 0;
            Put(request + ".TXT", c.content);
            server.calls.clear();
            EXPECT_EQ(ErrorRaisedBy([&] { run.broker.TimerTimer(); }), refused ? NotUtf8Text(c.badLine) : "");
            EXPECT_EQ(Contents("ERORI.TXT"), refused ? NotUtf8Text(c.badLine) + "\r\n" : kNoFile);
            EXPECT_EQ(DeleteFileQuietly(Wide(Path(request + ".ERR"))), refused && !query);
            EXPECT_EQ(server.CallsText(), refused ? ""
                                          : query ? "SetLunaLucru(2026,12) GetStocArticol(" +
                                                        (c.handed == ";" ? "qqqqqq" : c.handed) + ",0)"
                                                  : "AddArticol(" + c.handed + ")");
        }
    }
}
