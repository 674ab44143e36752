// What tells the eleven queries apart: request and result file, the server's list call,
// the parameter, how rows become lines, and what the query logs.
#pragma once

#include <string>
#include <string_view>

#include "base/AnsiText.h"
#include "server/Tallyport.h"

// The one parameter a request file may carry; only one of the two is used per query.
struct QueryParameter {
    int number = 0;          // order or day number
    std::string article;     // article code
};

enum class QueryParameterKind { None, Number, Article };
enum class QueryRows { Unchanged, Stock, PurchasePrice, Catalogue };

// The time-stamped lines a query logs around its list call; an empty text is not logged.
// A query with a "ran" line logs every step and survives a list call that raises.
struct QueryTrace {
    std::string_view reading;   // before the call, followed by the parameter
    std::string_view ran;       // the call returned normally
    std::string_view raised;    // the call raised; followed by the error's text
    std::string_view refused;   // the error code was not 0

    constexpr bool Detailed() const { return !ran.empty(); }
};

using QueryListCall = HRESULT (*)(ITallyportObject& server, const QueryParameter& parameter,
                                  LONG* errorCode, VARIANT* list);

struct QueryKind {
    std::string_view request;
    std::string_view result;
    QueryListCall list;
    QueryParameterKind parameter;
    QueryRows rows;
    const QueryTrace* trace;    // nullptr: the query logs nothing itself
};

template <auto Method>
HRESULT CallPlain(ITallyportObject& server, const QueryParameter&, LONG* errorCode, VARIANT* list) {
    return (server.*Method)(errorCode, list);
}

template <auto Method>
HRESULT CallWithNumber(ITallyportObject& server, const QueryParameter& parameter, LONG* errorCode,
                       VARIANT* list) {
    return (server.*Method)(parameter.number, errorCode, list);
}

// The server's second argument is always 0.
inline HRESULT CallWithArticle(ITallyportObject& server, const QueryParameter& parameter,
                               LONG* errorCode, VARIANT* list) {
    return server.GetStocArticol(MakeBstr(parameter.article).get(), 0, errorCode, list);
}
