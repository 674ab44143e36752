// What a failing server call makes of the request in hand. A request of which nothing can
// have reached the books is left where it is, with one line in the log and no trace of a
// failure, and the next tick hands it to the server again (a new one when the old one went);
// the rules themselves are server/ServerFaults.h's.
#include "base/Text.h"
#include "core/Broker.h"

namespace {

std::string Key(std::string_view name) { return UpperAscii(std::string(name)); }

}  // namespace

void TEBroker::BeginRequest(std::string_view name) {
    FInHandName = name;
    FBooksCall = BooksCall::NotMade;
    FLastFault = ServerFault::Ordinary;
    FFaultRule = FaultRule::Fail;
}

void TEBroker::NoteServerFault(ServerFault fault) {
    FLastFault = fault;
    const auto tries = FRenewedTries.find(Key(FInHandName));
    FFaultRule = RuleFor(fault, FBooksCall, tries == FRenewedTries.end() ? 0 : tries->second);
}

// A busy server is waited for without a line each second: its wait is logged once a request.
bool TEBroker::RedoRequest() {
    if (FFaultRule != FaultRule::Redo) {
        EndRequest();
        return false;
    }
    const bool busy = FLastFault == ServerFault::Busy;
    FRequestWatch.ServerBusy(busy);
    if (!busy) ++FRenewedTries[Key(FInHandName)];
    if (busy && FBusyLoggedFor == FInHandName) return true;
    FBusyLoggedFor = busy ? FInHandName : std::string();
    LogStamped(" ... Serverul de documente nu a raspuns; cererea " + FInHandName +
               " ramane pentru o noua incercare");
    return true;
}

void TEBroker::EndRequest() {
    FRenewedTries.erase(Key(FInHandName));
    FBusyLoggedFor.clear();
    FRequestWatch.ServerBusy(false);
}
