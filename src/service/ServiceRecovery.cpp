// The service's recovery actions: restarted after a failure, 10 seconds after the first,
// a minute after the second and 5 minutes after each later one; the count starts again
// after a day without one; a stop with an exit code other than 0 counts as a failure.
#include "service/ServiceRecovery.h"

#include <vector>

#include "base/BrokerError.h"
#include "base/Owners.h"
#include "service/ServiceHost.h"

namespace {

constexpr DWORD kResetSeconds = 24 * 60 * 60;
const SC_ACTION kActions[] = {{SC_ACTION_RESTART, 10000}, {SC_ACTION_RESTART, 60000}, {SC_ACTION_RESTART, 300000}};
constexpr DWORD kActionCount = sizeof kActions / sizeof kActions[0];

// The configuration of one kind as the system keeps it; empty when it cannot be read.
std::vector<BYTE> ReadConfig(SC_HANDLE service, DWORD kind) {
    std::vector<BYTE> buffer(1024);
    DWORD needed = 0;
    if (!QueryServiceConfig2W(service, kind, buffer.data(), DWORD(buffer.size()), &needed)) {
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) return {};
        buffer.resize(needed);
        if (!QueryServiceConfig2W(service, kind, buffer.data(), DWORD(buffer.size()), &needed)) return {};
    }
    return buffer;
}

bool ActionsKept(SC_HANDLE service) {
    const std::vector<BYTE> buffer = ReadConfig(service, SERVICE_CONFIG_FAILURE_ACTIONS);
    if (buffer.empty()) return false;
    const auto* kept = reinterpret_cast<const SERVICE_FAILURE_ACTIONSW*>(buffer.data());
    if (kept->dwResetPeriod != kResetSeconds || kept->cActions != kActionCount || !kept->lpsaActions) return false;
    for (DWORD i = 0; i < kActionCount; ++i)
        if (kept->lpsaActions[i].Type != kActions[i].Type || kept->lpsaActions[i].Delay != kActions[i].Delay)
            return false;
    return true;
}

bool FlagKept(SC_HANDLE service) {
    const std::vector<BYTE> buffer = ReadConfig(service, SERVICE_CONFIG_FAILURE_ACTIONS_FLAG);
    return !buffer.empty() &&
           reinterpret_cast<const SERVICE_FAILURE_ACTIONS_FLAG*>(buffer.data())->fFailureActionsOnNonCrashFailures;
}

std::string Because(DWORD error) {
    const std::string text = SystemMessage(error);
    return text.empty() ? "." : ": " + text + ".";
}

}  // namespace

CommandOutcome SetRecoveryActions(SC_HANDLE service) {
    SERVICE_FAILURE_ACTIONSW actions{};
    actions.dwResetPeriod = kResetSeconds;
    actions.cActions = kActionCount;
    actions.lpsaActions = const_cast<SC_ACTION*>(kActions);
    if (!ChangeServiceConfig2W(service, SERVICE_CONFIG_FAILURE_ACTIONS, &actions))
        return {4, "Actiunile de recuperare nu pot fi setate" + Because(GetLastError())};
    SERVICE_FAILURE_ACTIONS_FLAG flag{TRUE};
    const bool flagSet = ChangeServiceConfig2W(service, SERVICE_CONFIG_FAILURE_ACTIONS_FLAG, &flag) != 0;
    const DWORD flagError = flagSet ? 0 : GetLastError();
    if (!ActionsKept(service))
        return {4, "Actiunile de recuperare au fost trimise, dar sistemul nu le-a pastrat: serviciul nu va fi "
                   "repornit automat dupa o cadere."};
    std::string text = "Actiuni de recuperare: repornire dupa 10 secunde, apoi dupa 60 de secunde, apoi dupa 5 minute; "
                       "numaratoarea reluata dupa o zi.";
    if (!flagSet) return {4, text + "\nO oprire cu cod de iesire diferit de 0 nu poate fi numarata ca o cadere" +
                                 Because(flagError)};
    if (!FlagKept(service))
        return {4, text + "\nSistemul nu a pastrat regula ca o oprire cu cod de iesire diferit de 0 este o cadere."};
    return {0, text + " O oprire cu cod de iesire diferit de 0 este numarata ca o cadere."};
}

CommandOutcome SetInstalledRecoveryActions() {
    UniqueService manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
    UniqueService service(manager ? OpenServiceW(manager.get(), kServiceName,
                                                 SERVICE_CHANGE_CONFIG | SERVICE_QUERY_CONFIG | SERVICE_START)
                                  : nullptr);
    if (!service) {
        const DWORD error = GetLastError();
        if (error == ERROR_SERVICE_DOES_NOT_EXIST) return {2, "Serviciul VQBroker nu este instalat."};
        return CommandFailed(3, "Actiunile de recuperare nu pot fi setate", error);
    }
    return SetRecoveryActions(service.get());
}
