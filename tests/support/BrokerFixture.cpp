// A service object in real temporary folders, with a fake server and a fixed today.
#include "support/BrokerFixture.h"

#include <windows.h>

#include <algorithm>
#include <atomic>

#include "base/AnsiText.h"
#include "base/BrokerError.h"
#include "base/FileSystem.h"
#include "base/Owners.h"
#include "base/Text.h"
#include "base/TimeStamp.h"

namespace {

FakeServer* gServer = nullptr;

ComRef<ITallyportObject> CreateFake() {
    ++BrokerTest::creations;
    return gServer->Ref();
}

}  // namespace

LocalTime BrokerTest::today = {2026, 12, 7, 9, 5, 3};
ULONGLONG BrokerTest::uptimeMs = 0;
int BrokerTest::creations = 0;

std::string BrokerTest::Stamp() { return FormatTimeStamp(today, ":"); }

std::string MakeTempFolder(const std::string& hint) {
    static std::atomic<int> counter{0};
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    std::string base = Ansi(temp);
    // Test programs run side by side in prefixes of their own, whose process ids are often
    // alike, and the service test finds its server's process by its folder's name among all
    // of the machine's: the counter at the first folder tells this process's folders apart.
    static const unsigned long long tag = [] {
        LARGE_INTEGER now{};
        QueryPerformanceCounter(&now);
        return static_cast<unsigned long long>(now.QuadPart) % 1000000;
    }();
    for (;;) {
        std::string path = base + "vq_" + hint + "_" + std::to_string(GetCurrentProcessId()) + "_" +
                           std::to_string(tag) + "_" + std::to_string(counter++);
        if (CreateDirectoryW(Wide(path).c_str(), nullptr)) return path;
    }
}

void RemoveFolder(const std::string& path) {
    for (const std::string& name : FolderNames(path)) {
        const std::wstring full = Wide(path + "\\" + name);
        if (GetFileAttributesW(full.c_str()) & FILE_ATTRIBUTE_DIRECTORY) {
            RemoveFolder(path + "\\" + name);
        } else {
            SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileW(full.c_str());
        }
    }
    RemoveDirectoryW(Wide(path).c_str());
}

std::string ErrorRaisedBy(const std::function<void()>& step) {
    try {
        step();
    } catch (const BrokerError& error) {
        return error.what();
    }
    return {};
}

SecondRun::SecondRun(const TEBroker& first) {
    broker.FExeDir = first.FExeDir;
    broker.FCreateServer = first.FCreateServer;
    broker.FClock = first.FClock;
    broker.FormCreate();
}

void SetReadOnly(const std::string& path, bool readOnly) {
    SetFileAttributesW(Wide(path).c_str(), readOnly ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_NORMAL);
}

std::vector<std::string> FolderNames(const std::string& path) {
    std::vector<std::string> names;
    WIN32_FIND_DATAW entry;
    UniqueFind search(FindFirstFileW(Wide(path + "\\*").c_str(), &entry));
    for (bool more = search.valid(); more; more = FindNextFileW(search.get(), &entry))
        if (wcscmp(entry.cFileName, L".") != 0 && wcscmp(entry.cFileName, L"..") != 0)
            names.push_back(Ansi(entry.cFileName));
    std::sort(names.begin(), names.end());
    return names;
}

void BrokerTest::SetUp() {
    SetServiceEncoding(TextEncoding::Ansi);  // as a run before its settings
    today = {2026, 12, 7, 9, 5, 3};
    uptimeMs = 1000000;
    creations = 0;
    workDir = MakeTempFolder("work");
    exeDir = MakeTempFolder("exe") + "\\";
    gServer = &server;
    broker.FExeDir = Wide(exeDir);
    broker.FCreateServer = CreateFake;
    broker.FClock = [] { return today; };
    broker.FUptime = [] { return uptimeMs; };
    auto recorder = std::make_unique<EventRecorder>();
    events = recorder.get();
    broker.FEvents = std::move(recorder);
}

void BrokerTest::TearDown() {
    broker.FServer.reset();
    BringBack();  // should a test have left the working directory away
    RemoveFolder(Away());
    RemoveFolder(workDir);
    RemoveFolder(exeDir.substr(0, exeDir.size() - 1));
}

void BrokerTest::WriteIni(const std::string& content) {
    WriteFileReplacing(Wide(exeDir + "VQBroker.Ini"), content);
    iniWritten = true;
}

void BrokerTest::Start() {
    if (!iniWritten) WriteIni(DefaultIni());
    broker.FormCreate();
    server.calls.clear();
}

std::string BrokerTest::ServeOneQuery() {
    server.lists["GetListaGestiuni"] = FakeList::Of({"DEP;Depozit;DEPOZIT"});
    Put("GETLISTAGESTIUNI.TXT", "");
    broker.TimerTimer();
    const std::string answer = Exists("GETLISTAGESTIUNI.TXT") ? kNoFile : Contents("LISTAGESTIUNI.TXT");
    DeleteFileQuietly(Wide(Path("LISTAGESTIUNI.TXT")));
    return answer;
}

namespace {

// The lines of a log text, each without its "Ver. 3.1 -  " prefix.
std::vector<std::string> Unprefixed(std::string_view text) {
    std::vector<std::string> lines = SplitTextLines(text);
    for (std::string& line : lines) {
        EXPECT_EQ(line.substr(0, 12), "Ver. 3.1 -  ");
        line.erase(0, 12);
    }
    return lines;
}

}  // namespace

std::vector<std::string> BrokerTest::Log() const { return Unprefixed(broker.LogText()); }

std::vector<std::string> BrokerTest::NewLines() {
    const std::string text = broker.LogText();
    const size_t from = text.rfind(logSeen_, 0) == 0 ? logSeen_.size() : 0;  // else a new day's log
    logSeen_ = text;
    return Unprefixed(std::string_view(text).substr(from));
}
