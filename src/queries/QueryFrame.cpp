// The steps every query shares: error file first, the parameter, the working month, one
// list call, the error code test, and the result file written whole at the end.
#include <exception>
#include <string>

#include "app/Broker.h"
#include "app/FileSystem.h"
#include "app/Text.h"
#include "queries/QueryTable.h"
#include "queries/RowRebuild.h"
#include "server/BrokerError.h"
#include "server/ServerList.h"

namespace {

bool Detailed(const QueryKind& query) { return query.trace && query.trace->Detailed(); }

std::string ParameterText(const QueryKind& query, const QueryParameter& parameter) {
    return query.parameter == QueryParameterKind::Article ? parameter.article
                                                          : std::to_string(parameter.number);
}

// A short row is an ordinary application error that ends the query before its file.
std::string ResultBytes(QueryRows rows, const std::vector<std::string>& lines,
                        const TextList& gestiuni, const std::string& articleIdKind) {
    try {
        switch (rows) {
        case QueryRows::Stock: return StockFile(lines, gestiuni);
        case QueryRows::PurchasePrice: return PurchasePriceFile(lines, gestiuni);
        case QueryRows::Catalogue: return CatalogueFile(lines, articleIdKind);
        case QueryRows::Unchanged: break;
        }
        return JoinLines(lines);
    } catch (const ListIndexError& error) {
        throw BrokerError(error.what());
    }
}

}  // namespace

void TEBroker::AnswerQuery(const QueryKind& query) {
    // The poll cycle serves no request without a server; should one get here, it fails
    // like a failing server call instead of calling nobody.
    if (!FServer) throw BrokerError("No document server");
    DeleteFileQuietly(ErrorFilePath());
    QueryParameter parameter = ReadQueryParameter(query);
    if (!SelectQueryMonth(query)) return;
    UniqueVariant list;
    if (CallQueryList(query, parameter, list) != 0) {
        if (query.trace && !query.trace->refused.empty()) LogStamped(std::string(query.trace->refused));
        ReportServerErrors(true, true);
        return;
    }
    ServerList rows = ReadServerList(list.get());
    if (Detailed(query) && rows.isArray)
        LogStamped(" ... Au fost returnate :" + std::to_string(rows.upperBound) + " linii");
    std::string bytes = ResultBytes(query.rows, rows.lines, FGestiuni, FArticleIdKind);
    std::string path = FWorkDir + "\\" + std::string(query.result);
    if (Detailed(query)) LogStamped(" ... Scriu informatiile in " + path);
    WriteFileReplacing(path, bytes);
}

QueryParameter TEBroker::ReadQueryParameter(const QueryKind& query) const {
    QueryParameter parameter;
    if (query.parameter == QueryParameterKind::None) return parameter;
    std::string content = ReadWholeFile(FWorkDir + "\\" + std::string(query.request));
    if (query.parameter == QueryParameterKind::Number) parameter.number = NumberParameter(content);
    else parameter.article = ArticleParameter(content);
    return parameter;
}

bool TEBroker::SelectQueryMonth(const QueryKind& query) {
    LocalTime today = Now();
    if (Detailed(query))
        LogStamped(" ... Setez luna lucru " + std::to_string(today.year) + "_" + std::to_string(today.month));
    LONG ok = 0;
    Check(FServer->SetLunaLucru(today.year, today.month, &ok));
    if (ok != 0) return true;
    if (Detailed(query)) LogStamped(" ... Eroare la setarea lunii de lucru");
    ReportServerErrors(true, true);
    return false;
}

LONG TEBroker::CallQueryList(const QueryKind& query, const QueryParameter& parameter, UniqueVariant& list) {
    LONG errorCode = 0;
    if (query.trace) LogStamped(std::string(query.trace->reading) + ParameterText(query, parameter));
    if (!Detailed(query)) {
        Check(query.list(*FServer.get(), parameter, &errorCode, list.addressof()));
        return errorCode;
    }
    // The traced queries tell in the log how the call went and carry on either way.
    try {
        Check(query.list(*FServer.get(), parameter, &errorCode, list.addressof()));
        LogStamped(std::string(query.trace->ran));
    } catch (const std::exception& error) {
        LogStamped(std::string(query.trace->raised) + error.what());
    }
    LogStamped(" ... Cod Eroare :" + std::to_string(errorCode));
    return errorCode;
}

void TEBroker::LogStamped(const std::string& text) { LogMessage(TimeStamp() + text); }
