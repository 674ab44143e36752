// Partner, partner-change and article packages: one procedure, three rows.
#include "core/Broker.h"
#include "base/AnsiText.h"
#include "base/FileSystem.h"
#include "packages/PackageFile.h"
#include "packages/PackageKinds.h"
#include "packages/PackageText.h"

// Only the first line is a record; the server alone reads its layout.
bool TEBroker::ServeRecordPackage(const std::wstring& path, const PackageKind& kind) {
    const std::unique_ptr<const PackageLines> opened = OpenPackage(path, kind);
    if (!opened) return false;
    const PackageLines& package = *opened;
    const UniqueBstr record = MakeBstr(RecordText(package.lines()), EncodingOf(package));
    LONG ok = 0;
    const HRESULT sent = (Server()->*kind.send)(record.get(), &ok);
    CheckBooksCall(sent, ok);
    if (ok == 0) {
        LogMessage("Pachetul contine erori ");
        ReportServerErrors(false, true);
        return false;
    }
    LogMessage(kind.acceptedText);
    return true;
}
