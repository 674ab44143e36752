// Reading "VQBroker.Ini" into the service state at start-up.
#include "core/Broker.h"
#include "base/AnsiText.h"
#include "base/FileSystem.h"
#include "base/Settings.h"

namespace {

// The settings file is ANSI whatever the encoding it names: its texts, and the folder
// found before it was read, are brought to the service's encoding before anything uses them.
void ToServiceText(std::string& text) { text = ServiceText(text, TextEncoding::Ansi); }

}  // namespace

void TEBroker::LoadSettings() {
    SetServiceEncoding(TextEncoding::Ansi);
    const std::string path = FExeDir + "VQBroker.Ini";
    Settings settings = ReadSettings(FileExists(path) ? ReadWholeFile(path) : std::string());
    SetServiceEncoding(settings.utf8Files ? TextEncoding::Utf8 : TextEncoding::Ansi);
    for (std::string* text :
         {&FExeDir, &settings.workDir, &settings.company, &settings.articleIdKind, &settings.partnerIdKind})
        ToServiceText(*text);
    for (std::string& code : settings.gestiuni) ToServiceText(code);
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
