// What becomes of a served package: deleted, set aside as ".ERR", or passed over for good.
#include <windows.h>

#include "app/Broker.h"
#include "app/FileSystem.h"
#include "polling/NameMatch.h"
#include "server/AnsiText.h"

void TEBroker::DisposeOfPackage(const std::string& name, bool accepted) {
    if (!accepted) SetAsideFailedPackage(name);
    else if (!DeleteFileQuietly(FWorkDir + "\\" + name)) RememberPackage(name);
    ClearInHand();
}

// Only the file name changes: a ".TXT" in the directory's path must not be touched.
void TEBroker::SetAsideFailedPackage(const std::string& name) {
    const std::string setAside = FWorkDir + "\\" + SetAsideName(name);
    if (FileExists(setAside)) DeleteFileQuietly(setAside);
    if (!MoveFileW(Wide(FWorkDir + "\\" + name).c_str(), Wide(setAside).c_str())) RememberPackage(name);
}
