// The one-second tick: the one request it serves, chosen by the fixed precedence.
#include "core/Broker.h"

#include <utility>

#include "core/BusyScope.h"
#include "base/AnsiText.h"
#include "base/BrokerError.h"
#include "base/FileSystem.h"
#include "base/Text.h"
#include "packages/PackageKinds.h"
#include "polling/NameMatch.h"
#include "queries/QueryKinds.h"

struct TEBroker::FoundEntry {
    std::string name;  // the long name, as the directory holds it
    bool directory = false;
};

void TEBroker::TimerTimer() {
    if (FStopRequested) return;  // the front end stops as soon as the request in hand is done
    if (!DirectoryExists(FWorkDir)) {
        OnWorkDirMissing();
        return;
    }
    FInactiveLogged = false;
    KeepWatch();
    if (FBusy) return;  // a request or the export is still running further down this thread
    ForgetGoneRequests();
    const bool journalRead = RecoverInterruptedPackage();
    if (journalRead) RetryPassedOver();
    if (!RedoRecordCleared()) return;
    if (!ServerReady()) return;
    if (std::exchange(FExportAgain, false)) {  // an export that a fault of the server left undone
        ImportSolduriClick();
        return;
    }
    if (journalRead && ServeFirstPackage()) return;
    for (const QueryKind& query : kQueryKinds) {
        if (!FileExists(FWorkDir + "\\" + std::string(query.request))) continue;
        ServeQuery(query);
        return;
    }
}

// True when a package row took the tick. A package that cannot be recorded in the
// journal is left for a later tick, and so is every package behind it.
bool TEBroker::ServeFirstPackage() {
    for (const PackageKind& kind : kPackageKinds) {
        FoundEntry found;
        if (!FindPackage(kind.pattern, found)) continue;
        if (found.directory) return true;  // a directory first in its pattern holds up every later row
        if (!RecordInHand(found.name)) return false;
        ServePackage(found.name, kind);
        return true;
    }
    return false;
}

void TEBroker::OnWorkDirMissing() {
    FWatch.reset();  // the watch of a directory that went would never be signalled for the new one
    if (!FInactiveLogged) {
        FEvents->Report(EventKind::Warning, "Directorul de lucru este inactiv: " + FWorkDir);
        LogStamped(" ... Directorul de lucru este inactiv");
    }
    FInactiveLogged = true;
    RunEmergencyScript();
}

// The first entry of the pattern's search that counts: entries whose long name does
// not match (found through their short name), error-file names and packages already
// passed over are skipped as if the search had not returned them, so that a file never
// to be served cannot hold up the requests of its kind behind it.
bool TEBroker::FindPackage(std::string_view pattern, FoundEntry& found) {
    WIN32_FIND_DATAW entry;
    UniqueFind search(FindFirstFileExW(Wide(FWorkDir + "\\" + std::string(pattern)).c_str(), FindExInfoBasic,
                                       &entry, FindExSearchNameMatch, nullptr, 0));
    if (!search.valid()) return false;
    do {
        const std::wstring wide = entry.cFileName;
        std::string name = Ansi(wide);
        // A name the 8-bit code page cannot spell could not be opened through it either.
        if (Wide(name) != wide || !MatchesPattern(name, pattern) || IsErrorFileName(name)) continue;
        const bool directory = (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if (!directory && IsRemembered(name)) continue;
        found = {std::move(name), directory};
        return true;
    } while (FindNextFileW(search.get(), &entry));
    return false;
}

void TEBroker::ServePackage(const std::string& name, const PackageKind& kind) {
    BusyScope busy(FBusy);
    RequestWatch::InHand inHand(FRequestWatch, name);
    FCurrentRequest = name;
    FRefused = false;
    BeginRequest(name);
    bool accepted = false;
    try {
        accepted = (this->*kind.serve)(FWorkDir + "\\" + name, kind);
    } catch (const InHandNotSaved&) {
        inHand.Ended(RequestOutcome::NotCounted);
        return;  // never handed over: it stays for a later tick
    } catch (...) {
        PackageFailed(name, inHand);  // redone, served with a warning, set aside, or failed
        return;
    }
    RequestDone();
    DisposeOfPackage(name, accepted ? PackageOutcome::Accepted : PackageOutcome::Refused);
    inHand.Ended(accepted ? RequestOutcome::Served : RequestOutcome::Failed);
    FServedInTick = Disposed(name) ? Served::Disposed : Served::LeftInPlace;
}

// Gone, set aside, or never to be served again: a tick at once would not find it. One that
// is still there to be served again (it could not be renamed) waits for the timer instead,
// so that it cannot keep the server busy in a loop.
bool TEBroker::Disposed(const std::string& name) const {
    return !FileExists(FWorkDir + "\\" + name) || IsRemembered(name);
}

void TEBroker::ServeQuery(const QueryKind& query) {
    BusyScope busy(FBusy);
    RequestWatch::InHand inHand(FRequestWatch, query.request);
    FCurrentRequest = query.request;
    FRefused = false;
    BeginRequest(FCurrentRequest);
    // Deleted whether its handler returns or raises, unless it is to be asked again.
    ScopeExit deleteRequest([&] {
        const bool deleted = DeleteFileQuietly(FWorkDir + "\\" + std::string(query.request));
        FServedInTick = deleted ? Served::Disposed : Served::LeftInPlace;
    });
    try {
        (this->*query.serve)(query);
    } catch (...) {
        if (RequestFailed() != FaultRule::Redo) throw;
        deleteRequest.Dismiss();
        inHand.Ended(RequestOutcome::NotCounted);
        FServedInTick = Served::Redone;
        return;
    }
    RequestDone();
    inHand.Ended(FRefused ? RequestOutcome::Failed : RequestOutcome::Served);
}
