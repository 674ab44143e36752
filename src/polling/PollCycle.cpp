// The one-second tick: the one request it serves, chosen by the fixed precedence.
#include "core/Broker.h"

#include <iterator>
#include <utility>

#include "core/BusyScope.h"
#include "base/AnsiText.h"
#include "base/BrokerError.h"
#include "base/FileSystem.h"
#include "base/Text.h"
#include "packages/PackageKinds.h"
#include "polling/NameMatch.h"
#include "polling/WorkListing.h"
#include "queries/QueryKinds.h"

// The listing's name for a file the service writes or removes (the journal, an answer, an
// error file) and what the listing says of it.
std::wstring TEBroker::NameIn(const std::wstring& path) const {
    return path.size() > FWorkDir.size() + 1 && path.compare(0, FWorkDir.size(), FWorkDir) == 0 &&
                   path[FWorkDir.size()] == L'\\'
               ? path.substr(FWorkDir.size() + 1)
               : std::wstring();
}

bool TEBroker::ListedAbsent(const std::wstring& path) const {
    const std::wstring name = NameIn(path);
    return FDirListed && !name.empty() && name.find(L'\\') == std::wstring::npos && !FListing.Find(name);
}

ReplaceWays TEBroker::ListedWays(const std::wstring& path, Durability durability) const {
    ReplaceWays ways{durability};
    const std::wstring name = NameIn(path);
    const WorkListing::Entry* entry = FDirListed ? FListing.Find(name) : nullptr;
    ways.noFolderListed = FDirListed && !name.empty() && name.find(L'\\') == std::wstring::npos &&
                          (!entry || !entry->directory);
    return ways;
}

void TEBroker::NoteWritten(const std::wstring& path) {
    if (FDirListed) FListing.Wrote(NameIn(path));
}

bool TEBroker::RemoveListed(const std::wstring& path) {
    FlushLog();
    if (ListedAbsent(path)) return false;  // the listing lacks it: it is not looked up again
    const bool removed = DeleteFileQuietly(path);
    if (removed && FDirListed) FListing.Removed(NameIn(path));
    return removed;
}

namespace {

// The service's 8-bit encoding spells the name: what the log, the journal and the error
// texts say of the file leads back to it. An ASCII name always does.
bool Spelled(std::wstring_view name, std::string& buffer) {
    for (const wchar_t c : name)
        if (c >= 0x80) return Wide(Ansi(name, buffer)) == name;
    return true;
}

}  // namespace

// The working directory once a tick, its entries kept as the system gives them. A name the
// service's 8-bit encoding cannot spell is left out: it would be named wrongly in the log and
// in the journal, and an error file made from it would name another file.
bool TEBroker::ListWorkDir() {
    FListing.Clear();
    FDirListed = false;
    if (FWorkDir.empty() || FWorkDir == L"?") return false;
    std::string buffer;
    const bool listed = ListDirectory(FWorkDir, [&](const WIN32_FIND_DATAW& entry) {
        const std::wstring_view name = entry.cFileName;
        if (!Spelled(name, buffer)) return;
        FListing.Add({std::wstring(name), (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0,
                      (uint64_t(entry.nFileSizeHigh) << 32) | entry.nFileSizeLow,
                      (uint64_t(entry.ftLastWriteTime.dwHighDateTime) << 32) | entry.ftLastWriteTime.dwLowDateTime});
    });
    if (listed) {
        FDirListed = true;
        return true;
    }
    // An error other than the directory's absence (a refusal, a share gone for a moment) says
    // nothing of the directory: it is asked, and a tick that finds it serves nothing.
    FListing.Clear();
    return DirectoryExists(FWorkDir);
}

WorkListing TEBroker::RequestListing() {
    std::vector<std::string_view> patterns, queries;
    for (const PackageKind& kind : kPackageKinds) patterns.push_back(kind.pattern);
    for (const QueryKind& query : kQueryKinds) queries.push_back(query.request);
    return WorkListing(std::move(patterns), std::move(queries));
}

void TEBroker::WriteListed(const std::wstring& path, std::string_view bytes, Durability durability) {
    FlushLog();
    WriteFileReplacing(path, bytes, ListedWays(path, durability));
    NoteWritten(path);
}

void TEBroker::TimerTimer() {
    if (FStopRequested) return;  // the front end stops as soon as the request in hand is done
    if (FBusy) {  // a request or the export is still running further down this thread: its listing stays
        if (!DirectoryExists(FWorkDir)) {
            OnWorkDirMissing();
            return;
        }
        FInactiveLogged = false;
        KeepWatch();
        return;
    }
    ++FLogHeld;
    ScopeExit release([this] {
        --FLogHeld;
        FlushLog();
        FDirListed = false;
    });
    if (ListingStillHolds()) {
        FDirListed = true;
    } else {
        FListingWatched = FWatch.valid() ? FWatchOpened : 0;  // changes from now on are seen
        if (!ListWorkDir()) {
            FListingWatched = 0;
            OnWorkDirMissing();
            return;
        }
    }
    FInactiveLogged = false;
    KeepWatch();
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
    for (size_t q = 0; q < std::size(kQueryKinds); ++q) {
        const WorkListing::Entry* file = FListing.QueryFile(q);
        if (!file) continue;
        ServeQuery(kQueryKinds[q], *file);
        return;
    }
}

// Whether a request waits that the next tick would serve: a tick at once is due for it only.
bool TEBroker::RequestWaiting() const {
    for (size_t q = 0; q < std::size(kQueryKinds); ++q)
        if (FListing.QueryFile(q)) return true;
    for (size_t p = 0; p < std::size(kPackageKinds); ++p)
        if (FListing.FirstOfPattern(p, [&](const WorkListing::Entry& entry) {
                return entry.directory || !IsRemembered(entry.name);
            }))
            return true;
    return false;
}

// True when a package row took the tick. A package that cannot be recorded in the
// journal is left for a later tick, and so is every package behind it. Entries whose long
// name does not match, error-file names and packages already passed over never count, so
// that a file never to be served cannot hold up the requests of its kind behind it; a
// directory first in its pattern holds up every later row.
bool TEBroker::ServeFirstPackage() {
    for (size_t p = 0; p < std::size(kPackageKinds); ++p) {
        const WorkListing::Entry* found = nullptr;
        FListing.FirstOfPattern(p, [&](const WorkListing::Entry& entry) {
            if (!entry.directory && IsRemembered(entry.name)) return false;
            found = &entry;
            return true;
        });
        if (!found) continue;
        if (found->directory) return true;
        const WorkListing::Entry entry = *found;  // the listing changes as the package is disposed of
        if (!RecordInHand({Ansi(entry.name), entry.size, entry.lastWrite})) return false;
        ServePackage(entry.name, kPackageKinds[p]);
        return true;
    }
    return false;
}

void TEBroker::OnWorkDirMissing() {
    FWatch.reset();  // the watch of a directory that went would never be signalled for the new one
    if (!FInactiveLogged) {
        FEvents->Report(EventKind::Warning, "Directorul de lucru este inactiv: " + FWorkDirText);
        LogStamped(" ... Directorul de lucru este inactiv");
    }
    FInactiveLogged = true;
    RunEmergencyScript();
}

void TEBroker::ServePackage(const std::wstring& name, const PackageKind& kind) {
    BusyScope busy(FBusy);
    const std::string text = Ansi(name);
    RequestWatch::InHand inHand(FRequestWatch, text);
    FCurrentRequest = text;
    FRefused = false;
    BeginRequest(text);
    bool accepted = false;
    try {
        accepted = (this->*kind.serve)(FWorkDir + L"\\" + name, kind);
    } catch (const InHandNotSaved&) {
        inHand.Ended(RequestOutcome::NotCounted);
        return;  // never handed over: it stays for a later tick
    } catch (const PackageGone&) {
        ClearInHand();  // not there, as if the listing had not shown it
        inHand.Ended(RequestOutcome::NotCounted);
        return;
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
bool TEBroker::Disposed(const std::wstring& name) const {
    return (FDirListed ? !FListing.Find(name) : !FileExists(FWorkDir + L"\\" + name)) || IsRemembered(name);
}

void TEBroker::ServeQuery(const QueryKind& query, const WorkListing::Entry& file) {
    BusyScope busy(FBusy);
    FRequestFile = file;
    RequestWatch::InHand inHand(FRequestWatch, query.request);
    FCurrentRequest = query.request;
    FRefused = false;
    BeginRequest(FCurrentRequest);
    // Deleted whether its handler returns or raises, unless it is to be asked again.
    ScopeExit deleteRequest([&] {
        const bool deleted = RemoveListed(FWorkDir + L"\\" + FRequestFile.name);
        FRequestFile = {};
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
