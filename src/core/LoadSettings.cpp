// Reading "VQBroker.Ini" into the service state at start-up.
#include "core/Broker.h"
#include "base/FileSystem.h"
#include "base/Settings.h"

void TEBroker::LoadSettings() {
    const std::string path = FExeDir + "VQBroker.Ini";
    const Settings settings = ReadSettings(FileExists(path) ? ReadWholeFile(path) : std::string());
    FLog.SetHistory({settings.logHistoryDays, FLogHistoryCap});  // before the first line
    FWorkDir = settings.workDir;
    if (FWorkDir == "?") LogMessage("Nu ai precizat in VQBroker.Ini directorul de lucru");
    FCompany = settings.company;
    if (FCompany == "?") LogMessage("Nu ai precizat in VQBroker.Ini firma de lucru");
    FArticleIdKind = settings.articleIdKind;
    FPartnerIdKind = settings.partnerIdKind;
    FGestiuni.insert(FGestiuni.end(), settings.gestiuni.begin(), settings.gestiuni.end());
    FPrefixErrors = settings.prefixErrors;
    FImmediate = settings.immediate;
    FRequestWatch.Configure(FWorkDir, settings.alertSeconds);
}
