// Program entry: one program in several forms. Without an argument, the operator's window;
// "/service" under the Service Control Manager; "/install-service" and
// "/uninstall-service" for the portable ZIP, "/service-recovery" for the installer;
// "/export-balances" asks the running copy for the partner balance export; "/status"
// tells a monitor how the running copy is doing.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "app/Console.h"
#include "base/AnsiText.h"
#include "base/AppTitle.h"
#include "base/FileSystem.h"
#include "base/Owners.h"
#include "core/Broker.h"
#include "core/SingleInstance.h"
#include "service/ServiceHost.h"
#include "service/ServiceRecovery.h"
#include "service/ServiceSetup.h"
#include "service/StatusCommand.h"
#include "window/BrokerWindow.h"

namespace {

constexpr char kUsage[] =
    "VQBroker.exe                      fereastra operatorului (pornire din Startup)\n"
    "VQBroker.exe /service             forma pornita de Service Control Manager\n"
    "VQBroker.exe /install-service     instaleaza si porneste serviciul VQBroker (ca administrator)\n"
    "VQBroker.exe /uninstall-service   opreste si dezinstaleaza serviciul VQBroker\n"
    "VQBroker.exe /export-balances     cere copiei care ruleaza exportul soldurilor partenerilor\n"
    "VQBroker.exe /service-recovery    seteaza repornirea serviciului dupa o cadere (installer-ul o ruleaza)\n"
    "VQBroker.exe /status              starea serviciului si fisierul STARE.TXT din directorul de lucru;\n"
    "                                  cod 0 in regula, 1 nu ruleaza, 2 alerta (pentru un monitor sau\n"
    "                                  o sarcina programata)\n";

std::string Title() { return ApplicationTitle(Ansi(ExecutablePath())); }

std::wstring ExecutableFolder() {
    const std::wstring path = ExecutablePath();
    return path.substr(0, path.find_last_of(L'\\') + 1);
}

int Tell(const CommandOutcome& outcome) { return Say(outcome.exitCode, outcome.text); }

int RunWindow(HINSTANCE instance) {
    SingleInstance oneCopy;
    if (!oneCopy.Take(0)) {
        MessageBoxW(nullptr, L"Aplicatia deja lucreaza", Wide(Title()).c_str(), MB_OK);
        return 0;
    }
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    const UniqueComApartment apartment(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    if (!apartment) return 1;
    TEBroker broker;  // EBroker; declared after the apartment, so its server goes first
    BrokerWindow window(broker);
    if (!window.Create(instance, SW_SHOWMINNOACTIVE)) return 1;
    return window.Run();
}

// The window copy is asked as its button would be pressed; the service by its control.
int ExportBalances() {
    if (HWND window = FindWindowW(L"TEBroker", nullptr)) {
        if (HWND button = FindWindowExW(window, nullptr, L"BUTTON", nullptr)) {
            PostMessageW(button, BM_CLICK, 0, 0);
            return Say(0, "Cererea de import solduri parteneri a fost trimisa ferestrei VQBroker.");
        }
    }
    const CommandOutcome outcome = RequestServiceExport();
    if (outcome.exitCode == 1) return Say(1, "VQBroker nu ruleaza (nici fereastra, nici serviciul).");
    return Say(outcome.exitCode, outcome.text);
}

int Run(HINSTANCE instance, const std::vector<std::wstring>& arguments) {
    if (arguments.empty()) return RunWindow(instance);
    const std::wstring& form = arguments[0];
    if (arguments.size() > 1) return Say(1, kUsage);
    if (form == L"/service") {
        if (RunService()) return 0;
        return Say(1, "VQBroker.exe /service este pornit de Service Control Manager, nu de mana.\n"
                      "Instalati serviciul cu: VQBroker.exe /install-service (ca administrator),\n"
                      "sau cu installer-ul: msiexec /i VQBroker-<versiune>-x86.msi SERVICE=1");
    }
    if (form == L"/install-service") return Tell(InstallService(ExecutablePath()));
    if (form == L"/uninstall-service") return Tell(UninstallService());
    if (form == L"/export-balances") return ExportBalances();
    if (form == L"/service-recovery") return Tell(SetInstalledRecoveryActions());
    if (form == L"/status") return Tell(ReportStatus(ExecutableFolder()));
    if (form == L"/?" || form == L"/help" || form == L"-h") return Say(0, kUsage);
    return Say(1, std::string("Argument necunoscut.\n") + kUsage);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    int count = 0;
    LPWSTR* words = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::wstring> arguments;
    for (int i = 1; words && i < count; ++i) arguments.emplace_back(words[i]);
    LocalFree(words);
    return Run(instance, arguments);
}
