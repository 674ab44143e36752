// Order, supplier-order, invoice and supplier-invoice packages: one procedure, four rows.
#include "app/Broker.h"
#include "base/FileSystem.h"
#include "packages/PackageFile.h"
#include "packages/PackageText.h"
#include "base/BrokerError.h"

namespace {

using ServerMethod = HRESULT (STDMETHODCALLTYPE ITallyportObject::*)(LONG*);

struct DocumentPackage {
    PackageKind kind;
    ServerMethod generate;
    ServerMethod count;
    const char* countText;   // logged after the count
};

constexpr DocumentPackage kDocumentPackages[] = {
    {PackageKind::Comanda, &ITallyportObject::GenComenzi, &ITallyportObject::GetNrComenzi,
     " comenzi in baza de date "},
    {PackageKind::ComandaFurn, &ITallyportObject::GenComenziFurnizori,
     &ITallyportObject::GetNrComenziFurnizori, " comenzi furnizori in baza de date "},
    {PackageKind::Factura, &ITallyportObject::GenFacturi, &ITallyportObject::GetNrFacturi,
     " facturi in baza de date "},
    {PackageKind::FacturaFurn, &ITallyportObject::GenFacturiFurnizori,
     &ITallyportObject::GetNrFacturiFurnizori, " facturi furnizori in baza de date "},
};

const DocumentPackage& RowOf(PackageKind kind) {
    for (const DocumentPackage& row : kDocumentPackages)
        if (row.kind == kind) return row;
    return kDocumentPackages[0];
}

}  // namespace

bool TEBroker::ServeComanda(const std::string& path) { return ServeDocumentPackage(path, PackageKind::Comanda); }
bool TEBroker::ServeComandaFurn(const std::string& path) { return ServeDocumentPackage(path, PackageKind::ComandaFurn); }
bool TEBroker::ServeFactura(const std::string& path) { return ServeDocumentPackage(path, PackageKind::Factura); }
bool TEBroker::ServeFacturaFurn(const std::string& path) { return ServeDocumentPackage(path, PackageKind::FacturaFurn); }

// The server keeps the month and the lines from call to call, so the calls come in
// this order within one package.
bool TEBroker::ServeDocumentPackage(const std::string& path, PackageKind kind) {
    const DocumentPackage& row = RowOf(kind);
    DeleteFileQuietly(ErrorFilePath());
    if (!WaitOpenPackage(path, kind)) return false;
    const PackageLines package = ReadPackage(path);
    const WorkingMonth month = ReadWorkingMonth(package.lines());
    LONG ok = 0;
    CheckServer(FServer->SetLunaLucru(month.year, month.month, &ok));
    if (ok == 0) {
        ReportServerErrors(true, true);
        return false;
    }
    const UniqueVariant list = ToServerList(package.lines());
    CheckServer(FServer->SetPachet(list.get()));
    CheckServer((FServer.get()->*row.generate)(&ok));
    if (ok == 0) {
        LogMessage("Pachetul contine erori ");
        ReportServerErrors(false, true);
        return false;
    }
    LONG count = 0;
    CheckServer((FServer.get()->*row.count)(&count));
    LogMessage("Au fost generate " + std::to_string(count) + row.countText);
    return true;
}
