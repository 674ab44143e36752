// The steps every query shares: error file first, the parameter, the working month, one
// list call, the error code test, and the result file written whole at the end.
#include <exception>
#include <string>
#include <string_view>

#include "core/Broker.h"
#include "base/BrokerError.h"
#include "base/FileSystem.h"
#include "base/Utf8.h"
#include "queries/QueryKinds.h"
#include "queries/RowRebuild.h"
#include "server/ServerList.h"

namespace {

bool Detailed(const QueryKind& query) { return query.trace && query.trace->Detailed(); }

std::string ParameterText(const QueryKind& query, const QueryParameter& parameter) {
    if (query.parameter != QueryParameterKind::Article) return std::to_string(parameter.number);
    return ServiceText(parameter.article, parameter.encoding());
}

// Rebuilds the answer as it is read, row by row, into one buffer.
class ResultRows final : public ServerListRows {
public:
    ResultRows(QueryRows rows, const TextList& gestiuni, const std::string& articleIdKind, std::string buffer)
        : rows_(rows),
          gestiuni_(gestiuni),
          externalKeyFirst_(ExternalKeyFirst(articleIdKind)),
          file_(std::move(buffer)) {}

    // In the system's single-byte code page a text has as many bytes as UTF-16 units.
    void Begin(size_t count, size_t wideLength) override {
        Rebuild([&] { file_.Reserve(count, wideLength); });
    }

    void Row(std::string_view row) override {
        Rebuild([&] {
            switch (rows_) {
            case QueryRows::Stock: file_.AddStockRow(row, gestiuni_); break;
            case QueryRows::PurchasePrice: file_.AddPurchasePriceRow(row, gestiuni_); break;
            case QueryRows::Catalogue: file_.AddCatalogueRow(row, externalKeyFirst_); break;
            case QueryRows::Unchanged: file_.AddUnchangedRow(row); break;
            }
        });
    }

    // A short row is an ordinary application error that ends the query before its file.
    const std::string& Bytes() const {
        try {
            if (failure_) std::rethrow_exception(failure_);
        } catch (const ListIndexError& error) {
            throw BrokerError(error.what());
        }
        return file_.bytes();
    }
    std::string TakeBuffer() { return file_.TakeBytes(); }

private:
    // A failed rebuild stops the rebuilding but not the reading: an answer that cannot
    // be read reports that first, as when it was read whole before any row was rebuilt.
    template <class Step>
    void Rebuild(Step step) {
        if (failure_) return;
        try {
            step();
        } catch (...) {
            failure_ = std::current_exception();
        }
    }

    QueryRows rows_;
    const TextList& gestiuni_;
    bool externalKeyFirst_;
    ResultFile file_;
    std::exception_ptr failure_;
};

}  // namespace

void TEBroker::AnswerQuery(const QueryKind& query) {
    // The poll cycle serves no request without a server; should one get here, it fails
    // like a failing server call instead of calling nobody.
    if (!FServer) throw BrokerError("No document server");
    RemoveListed(ErrorFilePath());
    QueryParameter parameter = ReadQueryParameter(query);
    if (!SelectQueryMonth(query)) return;
    UniqueVariant list;
    if (CallQueryList(query, parameter, list) != 0) {
        if (query.trace && !query.trace->refused.empty()) LogStamped(std::string(query.trace->refused));
        ReportServerErrors(true, true);
        return;
    }
    ResultRows result(query.rows, FGestiuni, FArticleIdKind, std::move(FAnswerBuffer));
    const ServerList rows = ReadServerList(list.get(), result);
    if (Detailed(query) && rows.isArray)
        LogStamped(" ... Au fost returnate :" + std::to_string(rows.upperBound) + " linii");
    const std::string& bytes = result.Bytes();
    if (Detailed(query)) LogStamped(" ... Scriu informatiile in " + FWorkDirText + "\\" + std::string(query.result));
    WriteListed(FWorkDir + L"\\" + WideAscii(query.result), bytes);
    FAnswerBuffer = result.TakeBuffer();
}

QueryParameter TEBroker::ReadQueryParameter(const QueryKind& query) {
    QueryParameter parameter;
    if (query.parameter == QueryParameterKind::None) return parameter;
    // The request file as the listing gave it; a file gone since then is not there.
    std::string content;
    if (FRequestFile.name.empty()) {
        content = ReadWholeFile(FWorkDir + L"\\" + WideAscii(query.request));
    } else {
        const std::wstring path = FWorkDir + L"\\" + FRequestFile.name;
        const UniqueFile file(OpenPassingLocks(path, GENERIC_READ, FILE_SHARE_READ));
        if (!file.valid()) ThrowFileError("Cannot open file", path);
        content = ReadOpenFile(file.get(), path, FRequestFile.size);
    }
    const RequestText request = ReadRequestText(content, ServiceEncoding() == TextEncoding::Utf8);
    if (request.badLine == 1) RefuseText(1);  // the parameter's line; the server is not called
    if (query.parameter == QueryParameterKind::Number)
        parameter.number = NumberParameter(request.text);
    else
        parameter.article = ArticleParameter(request.text);
    parameter.utf8 = request.utf8;
    return parameter;
}

bool TEBroker::SelectQueryMonth(const QueryKind& query) {
    LocalTime today = Now();
    if (Detailed(query))
        LogStamped(" ... Setez luna lucru " + std::to_string(today.year) + "_" + std::to_string(today.month));
    LONG ok = 0;
    CheckServer(Server()->SetLunaLucru(today.year, today.month, &ok));
    if (ok != 0) return true;
    if (Detailed(query)) LogStamped(" ... Eroare la setarea lunii de lucru");
    ReportServerErrors(true, true);
    return false;
}

LONG TEBroker::CallQueryList(const QueryKind& query, const QueryParameter& parameter, UniqueVariant& list) {
    LONG errorCode = 0;
    if (query.trace) LogStamped(std::string(query.trace->reading) + ParameterText(query, parameter));
    if (!Detailed(query)) {
        CheckServer(query.list(*Server(), parameter, &errorCode, list.addressof()));
        return errorCode;
    }
    // The traced queries tell in the log how the call went and carry on either way, unless
    // the server's fault leaves the query to be asked again.
    try {
        CheckServer(query.list(*Server(), parameter, &errorCode, list.addressof()));
        LogStamped(std::string(query.trace->ran));
    } catch (const ServerCallError& error) {
        if (RuleOf(error) != FaultRule::Fail) throw;
        LogStamped(std::string(query.trace->raised) + error.what());
    }
    LogStamped(" ... Cod Eroare :" + std::to_string(errorCode));
    return errorCode;
}
