// What "VQBroker.exe /status" tells a person or a monitor: the service's state, and the
// status file that the running copy, window or service, keeps in its working directory.
#include "service/StatusCommand.h"

#include <windows.h>

#include <exception>

#include "base/AnsiText.h"
#include "base/BrokerError.h"
#include "base/FileSystem.h"
#include "base/Owners.h"
#include "base/Settings.h"
#include "core/SingleInstance.h"
#include "service/ServiceHost.h"
#include "watch/StatusFile.h"

namespace {

// The running copy writes the file at least every 10 seconds.
constexpr uint64_t kFreshSeconds = 30;

struct ServiceView {
    std::string text;
    bool stopped = false;  // installed, and the system says it is stopped
};

ServiceView ServiceState() {
    UniqueService manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
    UniqueService service(manager ? OpenServiceW(manager.get(), kServiceName, SERVICE_QUERY_STATUS) : nullptr);
    SERVICE_STATUS status{};
    if (!service || !QueryServiceStatus(service.get(), &status)) {
        const DWORD error = GetLastError();
        return {error == ERROR_SERVICE_DOES_NOT_EXIST
                    ? "nu este instalat"
                    : "nu poate fi interogat (" + SystemMessage(error) + ")"};
    }
    switch (status.dwCurrentState) {
    case SERVICE_RUNNING: return {"instalat, ruleaza"};
    case SERVICE_STOPPED: return {"instalat, oprit", true};
    case SERVICE_START_PENDING: return {"instalat, porneste"};
    case SERVICE_STOP_PENDING: return {"instalat, se opreste"};
    }
    return {"instalat, starea " + std::to_string(status.dwCurrentState)};
}

uint64_t SecondsSince(uint64_t fileTime) {
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    const uint64_t current = (uint64_t(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    return current > fileTime ? (current - fileTime) / 10000000 : 0;
}

std::string WithoutCr(const std::string& text) {
    std::string result;
    for (char c : text)
        if (c != '\r') result += c;
    return result;
}

// Why a status file, however fresh, speaks of a program that has ended; empty when none says so.
// The service's state speaks for the file only when the service wrote it: a window copy runs
// beside an installed service that is stopped.
std::string Ended(const std::string& content, const ServiceView& service) {
    const std::string stopped = StatusValue(content, "Oprit");
    if (!stopped.empty()) return "s-a oprit la " + stopped;
    if (service.stopped && StatusValue(content, "Forma") == "serviciu") return "serviciul este oprit";
    if (!SingleInstance::HeldByACopy()) return "nicio copie nu ruleaza";
    return {};
}

std::string VerdictLine(StatusVerdict verdict, const std::string& content, const std::string& ended) {
    switch (verdict) {
    case StatusVerdict::Healthy: return "Rezultat 0: VQBroker ruleaza, serverul de documente este pregatit.";
    case StatusVerdict::NotRunning:
        return "Rezultat 1: VQBroker nu ruleaza (" +
               (ended.empty() ? "starea nu a fost scrisa de curand" : ended) + ").";
    case StatusVerdict::Alert: break;
    }
    const std::string alert = StatusValue(content, "Alerta");
    return "Rezultat 2: de verificat: " + (alert.empty() ? std::string("serverul de documente nu este pregatit") : alert);
}

}  // namespace

CommandOutcome ReportStatus(const std::wstring& exeDir) {
    const ServiceView service = ServiceState();
    std::string text = "Serviciul VQBroker: " + service.text + ".\n";
    std::string path, content;
    bool fresh = false;
    try {
        const std::wstring ini = exeDir + L"VQBroker.Ini";
        const Settings settings = ReadSettings(FileExists(ini) ? ReadWholeFile(ini) : std::string());
        const std::wstring file = Wide(settings.workDir, TextEncoding::Ansi) + L"\\" + WideAscii(kStatusFileName);
        path = Narrow(file, TextEncoding::Ansi);  // the settings' own text, as the console tells it
        if (const FileState state = StateAt(file); state.found) {
            // Written in the files' encoding; told here in the console's.
            const TextEncoding written = settings.utf8Files ? TextEncoding::Utf8 : TextEncoding::Ansi;
            content = ServiceText(ReadWholeFile(file), written);
            const uint64_t age = SecondsSince(state.lastWrite);
            fresh = age <= kFreshSeconds;
            text += "Fisierul de stare " + path + ", scris acum " + std::to_string(age) + " secunde:\n" +
                    WithoutCr(content);
        } else {
            text += "Fisierul de stare " + path + " nu exista.\n";
        }
    } catch (const std::exception& error) {
        text += "Fisierul de stare " + path + " nu poate fi citit: " + error.what() + "\n";
    }
    const std::string ended = Ended(content, service);
    const StatusVerdict verdict = JudgeStatus(content, fresh && ended.empty());
    return {int(verdict), text + VerdictLine(verdict, content, ended)};
}
