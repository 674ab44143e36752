// What becomes of a served package: deleted, set aside as ".ERR", or passed over until it can be.
#include <windows.h>

#include "core/Broker.h"
#include "base/AnsiText.h"
#include "base/FileSystem.h"
#include "polling/NameMatch.h"

// An accepted package that cannot be deleted, and one whose handler raised (documents
// may exist) that cannot be set aside, are never handed to the server again. A refused
// or unopened package made no documents: if it cannot be set aside it stays, to be
// served again on a later tick.
void TEBroker::DisposeOfPackage(const std::wstring& name, PackageOutcome outcome) {
    switch (outcome) {
    case PackageOutcome::Accepted:
        if (!RemoveListed(FWorkDir + L"\\" + name)) RememberPackage(name, PassedOver::Deletion);
        break;
    case PackageOutcome::Raised:
        if (!SetAsideFailedPackage(name)) RememberPackage(name, PassedOver::SetAside);
        break;
    case PackageOutcome::Refused: SetAsideFailedPackage(name); break;
    }
    ClearInHand();
}

// Only the file name changes: a ".TXT" in the directory's path must not be touched.
bool TEBroker::SetAsideFailedPackage(const std::wstring& name) {
    const std::wstring setAside = FWorkDir + L"\\" + SetAsideName(name);
    FlushLog();
    if (FDirListed ? !ListedAbsent(setAside) : FileExists(setAside)) RemoveListed(setAside);
    if (!RenameFile(FWorkDir + L"\\" + name, setAside)) return false;
    if (FDirListed) FListing.Removed(name);
    NoteWritten(setAside);
    return true;
}
