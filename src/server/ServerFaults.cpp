// What a failing call of the document server means, by its HRESULT, and what becomes of the
// request that made it.
#include "server/ServerFaults.h"

namespace {

struct FaultRow {
    HRESULT hr;
    ServerFault fault;
};

constexpr FaultRow kFaults[] = {
    {HRESULT_FROM_WIN32(RPC_S_SERVER_UNAVAILABLE), ServerFault::DidNotRun},  // 0x800706BA
    {CO_E_OBJNOTCONNECTED, ServerFault::DidNotRun},                          // 0x800401FD
    {RPC_E_SERVER_DIED_DNE, ServerFault::DidNotRun},                         // 0x80010012
    {HRESULT_FROM_WIN32(RPC_S_CALL_FAILED_DNE), ServerFault::DidNotRun},     // 0x800706BF
    {HRESULT_FROM_WIN32(RPC_S_CALL_FAILED), ServerFault::MayHaveRun},        // 0x800706BE
    {RPC_E_SERVER_DIED, ServerFault::MayHaveRun},                            // 0x80010007
    // An application closed from a dialog that the call showed disconnects its clients: the
    // call may have written before it.
    {RPC_E_DISCONNECTED, ServerFault::MayHaveRun},                           // 0x80010108
    {RPC_E_SERVERFAULT, ServerFault::MayHaveRun},                            // 0x80010105
    {RPC_E_CALL_REJECTED, ServerFault::Occupied},                            // 0x80010001
    {RPC_E_SERVERCALL_RETRYLATER, ServerFault::Occupied},                    // 0x8001010A
};

}  // namespace

ServerFault ServerFaultOf(HRESULT hr) {
    for (const FaultRow& row : kFaults)
        if (row.hr == hr) return row.fault;
    return ServerFault::Ordinary;
}

FaultRule RuleFor(ServerFault fault, BooksCall books, int renewedTries) {
    if (books == BooksCall::Accepted) return FaultRule::ServedWithWarning;
    if (fault == ServerFault::Ordinary || books == BooksCall::Refused) return FaultRule::Fail;
    if (books == BooksCall::Running && fault == ServerFault::MayHaveRun) return FaultRule::SetAsideMayBeBooked;
    if (RenewsServer(fault) && renewedTries + 1 >= kRenewedTriesAtMost) return FaultRule::Fail;
    return FaultRule::Redo;
}
