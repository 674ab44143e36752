// The eleven query kinds, one row each, in the order one tick looks for them, after every
// package kind: request and result file, the server's list call, the parameter, how rows
// become lines, what the query logs, and its handler. Adding a kind is one row here.
#pragma once

#include <string>
#include <string_view>

#include "core/Broker.h"
#include "base/AnsiText.h"
#include "server/Tallyport.h"

// The one parameter a request file may carry; only one of the two is used per query.
struct QueryParameter {
    int number = 0;       // order or day number
    std::string article;  // article code
    bool utf8 = false;    // the article code is UTF-8 whatever the service's encoding (a mark said so)

    TextEncoding encoding() const { return utf8 ? TextEncoding::Utf8 : ServiceEncoding(); }
};

enum class QueryParameterKind { None, Number, Article };
enum class QueryRows { Unchanged, Stock, PurchasePrice, Catalogue };

// The time-stamped lines a query logs around its list call; an empty text is not logged.
// A query with a "ran" line logs every step and survives a list call that raises.
struct QueryTrace {
    std::string_view reading;  // before the call, followed by the parameter
    std::string_view ran;      // the call returned normally
    std::string_view raised;   // the call raised; followed by the error's text
    std::string_view refused;  // the error code was not 0

    constexpr bool Detailed() const { return !ran.empty(); }
};

using QueryListCall = HRESULT (*)(ITallyportObject& server, const QueryParameter& parameter, LONG* errorCode,
                                  VARIANT* list);

struct QueryKind {
    std::string_view request;
    std::string_view result;
    QueryListCall list;
    QueryParameterKind parameter;
    QueryRows rows;
    const QueryTrace* trace;  // nullptr: the query logs nothing itself
    void (TEBroker::*serve)(const QueryKind& query) = &TEBroker::AnswerQuery;
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
inline HRESULT CallWithArticle(ITallyportObject& server, const QueryParameter& parameter, LONG* errorCode,
                               VARIANT* list) {
    return server.GetStocArticol(MakeBstr(parameter.article, parameter.encoding()).get(), 0, errorCode, list);
}

inline constexpr QueryTrace kOrderTrace{
    " ... Citesc informatii bonuri pentru comanda ", " ... Functiea GetInfoCmdBon a fost rulata fara eroare ",
    " ... Exceptie la rularea functiei GetInfoCmdBon ... ", " ... Eroare la citire informatii bon"};

inline constexpr QueryTrace kArticleTrace{
    " ... Citesc stoc articol ", " ... Functia GetStocArticol a fost rulata fara eroare ",
    " ... Exceptie la rularea functiei GetStocArticol ... ", " ... Eroare la citire stoc articol"};

inline constexpr QueryTrace kDayTrace{" ... Citesc informatii bonuri pentru ziua ", {}, {}, {}};

namespace query_kinds {
using enum QueryParameterKind;
using enum QueryRows;
using Server = ITallyportObject;

// clang-format off
inline constexpr QueryKind kAll[] = {
    // request file             result file              server list call                                  parameter  rows           trace
    {"GETSTOC.TXT",             "STOCURI.TXT",           CallPlain<&Server::GetStocuri>,                   None,      Stock,         nullptr},
    {"GETPRETACHIZSTOC.TXT",    "PRETACHIZSTOCURI.TXT",  CallPlain<&Server::GetPretAchizStocuri>,          None,      PurchasePrice, nullptr},
    {"GETINFOART.TXT",          "INFOART.TXT",           CallPlain<&Server::GetInfoArticol>,               None,      Catalogue,     nullptr},
    {"GETPRETART.TXT",          "LISTAARTCATPRET.TXT",   CallPlain<&Server::GetListaArtCatPret>,           None,      Unchanged,     nullptr},
    {"GETLISTAGESTIUNI.TXT",    "LISTAGESTIUNI.TXT",     CallPlain<&Server::GetListaGestiuni>,             None,      Unchanged,     nullptr},
    {"GETLISTAPARTENERI.TXT",   "LISTAPARTENERI.TXT",    CallPlain<&Server::GetListaParteneri>,            None,      Unchanged,     nullptr},
    {"GETINFOCMDBON.TXT",       "INFOCMDBON.TXT",        CallWithNumber<&Server::GetInfoCmdBon>,           Number,    Unchanged,     &kOrderTrace},
    {"GETSTOCARTICOL.TXT",      "STOCARTICOL.TXT",       CallWithArticle,                                  Article,   Unchanged,     &kArticleTrace},
    {"GETINFOCMDBONURI.TXT",    "INFOCMDBONURI.TXT",     CallWithNumber<&Server::GetInfoCmdBonuri>,        Number,    Unchanged,     &kDayTrace},
    {"GETINCASARILUNA.TXT",     "INCASARILUNA.TXT",      CallPlain<&Server::GetIncasariLuna>,              None,      Unchanged,     nullptr},
    {"GETFACTURICMDONLINE.TXT", "FACTURICMDONLINE.TXT",  CallPlain<&Server::GetFacturiCmdOnline>,          None,      Unchanged,     nullptr},
};
// clang-format on
}  // namespace query_kinds

inline constexpr const auto& kQueryKinds = query_kinds::kAll;

// The row of a request file; a name missing from the table does not compile.
consteval const QueryKind& QueryKindOf(std::string_view request) {
    for (const QueryKind& query : kQueryKinds)
        if (query.request == request) return query;
    throw "no such query kind";
}
