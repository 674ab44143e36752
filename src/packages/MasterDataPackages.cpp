// Partner, partner-change and article packages: one procedure, three rows.
#include "app/Broker.h"
#include "base/FileSystem.h"
#include "packages/PackageFile.h"
#include "packages/PackageText.h"
#include "base/AnsiText.h"
#include "base/BrokerError.h"

namespace {

struct RecordPackage {
    PackageKind kind;
    HRESULT (STDMETHODCALLTYPE ITallyportObject::*send)(BSTR record, LONG* ok);
    const char* acceptedText;
};

constexpr RecordPackage kRecordPackages[] = {
    {PackageKind::Partener, &ITallyportObject::AddPartener, "Partener nou generat !"},
    {PackageKind::ModiPartener, &ITallyportObject::ModiPartener, "Partener modificat !"},
    {PackageKind::Articol, &ITallyportObject::AddArticol, "Articol nou generat !"},
};

const RecordPackage& RowOf(PackageKind kind) {
    for (const RecordPackage& row : kRecordPackages)
        if (row.kind == kind) return row;
    return kRecordPackages[0];
}

}  // namespace

bool TEBroker::ServePartener(const std::string& path) { return ServeRecordPackage(path, PackageKind::Partener); }
bool TEBroker::ServeModiPartener(const std::string& path) { return ServeRecordPackage(path, PackageKind::ModiPartener); }
bool TEBroker::ServeArticol(const std::string& path) { return ServeRecordPackage(path, PackageKind::Articol); }

// Only the first line is a record; the server alone reads its layout.
bool TEBroker::ServeRecordPackage(const std::string& path, PackageKind kind) {
    const RecordPackage& row = RowOf(kind);
    DeleteFileQuietly(ErrorFilePath());
    if (!WaitOpenPackage(path, kind)) return false;
    const PackageLines package = ReadPackage(path);
    const UniqueBstr record = MakeBstr(RecordText(package.lines()));
    LONG ok = 0;
    CheckServer((FServer.get()->*row.send)(record.get(), &ok));
    if (ok == 0) {
        LogMessage("Pachetul contine erori ");
        ReportServerErrors(false, true);
        return false;
    }
    LogMessage(row.acceptedText);
    return true;
}
