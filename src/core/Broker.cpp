// The entry points a front end drives, and the start-up and closing handlers of the service.
#include "core/Broker.h"

#include <exception>

#include "base/AnsiText.h"
#include "base/BrokerError.h"
#include "base/FileSystem.h"
#include "base/Text.h"
#include "core/BusyScope.h"
#include "server/DocumentServer.h"

namespace {

std::string FolderOf(const std::string& path) { return path.substr(0, path.find_last_of('\\') + 1); }

ULONGLONG MicrosecondsNow() {
    LARGE_INTEGER now{}, frequency{};
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    const ULONGLONG ticks = now.QuadPart, perSecond = frequency.QuadPart;
    return ticks / perSecond * 1000000 + ticks % perSecond * 1000000 / perSecond;
}

}  // namespace

TEBroker::TEBroker() : FExeDir(FolderOf(ExecutablePath())), FEvents(std::make_unique<SystemEventLog>()) {}

TEBroker::~TEBroker() = default;

// Every handler goes through here: an error of any kind is reported, never let through
// to the front end's message loop; a stop that waited for the request in hand goes ahead
// once the handler is done.
template <class Handler>
void TEBroker::RunHandler(Handler handler) {
    try {
        handler();
    } catch (...) {
        ReportError(CurrentErrorText());
    }
    if (FStopRequested && !FBusy && FFrontEnd) FFrontEnd->StopReady();
}

void TEBroker::ReportError(const std::string& text) {
    FEvents->Report(EventKind::Error, text);
    if (FFrontEnd) FFrontEnd->ErrorLeft(text);
}

// Start-up calls the server, which may serve this thread's messages: a stop that
// arrives meanwhile waits for start-up as it would for a request.
void TEBroker::Start() {
    RunHandler([this] {
        BusyScope busy(FBusy);
        FormCreate();
    });
    FEvents->Report(EventKind::Information, "Generator comenzi Velquoria a pornit; directorul de lucru: " +
                                                FWorkDir);
    FTickAgain = FImmediate;  // at once: it sets up the watch and serves what waited for the start
}

void TEBroker::Tick() {
    RetryLogSave();
    FServedInTick = false;
    const ULONGLONG start = FRequestTrace.On() ? MicrosecondsNow() : 0;
    RunHandler([this] { TimerTimer(); });
    FTickAgain = FImmediate && FServedInTick;
    // From the search that found the request to its disposal.
    if (FServedInTick && FRequestTrace.On())
        FRequestTrace.Append(FCurrentRequest + "\t" + std::to_string(MicrosecondsNow() - start));
}

void TEBroker::ExportBalances() {
    RunHandler([this] { ImportSolduriClick(); });
}

// A server call may serve this thread's messages, so a stop can arrive while a handler
// is still on the stack. Stopping then would take the settings and the server from under
// it: the request or export in hand finishes and is disposed of first.
bool TEBroker::RequestStop() {
    FStopRequested = true;
    return !FBusy;
}

void TEBroker::Stop() {
    FormClose();
    try {
        FormDestroy();
    } catch (...) {
        // Nobody is left to tell: the service is going.
    }
    FServer.reset();  // before COM is shut down on this thread
    FEvents->Report(EventKind::Information, "Generator comenzi Velquoria s-a oprit");
}

void TEBroker::FormCreate() {
    FGestiuni.clear();
    LoadSettings();
    FServer = FCreateServer ? FCreateServer() : CreateDocumentServer();
    CheckServer(FServer->SetTipIDPartener(MakeBstr("CODINTERN").get()));
    std::string partnerKind = UpperAscii(FPartnerIdKind);
    if (partnerKind == "CODFISCAL" || partnerKind == "CODEXTERN")
        CheckServer(FServer->SetTipIDPartener(MakeBstr(partnerKind).get()));
    bool external = UpperAscii(FArticleIdKind) == "CODEXTERN";
    CheckServer(FServer->SetTipIDArticol(MakeBstr(external ? "CODEXTERN" : "CODINTERN").get()));
    if (FCompany == "?") return;  // the server keeps the company it chose itself
    LONG ok = 0;
    CheckServer(FServer->SetFirmaLucru(MakeBstr(FCompany).get(), &ok));
    if (ok == 0) ReportServerErrors(true, false);
}

void TEBroker::FormClose() { FGestiuni.clear(); }

// The last save waits a moment for a reader: no later save would bring its lines. What
// the history would have to say is not logged: closing adds no line.
void TEBroker::FormDestroy() { SaveLog(LockWait::UpToASecond); }
