// The eleven queries, one row each, and their handlers.
#include <string_view>

#include "app/Broker.h"
#include "queries/QueryTable.h"

namespace {

using enum QueryParameterKind;
using enum QueryRows;
using Server = ITallyportObject;

constexpr QueryTrace kOrderTrace{
    " ... Citesc informatii bonuri pentru comanda ",
    " ... Functiea GetInfoCmdBon a fost rulata fara eroare ",
    " ... Exceptie la rularea functiei GetInfoCmdBon ... ",
    " ... Eroare la citire informatii bon"};

constexpr QueryTrace kArticleTrace{
    " ... Citesc stoc articol ",
    " ... Functia GetStocArticol a fost rulata fara eroare ",
    " ... Exceptie la rularea functiei GetStocArticol ... ",
    " ... Eroare la citire stoc articol"};

constexpr QueryTrace kDayTrace{" ... Citesc informatii bonuri pentru ziua ", {}, {}, {}};

constexpr QueryKind kQueries[] = {
    // request file             result file              server list call                                  parameter  rows           trace
    {"GETSTOC.TXT",             "STOCURI.TXT",           CallPlain<&Server::GetStocuri>,                   None,      Stock,         nullptr},
    {"GETPRETACHIZSTOC.TXT",    "PRETACHIZSTOCURI.TXT",  CallPlain<&Server::GetPretAchizStocuri>,          None,      PurchasePrice, nullptr},
    {"GETINFOCMDBON.TXT",       "INFOCMDBON.TXT",        CallWithNumber<&Server::GetInfoCmdBon>,           Number,    Unchanged,     &kOrderTrace},
    {"GETSTOCARTICOL.TXT",      "STOCARTICOL.TXT",       CallWithArticle,                                  Article,   Unchanged,     &kArticleTrace},
    {"GETINFOCMDBONURI.TXT",    "INFOCMDBONURI.TXT",     CallWithNumber<&Server::GetInfoCmdBonuri>,        Number,    Unchanged,     &kDayTrace},
    {"GETINFOART.TXT",          "INFOART.TXT",           CallPlain<&Server::GetInfoArticol>,               None,      Catalogue,     nullptr},
    {"GETPRETART.TXT",          "LISTAARTCATPRET.TXT",   CallPlain<&Server::GetListaArtCatPret>,           None,      Unchanged,     nullptr},
    {"GETLISTAGESTIUNI.TXT",    "LISTAGESTIUNI.TXT",     CallPlain<&Server::GetListaGestiuni>,             None,      Unchanged,     nullptr},
    {"GETLISTAPARTENERI.TXT",   "LISTAPARTENERI.TXT",    CallPlain<&Server::GetListaParteneri>,            None,      Unchanged,     nullptr},
    {"GETFACTURICMDONLINE.TXT", "FACTURICMDONLINE.TXT",  CallPlain<&Server::GetFacturiCmdOnline>,          None,      Unchanged,     nullptr},
    {"GETINCASARILUNA.TXT",     "INCASARILUNA.TXT",      CallPlain<&Server::GetIncasariLuna>,              None,      Unchanged,     nullptr},
};

// The row of a request file; a name missing from the table does not compile.
consteval const QueryKind& Query(std::string_view request) {
    for (const QueryKind& query : kQueries)
        if (query.request == request) return query;
    throw "no such query";
}

}  // namespace

void TEBroker::ServeGetStoc() { AnswerQuery(Query("GETSTOC.TXT")); }
void TEBroker::ServeGetPretAchizStoc() { AnswerQuery(Query("GETPRETACHIZSTOC.TXT")); }
void TEBroker::ServeGetInfoCmdBon() { AnswerQuery(Query("GETINFOCMDBON.TXT")); }
void TEBroker::ServeGetStocArticol() { AnswerQuery(Query("GETSTOCARTICOL.TXT")); }
void TEBroker::ServeGetInfoCmdBonuri() { AnswerQuery(Query("GETINFOCMDBONURI.TXT")); }
void TEBroker::ServeGetInfoArt() { AnswerQuery(Query("GETINFOART.TXT")); }
void TEBroker::ServeGetPretArt() { AnswerQuery(Query("GETPRETART.TXT")); }
void TEBroker::ServeGetListaGestiuni() { AnswerQuery(Query("GETLISTAGESTIUNI.TXT")); }
void TEBroker::ServeGetListaParteneri() { AnswerQuery(Query("GETLISTAPARTENERI.TXT")); }
void TEBroker::ServeGetFacturiCmdOnline() { AnswerQuery(Query("GETFACTURICMDONLINE.TXT")); }
void TEBroker::ServeGetIncasariLuna() { AnswerQuery(Query("GETINCASARILUNA.TXT")); }
