// A service object in real temporary folders, with a recording fake server and a set clock.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "base/EventLog.h"
#include "core/Broker.h"
#include "support/FakeServer.h"
#include "support/ServiceProcess.h"
#include "support/WorkFolder.h"

// The Event Log's records, "I ", "W " or "E " + text; Records() while the watch's thread runs.
class EventRecorder : public EventLog {
public:
    void Report(EventKind kind, const std::string& text) override {
        std::lock_guard<std::mutex> hold(lock_);
        records.push_back(std::string(1, "IWE"[int(kind)]) + " " + text);
    }
    std::vector<std::string> Records() {
        std::lock_guard<std::mutex> hold(lock_);
        return records;
    }
    std::vector<std::string> records;

private:
    std::mutex lock_;
};

class BrokerTest : public ::testing::Test, public WorkFolder {
protected:
    void SetUp() override;
    void TearDown() override;

    void WriteIni(const std::string& content);  // VQBroker.Ini beside the (pretended) executable
    // FormCreate, on the default settings if none were written; its calls forgotten.
    void Start();

    // The file's bytes, or kNoFile when there is no such file.
    static constexpr char kNoFile[] = "(no file)";
    std::string Contents(const std::string& name) const { return Exists(name) ? Read(name) : kNoFile; }
    // The log lines of this run, each without its "Ver. 3.1 -  " prefix.
    std::vector<std::string> Log() const;
    // The log lines (so trimmed) since the last call; after a new day, the new day's.
    std::vector<std::string> NewLines();

    static std::string Stamp();  // the time stamp of today, as logged
    // One tick's answer to GETLISTAGESTIUNI.TXT (kNoFile when the request stays), then removed.
    std::string ServeOneQuery();
    // The server's calls during one tick of this run, or of a second one.
    std::string CallsOfATick(TEBroker& run) {
        server.calls.clear();
        run.TimerTimer();
        return server.CallsText();
    }

public:
    static LocalTime today;     // what the service's clock says; tests may change it
    static ULONGLONG uptimeMs;  // the milliseconds since the machine started, as the service sees them
    static int creations;       // how many times the service made its server or tried to

protected:
    FakeServer server;
    TEBroker broker;
    EventRecorder* events = nullptr;  // owned by broker
    std::string exeDir;               // with a trailing "\"
    bool iniWritten = false;
    std::string logSeen_;  // the log text as NewLines last saw it
};

// A package of the fixture's month, December 2026, with one order line.
inline const std::string kMonthHeader = "[InfoPachet]\r\nAnLucru=2026\r\nLunaLucru=12\r\n";
inline std::string OrderPackage(int n = 1) { return kMonthHeader + "D;" + std::to_string(n) + "\r\n"; }

// The text of the BrokerError that step raises; empty when it raises none.
std::string ErrorRaisedBy(const std::function<void()>& step);

// A second run of the service on the same folders, as after a restart.
struct SecondRun {
    explicit SecondRun(const TEBroker& first);
    TEBroker broker;
};

void SetReadOnly(const std::string& path, bool readOnly);

// A fresh empty folder under the temporary directory.
std::string MakeTempFolder(const std::string& hint);
void RemoveFolder(const std::string& path);
// The names in a folder (none for a missing one), sorted.
std::vector<std::string> FolderNames(const std::string& path);
