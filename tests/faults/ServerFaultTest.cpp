// Every server method failing with an HRESULT in turn: the error leaves the tick, the
// request is disposed of, the busy flag is cleared and the next tick serves again.
#include <windows.h>

#include <algorithm>

#include "base/BrokerError.h"
#include "support/BrokerFixture.h"

namespace {

const char kDocument[] = "[InfoPachet]\r\nAnLucru=2026\r\nLunaLucru=12\r\nD;1\r\n";
const char kRecord[] = "P9;;;Alfa SRL\r\n";

struct FailingCall {
    const char* method;
    const char* request;  // the request that reaches the method
    const char* content;
    HRESULT hr;
};

// Request names are unique, so each row's disposal shows on its own.
constexpr FailingCall kFailingCalls[] = {
    {"SetLunaLucru", "COMANDA_1.TXT", kDocument, E_FAIL},
    {"SetPachet", "COMANDA_2.TXT", kDocument, E_OUTOFMEMORY},
    {"GenComenzi", "COMANDA_3.TXT", kDocument, RPC_E_DISCONNECTED},
    {"GetNrComenzi", "COMANDA_4.TXT", kDocument, E_FAIL},
    {"GetListaErori", "COMANDA_5.TXT", "[InfoPachet]\r\nAnLucru=2026\r\nLunaLucru=12\r\nREFUZ\r\n", E_FAIL},
    {"GenComenziFurnizori", "COMANDAFURN_1.TXT", kDocument, E_FAIL},
    {"GetNrComenziFurnizori", "COMANDAFURN_2.TXT", kDocument, E_FAIL},
    {"GenFacturi", "FACTURA_1.TXT", kDocument, E_FAIL},
    {"GetNrFacturi", "FACTURA_2.TXT", kDocument, E_FAIL},
    {"GenFacturiFurnizori", "FACTURAFURN_1.TXT", kDocument, E_FAIL},
    {"GetNrFacturiFurnizori", "FACTURAFURN_2.TXT", kDocument, E_FAIL},
    {"AddPartener", "PARTENER_1.TXT", kRecord, E_FAIL},
    {"ModiPartener", "MODIPARTENER_1.TXT", kRecord, E_FAIL},
    {"AddArticol", "ARTICOL_1.TXT", kRecord, E_FAIL},
    {"GetStocuri", "GETSTOC.TXT", "", E_FAIL},
    {"GetPretAchizStocuri", "GETPRETACHIZSTOC.TXT", "", E_FAIL},
    {"GetInfoArticol", "GETINFOART.TXT", "", E_FAIL},
    {"GetListaArtCatPret", "GETPRETART.TXT", "", E_FAIL},
    {"GetListaGestiuni", "GETLISTAGESTIUNI.TXT", "", E_FAIL},
    {"GetListaParteneri", "GETLISTAPARTENERI.TXT", "", E_FAIL},
    {"GetInfoCmdBonuri", "GETINFOCMDBONURI.TXT", "5\r\n", E_FAIL},
    {"GetIncasariLuna", "GETINCASARILUNA.TXT", "", E_FAIL},
    {"GetFacturiCmdOnline", "GETFACTURICMDONLINE.TXT", "", E_FAIL},
    {"SetLunaLucru", "GETINCASARILUNA.TXT", "", E_FAIL},
};

bool IsPackage(const std::string& name) { return name.rfind("GET", 0) != 0; }

class ServerFaultTest : public BrokerTest {
protected:
    void SetUp() override {
        BrokerTest::SetUp();
        Start();
        server.refuseMarker = "REFUZ";
        server.lists["GetListaGestiuni"] = FakeList::Of({"DEP;Depozit;DEPOZIT"});
    }
    // The service keeps polling: with the server well again, the next query is answered.
    void ExpectNextQueryAnswered() {
        server.failures.clear();
        Put("GETLISTAGESTIUNI.TXT", "");
        broker.TimerTimer();
        EXPECT_FALSE(Exists("GETLISTAGESTIUNI.TXT"));
        EXPECT_EQ(Read("LISTAGESTIUNI.TXT"), "DEP;Depozit;DEPOZIT\r\n");
    }
};

TEST_F(ServerFaultTest, EachMethodFailingLeavesTheTickAndTheServiceKeepsPolling) {
    for (const FailingCall& call : kFailingCalls) {
        SCOPED_TRACE(std::string(call.method) + " for " + call.request);
        const std::string text = std::string("Eroare simulata in ") + call.method;
        server.failures = {{call.method, {call.hr, text}}};
        Put(call.request, call.content);
        std::string raised;
        try {
            broker.TimerTimer();
        } catch (const BrokerError& error) {
            raised = error.what();
        }
        EXPECT_EQ(raised, text);
        EXPECT_FALSE(broker.FBusy);
        EXPECT_EQ(broker.FCurrentRequest, call.request);
        EXPECT_FALSE(Exists(call.request));
        if (IsPackage(call.request)) {
            // Documents may exist already: set aside, never to be served again.
            std::string name = call.request;
            EXPECT_EQ(Read(name.replace(name.size() - 4, 4, ".ERR")), call.content);
        }
        ExpectNextQueryAnswered();
    }
}

TEST_F(ServerFaultTest, GuardedListCallsLogTheFailureAndAnswerEmpty) {
    for (const char* method : {"GetInfoCmdBon", "GetStocArticol"}) {
        SCOPED_TRACE(method);
        server.failures = {{method, {E_FAIL, "Baza de date nu raspunde"}}};
        const std::string request =
            std::string(method) == "GetInfoCmdBon" ? "GETINFOCMDBON.TXT" : "GETSTOCARTICOL.TXT";
        const std::string result = request.substr(3);
        Put(result, "vechi\r\n");
        Put(request, "1\r\n");
        EXPECT_NO_THROW(broker.TimerTimer());
        EXPECT_FALSE(broker.FBusy);
        EXPECT_FALSE(Exists(request));
        EXPECT_EQ(Read(result), "");
        const auto log = Log();
        EXPECT_NE(std::find(log.begin(), log.end(),
                            Stamp() + " ... Exceptie la rularea functiei " + method +
                                " ... Baza de date nu raspunde"),
                  log.end());
        ExpectNextQueryAnswered();
    }
}

TEST_F(ServerFaultTest, BalanceExportFailingClearsTheBusyFlag) {
    for (const char* method : {"SetLunaLucru", "GetSolduriParteneri"}) {
        SCOPED_TRACE(method);
        server.failures = {{method, {E_FAIL, "Eroare simulata"}}};
        EXPECT_THROW(broker.ImportSolduriClick(), BrokerError);
        EXPECT_FALSE(broker.FBusy);
        EXPECT_FALSE(Exists("SOLDURI.TXT"));
        ExpectNextQueryAnswered();
    }
}

}  // namespace
