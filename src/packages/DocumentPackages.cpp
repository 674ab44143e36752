// Order, supplier-order, invoice and supplier-invoice packages: one procedure, four rows.
#include "core/Broker.h"
#include "base/FileSystem.h"
#include "packages/PackageFile.h"
#include "packages/PackageKinds.h"
#include "packages/PackageText.h"

// The server keeps the month and the lines from call to call, so the calls come in
// this order within one package.
bool TEBroker::ServeDocumentPackage(const std::wstring& path, const PackageKind& kind) {
    const std::unique_ptr<const PackageLines> opened = OpenPackage(path, kind);
    if (!opened) return false;
    const PackageLines& package = *opened;
    const WorkingMonth month = ReadWorkingMonth(package.lines());
    LONG ok = 0;
    CheckServer(Server()->SetLunaLucru(month.year, month.month, &ok));
    if (ok == 0) {
        ReportServerErrors(true, true);
        return false;
    }
    const UniqueVariant list = ToServerList(package);
    CheckServer(Server()->SetPachet(list.get()));
    const HRESULT generated = (Server()->*kind.generate)(&ok);
    CheckBooksCall(generated, ok);
    if (ok == 0) {
        LogMessage("Pachetul contine erori ");
        ReportServerErrors(false, true);
        return false;
    }
    LONG count = 0;
    CheckServer((Server()->*kind.count)(&count));
    LogMessage("Au fost generate " + std::to_string(count) + kind.countText);
    return true;
}
