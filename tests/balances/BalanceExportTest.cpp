// The operator's export of partner balances.
#include "support/BrokerFixture.h"

namespace {

using BalanceExportTest = BrokerTest;

// Each click writes SOLDURI.TXT or the error file, and keeps the other.
TEST_F(BalanceExportTest, EachClickExportsTodaysMonthOrRefuses) {
    WriteIni(DefaultIni("PrefixareErori=D\r\n"));
    Start();
    server.errors = FakeList::Of({"Luna inchisa"});
    const std::string exported = Stamp() + " ... Import solduri parteneri ",
                      refusal = "Nu pot procesa acum cererea de extragere solduri parteneri";
    struct Case {
        const char* behaviour;
        FakeList list = {};
        LocalTime today = BrokerTest::today;
        LONG monthOk = 1, listError = 0;
        const char* failing = "";  // fails with "Server oprit"
        bool busy = false, noServer = false;
        std::string calls = "SetLunaLucru(2026,12) GetSolduriParteneri(-1)";
        std::string balances = "earlier";  // SOLDURI.TXT
        TextList logged = {};
    } cases[] = {
        {
            .behaviour = "VARIANT elements are written",
            .list = FakeList::OfVariants({"P1;1"}),
            .balances = "P1;1\r\n",
            .logged = {exported},
        },
        {
            .behaviour = "no array writes an empty file",
            .balances = "",
            .logged = {exported},
        },
        {
            .behaviour = "an empty array writes an empty file",
            .list = FakeList::Of({}),
            .balances = "",
            .logged = {exported},
        },
        {
            .behaviour = "a request in progress refuses the click and keeps its busy flag",
            .busy = true,
            .calls = "",
            .logged = {refusal},
        },
        {
            .behaviour = "no server refuses the click",
            .noServer = true,
            .calls = "",
            .logged = {refusal},
        },
        {
            .behaviour = "a closed month goes to the log and the error file",
            .monthOk = 0,
            .calls = "SetLunaLucru(2026,12) GetListaErori",
            .logged = {"Luna inchisa"},
        },
        {
            .behaviour = "an error code of the list goes to the log and the error file",
            .listError = 4,
            .calls = "SetLunaLucru(2026,12) GetSolduriParteneri(-1) GetListaErori",
            .logged = {"Luna inchisa"},
        },
        {
            .behaviour = "a failing list call raises, the busy flag cleared",
            .failing = "GetSolduriParteneri",
        },
        {
            .behaviour = "a failing month call raises, the busy flag cleared",
            .failing = "SetLunaLucru",
            .calls = "SetLunaLucru(2026,12)",
        },
        {
            .behaviour = "31 December exports December",
            .list = FakeList::Of({"P1;120,50", "P2;-3"}),
            .today = {2026, 12, 31, 23, 59, 58},
            .balances = "P1;120,50\r\nP2;-3\r\n",
            .logged = {"31.12.2026 23:59:58  ... Import solduri parteneri "},
        },
        {
            .behaviour = "1 January exports January of the new year",
            .today = {2027, 1, 1, 0, 0, 1},
            .calls = "SetLunaLucru(2027,1) GetSolduriParteneri(-1)",
            .balances = "",
            .logged = {"01.01.2027 00:00:01  ... Import solduri parteneri "},
        },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.behaviour);
        today = c.today;
        server.calls.clear();
        server.ok["SetLunaLucru"] = c.monthOk;
        server.errorCode["GetSolduriParteneri"] = c.listError;
        server.lists["GetSolduriParteneri"] = c.list;
        server.failures.clear();
        if (*c.failing) server.failures[c.failing] = {E_FAIL, "Server oprit"};
        broker.FBusy = c.busy;
        broker.FServer = c.noServer ? ComRef<ITallyportObject>() : server.Ref();
        broker.FCurrentRequest = "GETSTOC.TXT";
        Put("SOLDURI.TXT", "earlier");
        Put("ERORI_GETSTOC.TXT", "earlier");
        EXPECT_EQ(ErrorRaisedBy([&] { broker.ImportSolduriClick(); }), *c.failing ? "Server oprit" : "");
        EXPECT_EQ(server.CallsText(), c.calls);
        EXPECT_EQ(Read("SOLDURI.TXT"), c.balances);
        EXPECT_EQ(Read("ERORI_GETSTOC.TXT"), c.monthOk == 0 || c.listError ? "Luna inchisa\r\n" : "earlier");
        EXPECT_EQ(NewLines(), c.logged);
        EXPECT_EQ(broker.FBusy, c.busy);
    }
}

}  // namespace
