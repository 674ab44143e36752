// Registering and removing the service and its event source, and asking it for the export.
#include "service/ServiceSetup.h"

#include <windows.h>

#include "base/AnsiText.h"
#include "base/BrokerError.h"
#include "base/EventLog.h"
#include "base/Owners.h"
#include "service/ServiceHost.h"
#include "service/ServiceRecovery.h"

namespace {

constexpr wchar_t kDisplayName[] = L"Generator comenzi Velquoria";
constexpr wchar_t kDescription[] =
    L"Schimba documente si informatii cu aplicatia de contabilitate prin fisiere puse in directorul de lucru "
    L"(VQBroker.Ini, cheia DirectorLucru).";
constexpr ULONGLONG kStateWaitMs = 120000;

// Polls until the service is in state, its process gone too when it stops; false after
// the time is up.
bool WaitForState(SC_HANDLE service, DWORD state) {
    const ULONGLONG start = GetTickCount64();
    SERVICE_STATUS_PROCESS status{};
    DWORD needed = 0;
    DWORD processId = 0;
    while (QueryServiceStatusEx(service, SC_STATUS_PROCESS_INFO, reinterpret_cast<BYTE*>(&status), sizeof status,
                                &needed)) {
        if (status.dwProcessId) processId = status.dwProcessId;
        if (status.dwCurrentState == state) {
            if (state != SERVICE_STOPPED || !processId) return true;
            UniqueHandle process(OpenProcess(SYNCHRONIZE, FALSE, processId));
            return !process || WaitForSingleObject(process.get(), DWORD(kStateWaitMs)) == WAIT_OBJECT_0;
        }
        if (state == SERVICE_RUNNING && status.dwCurrentState == SERVICE_STOPPED) return false;
        if (GetTickCount64() - start > kStateWaitMs) return false;
        Sleep(200);
    }
    return false;
}

bool RegisterEventSource(const std::wstring& exePath) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, kEventSourceKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return false;
    const DWORD types = EVENTLOG_ERROR_TYPE | EVENTLOG_WARNING_TYPE | EVENTLOG_INFORMATION_TYPE;
    const bool done =
        RegSetValueExW(key, L"EventMessageFile", 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>(exePath.c_str()),
                       DWORD((exePath.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS &&
        RegSetValueExW(key, L"TypesSupported", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&types),
                       sizeof types) == ERROR_SUCCESS;
    RegCloseKey(key);
    return done;
}

// A service still starting cannot take a stop yet, nor one already stopping another one.
bool StopWhenItCan(SC_HANDLE service, DWORD& error) {
    const ULONGLONG start = GetTickCount64();
    for (;;) {
        SERVICE_STATUS status{};
        if (ControlService(service, SERVICE_CONTROL_STOP, &status)) return true;
        error = GetLastError();
        if (error == ERROR_SERVICE_NOT_ACTIVE) return true;
        if (error != ERROR_SERVICE_CANNOT_ACCEPT_CTRL || GetTickCount64() - start > kStateWaitMs) return false;
        Sleep(200);
    }
}

}  // namespace

CommandOutcome CommandFailed(int exitCode, const std::string& what, DWORD error) {
    if (error == ERROR_ACCESS_DENIED)
        return {exitCode, what + ": lipsesc drepturile de administrator (porniti comanda ca administrator)."};
    return {exitCode, what + ": " + SystemMessage(error)};
}

CommandOutcome InstallService(const std::wstring& exe) {
    UniqueService manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CREATE_SERVICE));
    if (!manager) return CommandFailed(3, "Serviciul VQBroker nu poate fi instalat", GetLastError());
    const std::wstring commandLine = L"\"" + exe + L"\" /service";
    UniqueService service(CreateServiceW(manager.get(), kServiceName, kDisplayName, SERVICE_ALL_ACCESS,
                                         SERVICE_WIN32_OWN_PROCESS, SERVICE_AUTO_START, SERVICE_ERROR_NORMAL,
                                         commandLine.c_str(), nullptr, nullptr, nullptr, nullptr, nullptr));
    if (!service) {
        const DWORD error = GetLastError();
        if (error == ERROR_SERVICE_EXISTS) return {2, "Serviciul VQBroker este deja instalat."};
        return CommandFailed(3, "Serviciul VQBroker nu poate fi instalat", error);
    }
    SERVICE_DESCRIPTIONW description{const_cast<wchar_t*>(kDescription)};
    ChangeServiceConfig2W(service.get(), SERVICE_CONFIG_DESCRIPTION, &description);
    std::string text = "Serviciul VQBroker a fost instalat (pornire automata): " + Ansi(commandLine) + "\n";
    if (!RegisterEventSource(exe)) text += "Sursa VQBroker din Event Log nu a putut fi inregistrata.\n";
    text += SetRecoveryActions(service.get()).text + "\n";  // a system that keeps none is said, not fatal
    if (!StartServiceW(service.get(), 0, nullptr))
        return CommandFailed(4, text + "Serviciul nu a putut fi pornit", GetLastError());
    if (!WaitForState(service.get(), SERVICE_RUNNING))
        return {4, text + "Serviciul nu a ajuns in starea RUNNING; vezi Event Log si LOG.TXT."};
    return {0, text + "Serviciul ruleaza."};
}

CommandOutcome UninstallService() {
    UniqueService manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
    if (!manager) return CommandFailed(3, "Serviciul VQBroker nu poate fi dezinstalat", GetLastError());
    UniqueService service(OpenServiceW(manager.get(), kServiceName, SERVICE_STOP | SERVICE_QUERY_STATUS | DELETE));
    if (!service) {
        const DWORD error = GetLastError();
        if (error == ERROR_SERVICE_DOES_NOT_EXIST) return {2, "Serviciul VQBroker nu este instalat."};
        return CommandFailed(3, "Serviciul VQBroker nu poate fi dezinstalat", error);
    }
    DWORD error = 0;
    if (!StopWhenItCan(service.get(), error)) return CommandFailed(3, "Serviciul VQBroker nu poate fi oprit", error);
    if (!WaitForState(service.get(), SERVICE_STOPPED)) return {4, "Serviciul VQBroker nu s-a oprit la timp."};
    if (!DeleteService(service.get())) return CommandFailed(3, "Serviciul VQBroker nu poate fi sters", GetLastError());
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, kEventSourceKey);
    return {0, "Serviciul VQBroker a fost oprit si dezinstalat; VQBroker.Ini si directorul de lucru au ramas."};
}

CommandOutcome RequestServiceExport() {
    UniqueService manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
    UniqueService service(
        manager ? OpenServiceW(manager.get(), kServiceName, SERVICE_USER_DEFINED_CONTROL | SERVICE_QUERY_STATUS)
                : nullptr);
    SERVICE_STATUS status{};
    if (!service || !QueryServiceStatus(service.get(), &status) || status.dwCurrentState != SERVICE_RUNNING)
        return {1, "Serviciul VQBroker nu ruleaza."};
    if (!ControlService(service.get(), kExportControl, &status))
        return CommandFailed(3, "Cererea nu a putut fi trimisa serviciului VQBroker", GetLastError());
    return {0, "Cererea de import solduri parteneri a fost trimisa serviciului VQBroker."};
}
