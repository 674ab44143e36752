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
    std::string text;     // empty when the steps succeeded
    bool raised = false;  // a call raised; otherwise the company was refused
    TextList errorLines;  // the server's own lines for a refused company
    bool busy = false;    // the server refused a call for now
};

// A server that went away is released once the handler is done with it, and made anew.
void TEBroker::CheckServer(HRESULT hr) {
    if (SUCCEEDED(hr)) return;
    const ServerFault fault = ServerFaultOf(hr);
    if (RenewsServer(fault)) FServerGone = true;
    NoteServerFault(fault);
    Check(hr, FServer.get(), IID_ITallyportObject);
}

// What the call did to the books decides whether the package may be tried again.
void TEBroker::CheckBooksCall(HRESULT hr, LONG ok) {
    FBooksCall = BooksCall::Running;
    CheckServer(hr);
    FBooksCall = ok != 0 ? BooksCall::Accepted : BooksCall::Refused;
}

// A server that failed a step is released before the next try. One that was busy (an
// application showing a dialog at its start) is kept, nobody is told, and its steps are run
// again at the next tick, for as long as it stays busy.
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
    if (failure.text.empty()) {
        ServerStepsSucceeded();
        return;
    }
    if (failure.busy) {
        FServerWaiting = std::move(FServer);
        FServerRetryAt = 0;
        FRequestWatch.ServerBusy(true);
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
        CheckServer(Server().SetTipIDPartener(MakeBstr("CODINTERN").get()));
        const std::string partnerKind = UpperAscii(FPartnerIdKind);
        if (partnerKind == "CODFISCAL" || partnerKind == "CODEXTERN")
            CheckServer(Server().SetTipIDPartener(MakeBstr(partnerKind).get()));
        const bool external = UpperAscii(FArticleIdKind) == "CODEXTERN";
        CheckServer(Server().SetTipIDArticol(MakeBstr(external ? "CODEXTERN" : "CODINTERN").get()));
        if (FCompany == "?") return {};  // the server keeps the company it chose itself
        LONG ok = 0;
        CheckServer(Server().SetFirmaLucru(MakeBstr(FCompany).get(), &ok));
        return ok != 0 ? ServerFailure{} : CompanyRefused();
    } catch (...) {
        return {CurrentErrorText(), true, {}, FLastFault == ServerFault::Busy};
    }
}

// The server's error lines say why; the text that tells one refusal from another holds them.
TEBroker::ServerFailure TEBroker::CompanyRefused() {
    UniqueVariant list;
    CheckServer(Server().GetListaErori(list.addressof()));
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
    FRequestWatch.ServerBusy(false);
    FNoServerLogged = false;
    if (FServerFailure.empty()) return;
    FServerFailure.clear();
    const std::string text = "Serverul de documente a pornit; cererile sunt servite";
    FEvents->Report(EventKind::Information, text);
    LogStamped(" ... " + text);
}

// Without a ready server every request waits where it is. The server steps are tried
// again every 30 seconds, and at once after the server went away.
bool TEBroker::ServerReady() {
    if (!FServer && UptimeMs() >= FServerRetryAt) {
        {
            BusyScope busy(FBusy);
            ConnectServer();
        }
        ShowServerFailure();
    }
    if (FServer) return !FStopRequested;  // a stop may have come while the steps ran
    if (!FNoServerLogged) {
        FNoServerLogged = true;
        const std::string text = "Serverul de documente nu este disponibil; cererile raman in asteptare";
        FEvents->Report(EventKind::Warning, text);
        LogStamped(" ... " + text);
    }
    return false;
}

// The request in hand has been dealt with as any failing call; the next one waits for a
// new server.
void TEBroker::DropServer() {
    FServerGone = false;
    FServer.reset();
    FServerRetryAt = 0;
    FRequestWatch.ServerSteps(false);
}
