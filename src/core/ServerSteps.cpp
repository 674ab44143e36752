// Start-up's server steps: the server is made and configured as a whole or not at all,
// and tried again while it cannot be, so that no request reaches a server that works in
// the wrong company, and a server that could not start or went away is made anew.
#include <utility>

#include "base/AnsiText.h"
#include "base/BrokerError.h"
#include "base/Text.h"
#include "core/Broker.h"
#include "core/BusyScope.h"
#include "server/DocumentServer.h"
#include "server/ServerFaults.h"
#include "server/ServerList.h"

namespace {

constexpr ULONGLONG kServerRetryMs = 30000;
constexpr char kStartupInHand[] = "pornire server";

}  // namespace

struct TEBroker::ServerFailure {
    std::string text;       // empty when the steps succeeded
    bool raised = false;    // a call raised; otherwise the company was refused
    TextList errorLines;    // the server's own lines for a refused company
    bool occupied = false;  // the server refused a call, or its creation, for now
};

namespace {

// A server released after a fault is made anew a second later at the earliest: a server that
// dies at its first call cannot cost a request its tries, and a backlog its requests, within
// seconds.
constexpr ULONGLONG kNewServerPaceMs = 1000;

}  // namespace

ITallyportObject* TEBroker::Server() {
    FlushLog();  // what was logged before the call is in LOG.TXT before it starts
    if (FFrontEnd) FFrontEnd->ServerCallStarts();
    return FServer.get();
}

// The error carries what the call meant; a server that went away is noted here and released
// once the request is done with it.
void TEBroker::CheckServer(HRESULT hr) {
    if (SUCCEEDED(hr)) return;
    ServerCallError error(OleErrorText(hr, FServer.get(), IID_ITallyportObject), hr, FBooksCall);
    if (RenewsServer(error.fault)) FServerGone = true;
    throw error;
}

// What the call did to the books decides whether the package may be tried again.
void TEBroker::CheckBooksCall(HRESULT hr, LONG ok) {
    FBooksCall = BooksCall::Running;
    CheckServer(hr);
    FBooksCall = ok != 0 ? BooksCall::Accepted : BooksCall::Refused;
}

// A server that failed a step is released before the next try. One that was occupied (an
// application showing a dialog at its start, its class factory included) is kept, nobody is
// told, and its steps are run again at the next tick, for as long as it stays so.
void TEBroker::ConnectServer() {
    FServer.reset();
    FServerRetryAt = UptimeMs() + kServerRetryMs;
    BeginRequest(kStartupInHand);
    ServerFailure failure;
    {
        RequestWatch::InHand inHand(FRequestWatch, kStartupInHand, RequestOutcome::NotCounted);
        failure = RunServerSteps();
    }
    FServerGone = false;
    FServerPaced = false;
    if (failure.text.empty()) {
        ServerStepsSucceeded();
        return;
    }
    if (failure.occupied) {
        FServerWaiting = std::move(FServer);
        FServerRetryAt = 0;
        FRequestWatch.ServerOccupied(true);
        FRequestWatch.ServerSteps(false);
        return;
    }
    FServer.reset();
    ServerStepsFailed(failure);
}

TEBroker::ServerFailure TEBroker::RunServerSteps() {
    FlushLog();  // making a server may serve this thread's messages
    try {
        if (FServerWaiting)
            FServer = std::move(FServerWaiting);
        else
            FServer = FCreateServer ? FCreateServer() : CreateDocumentServer();
        CheckServer(Server()->SetTipIDPartener(MakeBstr("CODINTERN").get()));
        const std::string partnerKind = UpperAscii(FPartnerIdKind);
        if (partnerKind == "CODFISCAL" || partnerKind == "CODEXTERN")
            CheckServer(Server()->SetTipIDPartener(MakeBstr(partnerKind).get()));
        const bool external = UpperAscii(FArticleIdKind) == "CODEXTERN";
        CheckServer(Server()->SetTipIDArticol(MakeBstr(external ? "CODEXTERN" : "CODINTERN").get()));
        if (FCompany == "?") return {};  // the server keeps the company it chose itself
        LONG ok = 0;
        CheckServer(Server()->SetFirmaLucru(MakeBstr(FCompany).get(), &ok));
        return ok != 0 ? ServerFailure{} : CompanyRefused();
    } catch (const ServerCallError& error) {
        return {error.what(), true, {}, error.fault == ServerFault::Occupied};
    } catch (...) {
        return {CurrentErrorText(), true, {}, false};
    }
}

// The server's error lines say why; the text that tells one refusal from another holds them.
TEBroker::ServerFailure TEBroker::CompanyRefused() {
    UniqueVariant list;
    CheckServer(Server()->GetListaErori(list.addressof()));
    ServerFailure failure{"Firma de lucru " + FCompany + " nu poate fi selectata", false,
                          ReadServerList(list.get()).lines};
    for (const std::string& line : failure.errorLines) failure.text += "; " + line;
    return failure;
}

// Each failure is told once: the same failure again at the next try is not. A failure
// that raised is shown by the front end once the steps no longer hold the service busy:
// requests, retries and a close go on under the window's box.
void TEBroker::ServerStepsFailed(const ServerFailure& failure) {
    FRequestWatch.ServerSteps(false);
    if (failure.text == FServerFailure) return;
    FServerFailure = failure.text;
    if (failure.raised) FServerFailureToShow = failure.text;
    for (const std::string& line : failure.errorLines) LogMessage(line);
    FEvents->Report(EventKind::Error, failure.text);
    FRequestWatch.ErrorReported(failure.text);
}

void TEBroker::ShowServerFailure() {
    if (FServerFailureToShow.empty()) return;
    const std::string text = std::exchange(FServerFailureToShow, {});
    if (FFrontEnd) FFrontEnd->ErrorLeft(text);  // the window's box, or the service's log line
}

// A start that went well adds no line; one that went well after failures says so once.
void TEBroker::ServerStepsSucceeded() {
    FRequestWatch.ServerSteps(true);
    FRequestWatch.ServerOccupied(false);
    FNoServerLogged = false;
    if (FServerFailure.empty()) return;
    FServerFailure.clear();
    const std::string text = "Serverul de documente a pornit; cererile sunt servite";
    FEvents->Report(EventKind::Information, text);
    LogStamped(" ... " + text);
}

// Without a ready server every request waits where it is. The server steps are tried
// again every 30 seconds, and a second after the server went away; that second is no outage.
bool TEBroker::ServerReady() {
    if (!FServer && UptimeMs() >= FServerRetryAt) {
        {
            BusyScope busy(FBusy);
            ConnectServer();
        }
        ShowServerFailure();
    }
    if (FServer) return !FStopRequested;  // a stop may have come while the steps ran
    if (!FNoServerLogged && !FServerPaced) {
        FNoServerLogged = true;
        const std::string text = "Serverul de documente nu este disponibil; cererile raman in asteptare";
        FEvents->Report(EventKind::Warning, text);
        LogStamped(" ... " + text);
    }
    return false;
}

// Only the request's own place calls this, once no handler is left to use the server: a tick
// nested in a call serves no request.
void TEBroker::ReleaseServerIfGone() {
    if (!std::exchange(FServerGone, false)) return;
    FServer.reset();
    FServerPaced = true;
    FServerRetryAt = UptimeMs() + kNewServerPaceMs;
    FRequestWatch.ServerSteps(false);
}
