// Reading "VQBroker.Ini" into the service state at start-up.
#include "core/Broker.h"
#include "base/AnsiText.h"
#include "base/FileSystem.h"
#include "base/Settings.h"

namespace {

// The settings file is ANSI whatever the encoding it names: its texts are brought to the
// service's encoding before anything uses them, and the working directory to wide text.
void ToServiceText(std::string& text) { text = ServiceText(text, TextEncoding::Ansi); }

}  // namespace

void TEBroker::LoadSettings() {
    SetServiceEncoding(TextEncoding::Ansi);
    const std::wstring path = FExeDir + L"VQBroker.Ini";
    Settings settings = ReadSettings(FileExists(path) ? ReadWholeFile(path) : std::string());
    SetServiceEncoding(settings.utf8Files ? TextEncoding::Utf8 : TextEncoding::Ansi);
    for (std::string* text :
         {&settings.company, &settings.articleIdKind, &settings.partnerIdKind})
        ToServiceText(*text);
    for (std::string& code : settings.gestiuni) ToServiceText(code);
    FLog.SetHistory({settings.logHistoryDays, FLogHistoryCap});  // before the first line
    FWorkDir = Wide(settings.workDir, TextEncoding::Ansi);
    FWorkDirText = Ansi(FWorkDir);
    if (FWorkDir == L"?") LogMessage("Nu ai precizat in VQBroker.Ini directorul de lucru");
    FCompany = settings.company;
    if (FCompany == "?") LogMessage("Nu ai precizat in VQBroker.Ini firma de lucru");
    FArticleIdKind = settings.articleIdKind;
    FPartnerIdKind = settings.partnerIdKind;
    FGestiuni.insert(FGestiuni.end(), settings.gestiuni.begin(), settings.gestiuni.end());
    FPrefixErrors = settings.prefixErrors;
    FImmediate = settings.immediate;
    FRequestWatch.Configure(FWorkDir, settings.alertSeconds);
}
