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

PROCESS_INFORMATION ServiceProcess::Launch(const std::string& argument) const {
    std::wstring exe = Wide(exeDir + "VQBroker.exe");
    std::wstring commandLine = L"\"" + exe + L"\"" + (argument.empty() ? L"" : L" " + Wide(argument));
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    EXPECT_TRUE(CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               Wide(exeDir).c_str(), &startup, &process));
    return process;
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
