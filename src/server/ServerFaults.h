// What a failing call of the document server means, by its HRESULT, and what becomes of the
// request that made it: one table, and the rules that follow from it, read in one place.
#pragma once

#include <windows.h>

#include <string>

#include "base/BrokerError.h"

enum class ServerFault {
    Ordinary,    // the server ran the call and failed it: the request fails as the call did
    DidNotRun,   // the call never reached a server: it was gone before the call
    MayHaveRun,  // the server went away during the call, or raised inside it: it may have done its work
    Occupied,    // the server refused the call for now (a dialog, work of its own); it is kept
};

ServerFault ServerFaultOf(HRESULT hr);

// After these the server is released and made anew before the next request.
constexpr bool RenewsServer(ServerFault fault) {
    return fault == ServerFault::DidNotRun || fault == ServerFault::MayHaveRun;
}

// How far a package got with its one call that changes the books (a Gen... call, AddPartener,
// AddArticol, ModiPartener). A query and the export never make one.
enum class BooksCall { NotMade, Running, Accepted, Refused };

enum class FaultRule {
    Fail,                 // as any failing call: set aside, or the error reported
    Redo,                 // left in place for the next tick, with no trace of a failure
    SetAsideMayBeBooked,  // its documents may be in the books: set aside with a warning
    ServedWithWarning,    // its documents are in the books: disposed of as served, the error a warning
};

// Tries that made a server anew (did not run, may have run) count; an occupied server is
// waited for however long it stays so. A request that changed nothing is redone until its
// third such try.
inline constexpr int kRenewedTriesAtMost = 3;

// The rule for a request whose call met fault, after renewedTries earlier tries of it that
// made the server anew. A request is redone only when nothing of it can have changed the
// books; once its books call may have run, a fault of the server sets it aside, and once that
// call has accepted it, nothing sets it aside.
FaultRule RuleFor(ServerFault fault, BooksCall books, int renewedTries);

// A failing call of the document server (its creation included): the readable text, and what
// the failure means, taken from the table when it is raised.
class ServerCallError : public BrokerError {
public:
    ServerCallError(const std::string& text, HRESULT hr, BooksCall books)
        : BrokerError(text), hr(hr), fault(ServerFaultOf(hr)), books(books) {}
    HRESULT hr;
    ServerFault fault;
    BooksCall books;  // what the request's books call may have done when the call failed
};
