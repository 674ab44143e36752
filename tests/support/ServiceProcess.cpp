// VQBroker.exe driven and watched from outside.
#include "support/ServiceProcess.h"

#include <algorithm>

#include "Processes.h"
#include "Registration.h"
#include "base/AnsiText.h"
#include "support/BrokerFixture.h"

std::string WindowText(HWND window) {
    LRESULT length = SendMessageW(window, WM_GETTEXTLENGTH, 0, 0);
    std::wstring text(size_t(length) + 1, L'\0');
    SendMessageW(window, WM_GETTEXT, WPARAM(text.size()), LPARAM(text.data()));
    text.resize(size_t(length));
    return Ansi(text);
}

namespace {

// A process's message boxes, a text a line; a box gets its text last.
std::string BoxTextsOf(DWORD processId) {
    std::string texts;
    for (HWND box : ServiceProcess::Dialogs(processId)) {
        HWND text = GetDlgItem(box, 0xFFFF);
        texts += (text ? WindowText(text) : std::string()) + "\n";
    }
    return texts;
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

ServiceProcess::ServiceProcess(DocServerForm form, const std::string& serverBin) : form_(form) {
    exeDir = MakeTempFolder("svc") + "\\";
    workDir = MakeTempFolder("wd");
    const std::string exe = Ansi(ExecutablePath()), bin = exe.substr(0, exe.find_last_of('\\') + 1);
    EXPECT_TRUE(CopyFileW(Wide(bin + "VQBroker.exe").c_str(), Wide(exeDir + "VQBroker.exe").c_str(), FALSE));
    if (form == DocServerForm::None) return;
    for (const std::string name : {"VQDocServer.dll", "VQDocServer.exe"})
        EXPECT_TRUE(CopyFileW(Wide((serverBin.empty() ? bin : serverBin + "\\") + name).c_str(),
                              Wide(exeDir + name).c_str(), FALSE))
            << name;
    Register(form);
}

ServiceProcess::~ServiceProcess() {
    if (Running()) Kill();
    if (form_ != DocServerForm::None) Register(DocServerForm::None);  // which ends the servers left
    EXPECT_TRUE(ServersEnd(15000)) << "VQDocServer.exe goes on";
    RemoveFolder(workDir);
    RemoveFolder(exeDir.substr(0, exeDir.size() - 1));
}

void ServiceProcess::Register(DocServerForm form) {
    form_ = form;
    if (form == DocServerForm::InProcess)
        EXPECT_EQ(
            docserver::RegisterServer(docserver::ServerForm::InProcess, Wide(exeDir + "VQDocServer.dll")),
            S_OK);
    else
        EXPECT_EQ(
            RunForm(form == DocServerForm::Local ? "/RegServer" : "/UnregServer", "VQDocServer.exe").exitCode,
            0u);
}

ServiceProcess::Launched ServiceProcess::Launch(const std::string& argument, HANDLE output,
                                                const std::string& program) const {
    std::wstring commandLine = L"\"" + Wide(exeDir + program) + L"\"";
    if (!argument.empty()) commandLine += L" " + Wide(argument);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = output ? STARTF_USESTDHANDLES : 0;
    startup.hStdOutput = startup.hStdError = output;
    PROCESS_INFORMATION process{};
    // Wine's process creation now and then fails at once while the service starts: tried again.
    bool started = false;
    for (int tries = 0; !started && tries < 3; ++tries) {
        if (tries > 0) Sleep(500);
        started = CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, output != nullptr, 0, nullptr,
                                 Wide(exeDir).c_str(), &startup, &process);
    }
    EXPECT_TRUE(started) << "cannot start " << program << " " << argument << ": " << GetLastError();
    return {UniqueHandle(process.hProcess), UniqueHandle(process.hThread), process.dwProcessId,
            process.dwThreadId};
}

ServiceProcess::Outcome ServiceProcess::RunForm(const std::string& argument,
                                                const std::string& program) const {
    static int runs = 0;  // a name a run: a copy that inherited an earlier one's may still hold it
    const std::string outputPath = exeDir + "output" + std::to_string(++runs) + ".txt";
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    UniqueFile output(CreateFileW(Wide(outputPath).c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                                  CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    const Launched process = Launch(argument, output.get(), program);
    Outcome outcome;
    if (!process.process) return outcome;
    WaitForSingleObject(process.process.get(), 180000);
    GetExitCodeProcess(process.process.get(), &outcome.exitCode);
    output.reset();
    outcome.output = ReadShared(outputPath);
    return outcome;
}

void ServiceProcess::Start(bool untilShown) {
    process_ = Launch();
    ASSERT_TRUE(WaitUntil(
        [&] {
            auto windows = Windows(ProcessId(), L"TEBroker");
            window_ = windows.empty() ? nullptr : windows.front();
            return window_ != nullptr && (!untilShown || IsWindowVisible(window_));
        },
        60000))  // shown after start-up's server steps, which wait for a server still ending
        << "no main window";
}

std::string ServiceProcess::AnotherCopysBox() const {
    const Launched copy = Launch();
    std::string text;
    EXPECT_TRUE(WaitUntil([&] { return (text = BoxTextsOf(copy.id)).size() > 1; }, 20000)) << "no box";
    for (HWND box : Dialogs(copy.id)) PostMessageW(box, WM_COMMAND, IDOK, 0);
    if (WaitForSingleObject(copy.process.get(), 20000) != WAIT_OBJECT_0) {
        ADD_FAILURE() << "the other copy goes on";
        TerminateProcess(copy.process.get(), 1);
    }
    return text;
}

void ServiceProcess::Kill() {
    TerminateProcess(process_.process.get(), 1);
    EXPECT_EQ(WaitForSingleObject(process_.process.get(), 15000), WAIT_OBJECT_0);
}

void ServiceProcess::Close() {
    PostMessageW(window_, WM_CLOSE, 0, 0);
    EXPECT_EQ(WaitForSingleObject(process_.process.get(), 15000), WAIT_OBJECT_0);
    DWORD exitCode = STILL_ACTIVE;
    GetExitCodeProcess(process_.process.get(), &exitCode);
    EXPECT_EQ(exitCode, 0u);
}

std::vector<HWND> ServiceProcess::Windows(DWORD processId, const wchar_t* className) {
    std::vector<HWND> found;
    for (HWND window = nullptr; (window = FindWindowExW(nullptr, window, className, nullptr)) != nullptr;) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == processId) found.push_back(window);
    }
    return found;
}

std::string ServiceProcess::BoxTexts() const { return BoxTextsOf(ProcessId()); }

void ServiceProcess::DismissBoxes() const {
    for (HWND box : Dialogs(ProcessId())) PostMessageW(box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(WaitUntil([&] { return Dialogs(ProcessId()).empty(); }, 10000));
}

std::vector<DWORD> ServiceProcess::ServerProcesses() const {
    return docserver::ProcessesOf(Wide(exeDir + "VQDocServer.exe"));
}

TextList ServiceProcess::Log(size_t from) const {
    TextList lines = StampFreeLines(ReadShared(Path("LOG.TXT")));
    lines.erase(lines.begin(), lines.begin() + ptrdiff_t(std::min(from, lines.size())));
    return lines;
}

bool ServiceProcess::Logged(const std::string& line, size_t times) const {
    return WaitUntil([&] { return CountLines(Log(), line) >= times; }, 30000);
}

UniqueFile Hold(const std::string& path, DWORD share, DWORD access) {
    return UniqueFile(CreateFileW(Wide(path).c_str(), access, share, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
}

UniqueFile Writing(const std::string& path, const std::string& text) {
    UniqueFile writer(CreateFileW(Wide(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    EXPECT_TRUE(writer.valid() &&
                WriteFile(writer.get(), text.data(), DWORD(text.size()), &written, nullptr) &&
                written == text.size())
        << path;
    return writer;
}

std::string ReadShared(const std::string& path) {
    const UniqueFile file = Hold(path);
    std::string bytes;
    char chunk[65536];
    DWORD read = 0;
    while (file.valid() && ReadFile(file.get(), chunk, sizeof chunk, &read, nullptr) && read > 0)
        bytes.append(chunk, read);
    return bytes;
}

FileIdentity IdentityOf(const std::string& path) {
    const UniqueFile file = Hold(path, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, 0);
    return file.valid() ? StateOf(file.get()).identity : FileIdentity{};
}

TraceNamed::TraceNamed(const wchar_t* value, const std::string& path) : path(path), value_(value) {
    const std::wstring wide = Wide(path);
    EXPECT_EQ(RegSetKeyValueW(HKEY_LOCAL_MACHINE, L"Software\\VQBroker", value, REG_SZ, wide.c_str(),
                              DWORD((wide.size() + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS);
}

const std::string kOneOrder =
    "[InfoPachet]\r\nAnLucru=2025\r\nLunaLucru=6\r\n\r\n[Document]\r\nData=10.06.2025\r\nPartener=P0001\r\n"
    "Gestiune=DEP\r\nArticol=A0005;1\r\n";

std::string ExampleFile(const std::string& name) {
    return ReadWholeFile(Wide(std::string(VQ_EXAMPLES_DIR) + "/" + name));
}

TextList StampFreeLines(const std::string& text) {
    TextList lines = SplitTextLines(text);
    const size_t at = kLine.size();  // kLine + "07.12.2026 10:39:27 " + ...
    for (std::string& line : lines)
        if (line.size() >= at + 20 && line[at + 2] == '.' && line[at + 5] == '.' && line[at + 10] == ' ' &&
            line[at + 19] == ' ')
            line.replace(at, 20, "<stamp> ");
    return lines;
}

size_t CountLines(const TextList& lines, const std::string& line) {
    return size_t(std::count(lines.begin(), lines.end(), line));
}
