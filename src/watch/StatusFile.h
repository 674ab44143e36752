// The status file that monitoring reads, STARE.TXT: its text, and what it says about the service.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

inline constexpr char kStatusFileName[] = "STARE.TXT";

// What the status file holds, each field as written (time stamps already formatted).
struct ServiceStatus {
    std::string version;      // Versiune
    std::string form;         // Forma: "fereastra" or "serviciu"
    std::string started;      // Pornit
    std::string updated;      // Actualizat
    bool serverReady = false; // Server: D once start-up's server steps have succeeded
    std::string inHand;       // CerereInCurs: the request (or the export, or start-up) in hand
    std::string inHandSince;  // CerereInCursDeLa
    uint64_t served = 0;      // CereriServite
    uint64_t failed = 0;      // CereriEsuate
    std::string lastError;    // UltimaEroare
    std::string alert;        // Alerta: why monitoring should look; empty when all is well
    std::string stopped{};    // Oprit, after Pornit: in the last file the program writes, when it stopped
};

// The file in the settings file's form: section [Stare], one KEY=value line each, CR LF
// ended. A line end inside a value becomes a blank, so every value stays on its line.
std::string FormatStatusFile(const ServiceStatus& status);

// The value of key in the file's content; empty when there is none.
std::string StatusValue(std::string_view content, std::string_view key);

// What a monitor concludes from the file's content: all is well, the program is not
// running (no file, one that says it stopped, or one not refreshed lately or whose writer is
// gone: fresh is false), or it asks for a look (the server is not ready, or there is an
// alert). The values are the exit codes of /status.
enum class StatusVerdict { Healthy = 0, NotRunning = 1, Alert = 2 };
StatusVerdict JudgeStatus(std::string_view content, bool fresh);
