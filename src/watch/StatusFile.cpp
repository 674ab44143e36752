// The status file that monitoring reads, STARE.TXT: its text, and what it says about the service.
#include "watch/StatusFile.h"

#include <vector>

#include "base/IniView.h"
#include "base/Text.h"

namespace {

constexpr char kSection[] = "Stare";

void AddValue(std::string& text, std::string_view key, std::string_view value) {
    text.append(key).append("=");
    for (char c : value) text += (c == '\r' || c == '\n') ? ' ' : c;
    text.append("\r\n");
}

}  // namespace

std::string FormatStatusFile(const ServiceStatus& status) {
    std::string text = std::string("[") + kSection + "]\r\n";
    AddValue(text, "Versiune", status.version);
    AddValue(text, "Forma", status.form);
    AddValue(text, "Pornit", status.started);
    if (!status.stopped.empty()) AddValue(text, "Oprit", status.stopped);
    AddValue(text, "Actualizat", status.updated);
    AddValue(text, "Server", status.serverReady ? "D" : "N");
    AddValue(text, "CerereInCurs", status.inHand);
    AddValue(text, "CerereInCursDeLa", status.inHandSince);
    AddValue(text, "CereriServite", std::to_string(status.served));
    AddValue(text, "CereriEsuate", std::to_string(status.failed));
    AddValue(text, "UltimaEroare", status.lastError);
    AddValue(text, "Alerta", status.alert);
    return text;
}

std::string StatusValue(std::string_view content, std::string_view key) {
    const std::vector<std::string_view> lines = TextLineViews(content);
    return IniView(lines).Read(kSection, key, "");
}

StatusVerdict JudgeStatus(std::string_view content, bool fresh) {
    const std::string server = StatusValue(content, "Server");
    if (!fresh || server.empty() || !StatusValue(content, "Oprit").empty()) return StatusVerdict::NotRunning;
    if (server != "D" || !StatusValue(content, "Alerta").empty()) return StatusVerdict::Alert;
    return StatusVerdict::Healthy;
}
