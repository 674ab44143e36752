// The operator's export of the partners' balances to SOLDURI.TXT.
#include "core/Broker.h"
#include "core/BusyScope.h"
#include "base/AnsiText.h"
#include "base/BrokerError.h"
#include "base/FileSystem.h"
#include "base/Text.h"
#include "server/ServerList.h"

namespace {

constexpr char kRefusal[] = "Nu pot procesa acum cererea de extragere solduri parteneri";

}  // namespace

void TEBroker::ImportSolduriClick() {
    // Without a ready server (start-up's server steps have not succeeded) there is nobody to ask.
    if (FBusy || !FServer) {
        LogMessage(kRefusal);
        return;
    }
    BusyScope busy(FBusy);
    RequestWatch::InHand inHand(FRequestWatch, kExportInHand, RequestOutcome::NotCounted);
    BeginRequest(kExportInHand);
    try {
        ExportPartnerBalances();
    } catch (...) {
        if (RequestFailed() != FaultRule::Redo) throw;
        FExportAgain = true;  // the next tick, once the server is ready
        return;
    }
    RequestDone();
}

void TEBroker::ExportPartnerBalances() {
    LocalTime today = Now();
    LONG ok = 0;
    CheckServer(Server()->SetLunaLucru(today.year, today.month, &ok));
    if (ok == 0) {
        ReportServerErrors(true, true);
        return;
    }
    LONG errorCode = 0;
    UniqueVariant list;
    CheckServer(Server()->GetSolduriParteneri(MakeBstr("-1").get(), &errorCode, list.addressof()));
    if (errorCode != 0) {
        ReportServerErrors(true, true);
        return;
    }
    WriteListed(FWorkDir + L"\\SOLDURI.TXT", JoinLines(ReadServerList(list.get()).lines));
    LogStamped(" ... Import solduri parteneri ");
}
