// What a failing server call makes of the request in hand. The rule is read from the error
// (server/ServerFaults.h) in one place, which also keeps a redone request's tries and releases
// a server found gone. A request of which nothing can have reached the books is left where it
// is, with one line in the log and no trace of a failure, and the next tick hands it to the
// server again (a new one when the old one went).
#include "base/AnsiText.h"
#include "base/BrokerError.h"
#include "base/FileSystem.h"
#include "base/Text.h"
#include "core/Broker.h"

namespace {

constexpr char kMayBeBooked[] =
    "Serverul de documente s-a oprit in timpul generarii; documentele pachetului pot fi deja generate. "
    "Verificati inainte de a-l trimite din nou.";
constexpr char kNotCounted[] = "Documentele pachetului au fost generate; numarul lor nu poate fi citit: ";

std::string Key(std::string_view name) { return UpperAscii(std::string(name)); }

}  // namespace

void TEBroker::BeginRequest(std::string_view name) {
    FInHandName = name;
    FBooksCall = BooksCall::NotMade;
}

FaultRule TEBroker::RuleOf(const ServerCallError& error) const {
    const auto tries = FRenewedTries.find(Key(FInHandName));
    return RuleFor(error.fault, error.books, tries == FRenewedTries.end() ? 0 : tries->second);
}

// An error that is no failing server call fails its request, unless the books accepted it.
FaultRule TEBroker::RequestFailed() {
    FaultRule rule = FBooksCall == BooksCall::Accepted ? FaultRule::ServedWithWarning : FaultRule::Fail;
    ServerFault fault = ServerFault::Ordinary;
    try {
        throw;
    } catch (const ServerCallError& error) {
        rule = RuleOf(error);
        fault = error.fault;
    } catch (...) {
    }
    if (rule == FaultRule::Redo)
        KeepForRedo(fault);
    else
        ForgetRequest(FInHandName);
    ReleaseServerIfGone();
    return rule;
}

void TEBroker::RequestDone() {
    ForgetRequest(FInHandName);
    ReleaseServerIfGone();
}

// An occupied server is waited for without a line each second: its wait is logged once a request.
void TEBroker::KeepForRedo(ServerFault fault) {
    const bool occupied = fault == ServerFault::Occupied;
    FRequestWatch.ServerOccupied(occupied);
    if (!occupied) ++FRenewedTries[Key(FInHandName)];
    if (occupied && FOccupiedLoggedFor == FInHandName) return;
    FOccupiedLoggedFor = occupied ? FInHandName : std::string();
    LogStamped(" ... Serverul de documente nu a raspuns; cererea " + FInHandName +
               " ramane pentru o noua incercare");
}

void TEBroker::ForgetRequest(const std::string& name) {
    FRenewedTries.erase(Key(name));
    if (FOccupiedLoggedFor.empty() || Key(FOccupiedLoggedFor) != Key(name)) return;
    FOccupiedLoggedFor.clear();
    FRequestWatch.ServerOccupied(false);
}

// A request taken back by its sender takes its tries and its wait with it: a later request
// of the same name starts afresh, and the alert of an occupied server ends with it.
void TEBroker::ForgetGoneRequests() {
    std::vector<std::string> gone;
    for (const auto& [name, tries] : FRenewedTries)
        if (!StillThere(name)) gone.push_back(name);
    if (!FOccupiedLoggedFor.empty() && !StillThere(FOccupiedLoggedFor)) gone.push_back(FOccupiedLoggedFor);
    for (const std::string& name : gone) ForgetRequest(name);
}

bool TEBroker::StillThere(const std::string& name) const {
    if (Key(name) == Key(kExportInHand)) return FExportAgain;
    // The name as the log gives it, which the listing made sure spells the file's.
    const std::wstring file = Wide(name);
    return FDirListed ? FListing.Find(file) != nullptr : FileExists(FWorkDir + L"\\" + file);
}

// A redone package whose record still stands in the journal would be set aside after a crash,
// as one cut short in a call is: it waits where it is, and nothing is served, until the record
// is cleared (each tick tries the journal again, a second apart).
bool TEBroker::RedoRecordCleared() {
    if (FRedoUncleared && !FJournalWriteFailed) FRedoUncleared = false;
    return !FRedoUncleared;
}

// Called in the catch of the package's handler. What is left to report is raised once the
// package is disposed of, to be reported when it is no longer in hand.
void TEBroker::PackageFailed(const std::wstring& name, RequestWatch::InHand& inHand) {
    const std::string error = CurrentErrorText();
    const FaultRule rule = RequestFailed();
    if (rule == FaultRule::Redo) {  // nothing of it reached the books: it stays, no longer in hand
        FRedoUncleared = !ClearInHand();
        inHand.Ended(RequestOutcome::NotCounted);
        FServedInTick = Served::Redone;
        return;
    }
    if (rule == FaultRule::ServedWithWarning) {
        DisposeOfPackage(name, PackageOutcome::Accepted);
        inHand.Ended(RequestOutcome::Served);
    } else {
        SetAsideRaisedPackage(name, rule == FaultRule::SetAsideMayBeBooked);
    }
    FServedInTick = Disposed(name) ? Served::Disposed : Served::LeftInPlace;
    if (rule == FaultRule::ServedWithWarning) throw RequestWarning(Ansi(name) + ": " + kNotCounted + error, EventKind::Warning);
    if (rule == FaultRule::SetAsideMayBeBooked) throw RequestWarning(Ansi(name) + ": " + kMayBeBooked, EventKind::Error);
    throw;
}

// Documents may already exist: the package is set aside, never served again. When the server
// went away after they may have been made, its error file says so, as the warning does.
void TEBroker::SetAsideRaisedPackage(const std::wstring& name, bool mayBeBooked) {
    try {
        if (mayBeBooked) WriteListed(ErrorFilePath(), JoinLines({kMayBeBooked}));
    } catch (...) {
        // The warning itself still reaches the operator.
    }
    try {
        DisposeOfPackage(name, PackageOutcome::Raised);
    } catch (...) {
        // The handler's error is the one the operator must see.
    }
}
