// One run of VQBroker.exe in a folder of its own, driven and watched from outside.
#include "support/ServiceProcess.h"

#include <gtest/gtest.h>

#include "base/AnsiText.h"
#include "base/FileSystem.h"
#include "base/Owners.h"
#include "base/Text.h"
#include "support/BrokerFixture.h"

namespace {

std::string BinaryFolder() {
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::string text = Ansi(path);
    return text.substr(0, text.find_last_of('\\') + 1);
}

struct FindData {
    DWORD processId;
    const wchar_t* className;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM lParam) {
    auto* data = reinterpret_cast<FindData*>(lParam);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    wchar_t name[64] = L"";
    GetClassNameW(window, name, 64);
    if (owner == data->processId && wcscmp(name, data->className) == 0) data->found.push_back(window);
    return TRUE;
}

std::vector<HWND> TopWindows(DWORD processId, const wchar_t* className) {
    FindData data{processId, className, {}};
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&data));
    return data.found;
}

std::string WindowText(HWND window) {
    LRESULT length = SendMessageW(window, WM_GETTEXTLENGTH, 0, 0);
    std::wstring text(size_t(length) + 1, L'\0');
    SendMessageW(window, WM_GETTEXT, WPARAM(text.size()), LPARAM(text.data()));
    text.resize(size_t(length));
    return Ansi(text);
}

}  // namespace

bool WaitUntil(const std::function<bool()>& condition, DWORD milliseconds, DWORD pauseMs) {
    ULONGLONG end = GetTickCount64() + milliseconds;
    for (;;) {
        if (condition()) return true;
        if (GetTickCount64() >= end) return false;
        Sleep(pauseMs);
    }
}

ServiceProcess::ServiceProcess(bool withServer) : withServer_(withServer) {
    exeDir = MakeTempFolder("svc") + "\\";
    workDir = MakeTempFolder("wd");
    std::string bin = BinaryFolder();
    EXPECT_TRUE(CopyFileW(Wide(bin + "VQBroker.exe").c_str(), Wide(exeDir + "VQBroker.exe").c_str(), FALSE));
    if (withServer_) {
        EXPECT_TRUE(CopyFileW(Wide(bin + "VQDocServer.dll").c_str(), Wide(exeDir + "VQDocServer.dll").c_str(),
                              FALSE));
        Register("DllRegisterServer");
    }
}

ServiceProcess::~ServiceProcess() {
    if (Running()) {
        TerminateProcess(process_.hProcess, 1);
        WaitForSingleObject(process_.hProcess, 5000);
    }
    if (process_.hProcess) CloseHandle(process_.hProcess);
    if (process_.hThread) CloseHandle(process_.hThread);
    if (withServer_) Register("DllUnregisterServer");
    RemoveFolder(workDir);
    RemoveFolder(exeDir.substr(0, exeDir.size() - 1));
}

void ServiceProcess::Register(const char* entry) const {
    HMODULE server = LoadLibraryW(Wide(exeDir + "VQDocServer.dll").c_str());
    ASSERT_NE(server, nullptr);
    auto function =
        reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(reinterpret_cast<void*>(GetProcAddress(server, entry)));
    ASSERT_NE(function, nullptr);
    EXPECT_EQ(function(), S_OK) << entry;
    FreeLibrary(server);
}

std::string ServiceProcess::DefaultIni(const std::string& extra) const {
    return "[Generale]\r\nDirectorLucru=" + workDir +
           "\r\nFirmaLucru=DEMO\r\nIDArticol=CODINTERN\r\n"
           "IDPartener=CODINTERN\r\n" +
           extra;
}

void ServiceProcess::WriteIni(const std::string& content) const {
    WriteFileReplacing(exeDir + "VQBroker.Ini", content);
}

PROCESS_INFORMATION ServiceProcess::Launch() const {
    std::wstring exe = Wide(exeDir + "VQBroker.exe");
    std::wstring commandLine = L"\"" + exe + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    EXPECT_TRUE(CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               Wide(exeDir).c_str(), &startup, &process));
    return process;
}

ServiceProcess::Outcome ServiceProcess::RunForm(const std::string& argument) const {
    const std::string outputPath = exeDir + "output.txt";
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    UniqueFile output(CreateFileW(Wide(outputPath).c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                                  CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    std::wstring commandLine = L"\"" + Wide(exeDir + "VQBroker.exe") + L"\" " + Wide(argument);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = startup.hStdError = output.get();
    PROCESS_INFORMATION process{};
    Outcome outcome;
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                        &process)) {
        ADD_FAILURE() << "cannot start VQBroker.exe " << argument;
        return outcome;
    }
    UniqueHandle processHandle(process.hProcess), thread(process.hThread);
    WaitForSingleObject(process.hProcess, 180000);
    GetExitCodeProcess(process.hProcess, &outcome.exitCode);
    output.reset();
    outcome.output = ReadShared(outputPath);
    return outcome;
}

void ServiceProcess::Start(bool untilShown) {
    process_ = Launch();
    ASSERT_TRUE(WaitUntil(
        [&] {
            auto windows = TopWindows(process_.dwProcessId, L"TEBroker");
            window_ = windows.empty() ? nullptr : windows.front();
            return window_ != nullptr && (!untilShown || IsWindowVisible(window_));
        },
        20000))
        << "no main window";
}

void ServiceProcess::Kill() {
    TerminateProcess(process_.hProcess, 1);
    EXPECT_EQ(WaitForSingleObject(process_.hProcess, 15000), WAIT_OBJECT_0);
}

void ServiceProcess::Close() {
    PostMessageW(window_, WM_CLOSE, 0, 0);
    EXPECT_EQ(WaitForSingleObject(process_.hProcess, 15000), WAIT_OBJECT_0);
    DWORD exitCode = STILL_ACTIVE;
    GetExitCodeProcess(process_.hProcess, &exitCode);
    EXPECT_EQ(exitCode, 0u);
}

bool ServiceProcess::ShowsWindow(const wchar_t* className) const {
    return !TopWindows(process_.dwProcessId, className).empty();
}

bool ServiceProcess::Running() const {
    return process_.hProcess && WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT;
}

std::string ServiceProcess::ViewText() const {
    HWND view = FindWindowExW(window_, nullptr, L"EDIT", nullptr);
    return view ? WindowText(view) : std::string();
}

std::vector<HWND> ServiceProcess::Dialogs(DWORD processId) { return TopWindows(processId, L"#32770"); }

std::string ServiceProcess::DialogText(HWND box) {
    HWND text = GetDlgItem(box, 0xFFFF);  // a message box's text
    return text ? WindowText(text) : std::string();
}

void ServiceProcess::Put(const std::string& name, const std::string& content) const {
    WriteFileReplacing(Path(name), content);
}

std::string ServiceProcess::Read(const std::string& name) const { return ReadWholeFile(Path(name)); }

bool ServiceProcess::Exists(const std::string& name) const { return FileExists(Path(name)); }

std::string ReadShared(const std::string& path) {
    UniqueFile file(CreateFileW(Wide(path).c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    std::string bytes;
    if (!file.valid()) return bytes;
    char chunk[65536];
    DWORD read = 0;
    while (ReadFile(file.get(), chunk, sizeof chunk, &read, nullptr) && read > 0) bytes.append(chunk, read);
    return bytes;
}

FileIdentity IdentityOf(const std::string& path) {
    UniqueFile file(CreateFileW(Wide(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, 0, nullptr));
    return file.valid() ? StateOf(file.get()).identity : FileIdentity{};
}

double QueryRoundTrip(const ServiceProcess& service) {
    // Each answer is a new file in the old one's place.
    const FileIdentity before = IdentityOf(service.Path("STOCARTICOL.TXT"));
    LARGE_INTEGER frequency{}, start{}, end{};
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    service.Put("GETSTOCARTICOL.TXT", "A0001\r\n");
    const bool answered = WaitUntil(
        [&] {
            return !service.Exists("GETSTOCARTICOL.TXT") && service.Exists("STOCARTICOL.TXT") &&
                   !(IdentityOf(service.Path("STOCARTICOL.TXT")) == before);
        },
        10000, 0);
    QueryPerformanceCounter(&end);
    return answered ? double(end.QuadPart - start.QuadPart) / double(frequency.QuadPart) : -1;
}

TraceNamed::TraceNamed(const wchar_t* value, const std::string& path) : path(path), value_(value) {
    const std::wstring wide = Wide(path);
    EXPECT_EQ(RegSetKeyValueW(HKEY_LOCAL_MACHINE, L"Software\\VQBroker", value, REG_SZ, wide.c_str(),
                              DWORD((wide.size() + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS);
}

TraceNamed::~TraceNamed() { RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, L"Software\\VQBroker", value_); }

const std::string kOneOrder =
    "[InfoPachet]\r\nAnLucru=2025\r\nLunaLucru=6\r\n\r\n[Document]\r\nData=10.06.2025\r\nPartener=P0001\r\n"
    "Gestiune=DEP\r\nArticol=A0005;1\r\n";

std::string ExampleFile(const std::string& name) {
#ifdef VQ_EXAMPLES_DIR
    return ReadWholeFile(std::string(VQ_EXAMPLES_DIR) + "/" + name);
#else
    ADD_FAILURE() << "no examples folder";
    return name;
#endif
}

std::vector<std::string> StampFreeLines(const std::string& text) {
    std::vector<std::string> lines = SplitTextLines(text);
    for (std::string& line : lines) {
        // "Ver. 3.1 -  " + "07.12.2026 10:39:27 " + ...
        size_t at = 12;
        bool stamped = line.size() >= at + 20 && line[at + 2] == '.' && line[at + 5] == '.' &&
                       line[at + 10] == ' ' && line[at + 19] == ' ';
        if (stamped) line.replace(at, 20, "<stamp> ");
    }
    return lines;
}
