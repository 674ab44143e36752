// The entry points a front end drives, and the start-up and closing handlers of the service.
#include "core/Broker.h"

#include <exception>

#include "VQVersion.h"  // made from the project's version at configure time
#include "base/BrokerError.h"
#include "base/FileSystem.h"
#include "core/BusyScope.h"

namespace {

std::wstring FolderOf(const std::wstring& path) { return path.substr(0, path.find_last_of(L'\\') + 1); }

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
// once the handler is done. A server found gone was released where the request's fate was
// decided, before a box lets ticks run.
template <class Handler>
void TEBroker::RunHandler(Handler handler) {
    try {
        handler();
    } catch (const RequestWarning& warning) {
        LogErrorLine(warning.what());
        ReportError(warning.what(), warning.kind, true);
    } catch (...) {
        ReportError(CurrentErrorText());
    }
    if (FStopRequested && !FBusy && FFrontEnd) FFrontEnd->StopReady();
}

void TEBroker::ReportError(const std::string& text, EventKind kind, bool logged) {
    FEvents->Report(kind, text);
    FRequestWatch.ErrorReported(text);
    if (!FFrontEnd) return;
    if (logged)
        FFrontEnd->ShowLogged(text, kind == EventKind::Warning);
    else
        FFrontEnd->ErrorLeft(text);
}

// The request watch runs first, so that a start-up that hangs is seen and cannot hold a
// stop. Start-up calls the server, which may serve this thread's messages: a stop that
// arrives meanwhile waits for start-up as it would for a request.
void TEBroker::Start() {
    FRequestWatch.Start({VQ_VERSION_TEXT, FForm, FClock, FEvents.get(), FStopOverdue});
    RunHandler([this] {
        BusyScope busy(FBusy);
        FormCreate();
    });
    FEvents->Report(EventKind::Information, "Generator comenzi Velquoria a pornit; directorul de lucru: " +
                                                FWorkDirText);
    FTickAgain = FImmediate;  // at once: it sets up the watch and serves what waited for the start
    ShowServerFailure();
}

void TEBroker::Tick(TickCause cause) {
    // The service's own writes for a request that stays (its answer, LOG.TXT, the
    // journal) wake the directory's watch at once: that request waits for the timer.
    if (cause == TickCause::Change && FLeftInPlace) return;
    FMayReuseListing = cause == TickCause::Again;
    RetryLogSave();
    const bool nested = FBusy;  // a request or the export is still running further down
    FServedInTick = Served::Nothing;
    const ULONGLONG start = FRequestTrace.On() ? MicrosecondsNow() : 0;
    const FileCallCount filesBefore = FileCallsOfThisThread();
    RunHandler([this] { TimerTimer(); });
    if (!nested) FLeftInPlace = FServedInTick == Served::LeftInPlace || FServedInTick == Served::Redone;
    // A request redone waits for the timer: for a server made anew a second later at the
    // earliest, or for an occupied one; so does one that stays for another reason, and the
    // request after a server that went. One disposed of goes on at once only to one that the
    // tick's listing shows waiting.
    FTickAgain = FImmediate && FServedInTick == Served::Disposed && FServer && RequestWaiting();
    // From the listing that found the request to its disposal: microseconds, then the file
    // system's calls and how many of them read the whole directory.
    if (FServedInTick == Served::Disposed && FRequestTrace.On()) {
        const FileCallCount files = FileCallsOfThisThread();
        FRequestTrace.Append(FCurrentRequest + "\t" + std::to_string(MicrosecondsNow() - start) + "\t" +
                             std::to_string(files.calls - filesBefore.calls) + "\t" +
                             std::to_string(files.directoryReads - filesBefore.directoryReads));
    }
}

void TEBroker::ExportBalances() {
    RunHandler([this] { ImportSolduriClick(); });
}

// A server call may serve this thread's messages, so a stop can arrive while a handler
// is still on the stack. Stopping then would take the settings and the server from under
// it: the request or export in hand finishes and is disposed of first.
bool TEBroker::RequestStop() {
    FStopRequested = true;
    FRequestWatch.StopAsked();
    return !FBusy;
}

// Nothing is in hand any more: the request watch gives the orderly stop a bound of its own.
void TEBroker::Stop() {
    FRequestWatch.Closing();
    FormClose();
    try {
        FormDestroy();
    } catch (...) {
        // Nobody is left to tell: the service is going.
    }
    FServer.reset();  // before COM is shut down on this thread
    FServerWaiting.reset();
    FEvents->Report(EventKind::Information, "Generator comenzi Velquoria s-a oprit");
    FRequestWatch.Stop();
}

// A failure of the server steps is reported by them and tried again later.
void TEBroker::FormCreate() {
    FGestiuni.clear();
    LoadSettings();
    ConnectServer();
}

void TEBroker::FormClose() { FGestiuni.clear(); }

// The last save waits a moment for a reader: no later save would bring its lines. What
// the history would have to say is not logged: closing adds no line.
void TEBroker::FormDestroy() { SaveLog(LockWait::UpToASecond); }
