// Every server method failing with an HRESULT in turn: the error leaves the tick (or, for
// the two guarded list calls, is logged and answered with an empty file), the request is
// disposed of, the busy flag is cleared and the next tick serves again.
#include <windows.h>

#include <algorithm>

#include "support/BrokerFixture.h"

namespace {

const char kDocument[] = "[InfoPachet]\r\nAnLucru=2026\r\nLunaLucru=12\r\nD;1\r\n";
const char kRecord[] = "P9;;;Alfa SRL\r\n";

struct FailingCall {
    const char* method;
    const char* request;  // the request that reaches the method
    const char* content;
    HRESULT hr;
    const char* guardedResult = nullptr;  // a guarded call's result file, emptied
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
    {"GetInfoCmdBon", "GETINFOCMDBON.TXT", "1\r\n", E_FAIL, "INFOCMDBON.TXT"},
    {"GetStocArticol", "GETSTOCARTICOL.TXT", "1\r\n", E_FAIL, "STOCARTICOL.TXT"},
};

bool IsPackage(const std::string& name) { return name.rfind("GET", 0) != 0; }

using ServerFaultTest = BrokerTest;

TEST_F(ServerFaultTest, EachMethodFailingLeavesTheTickAndTheServiceKeepsPolling) {
    Start();
    server.refuseMarker = "REFUZ";
    for (const FailingCall& call : kFailingCalls) {
        SCOPED_TRACE(std::string(call.method) + " for " + call.request);
        const std::string text = std::string("Eroare simulata in ") + call.method;
        server.failures = {{call.method, {call.hr, text}}};
        Put(call.request, call.content);
        if (call.guardedResult) Put(call.guardedResult, "vechi\r\n");
        EXPECT_EQ(ErrorRaisedBy([&] { broker.TimerTimer(); }), call.guardedResult ? "" : text);
        EXPECT_FALSE(broker.FBusy);
        EXPECT_EQ(broker.FCurrentRequest, call.request);
        EXPECT_FALSE(Exists(call.request));
        const TextList log = NewLines();
        if (call.guardedResult) {
            EXPECT_EQ(Read(call.guardedResult), "");
            const std::string said =
                Stamp() + " ... Exceptie la rularea functiei " + call.method + " ... " + text;
            EXPECT_NE(std::find(log.begin(), log.end(), said), log.end());
        } else if (IsPackage(call.request)) {
            // Documents may exist already: set aside, never to be served again.
            std::string name = call.request;
            EXPECT_EQ(Read(name.replace(name.size() - 4, 4, ".ERR")), call.content);
        }
        server.failures.clear();  // the server is well again: the service goes on serving
        EXPECT_EQ(ServeOneQuery(), "DEP;Depozit;DEPOZIT\r\n");
    }
}

}  // namespace
