// The reference responder: a small program of the benchmark's own that answers the article
// query and serves order packages with the least file work a sound service must do, woken by
// the directory's change notification and served by the same stand-in server process as
// VQBroker. Its round trips are the floor of (7R) and (8R).
//   a query:   a directory test; one listing; the error file deleted when listed; the request
//              read; six log lines in three appends; the two calls; the answer through a new
//              temporary file renamed over it; the request deleted.
//   a package: a directory test; one listing; the journal record on the disk before the first
//              call; the error file deleted when listed; one open for the wait and the read;
//              the opening lines in one append; the four calls; one more append; the package
//              and the journal deleted.
#include <windows.h>
#include <oleauto.h>

#include <cstdlib>
#include <stdexcept>
#include <string>
#include <vector>

#include "Benchmarks.h"
#include "base/AnsiText.h"  // the harness that starts the responder; the responder uses neither
#include "base/FileSystem.h"
#include "server/Tallyport.h"

namespace {

constexpr wchar_t kReadyEvent[] = L"VQBenchResponderReady";
constexpr wchar_t kStopEvent[] = L"VQBenchResponderStop";

std::string Narrow(const wchar_t* text, int length) {
    std::string out(size_t(WideCharToMultiByte(CP_ACP, 0, text, length, nullptr, 0, nullptr, nullptr)), '\0');
    WideCharToMultiByte(CP_ACP, 0, text, length, out.data(), int(out.size()), nullptr, nullptr);
    return out;
}

BSTR NewBstr(const std::string& text) {
    std::wstring wide(size_t(MultiByteToWideChar(CP_ACP, 0, text.data(), int(text.size()), nullptr, 0)), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), int(text.size()), wide.data(), int(wide.size()));
    return SysAllocStringLen(wide.data(), UINT(wide.size()));
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

class Responder {
public:
    Responder(std::wstring dir, ITallyportObject& server) : dir_(std::move(dir)), server_(server) {}

    // One request a call, the first found; false when none waits.
    bool ServeOne() {
        if (GetFileAttributesW(dir_.c_str()) == INVALID_FILE_ATTRIBUTES) return false;
        std::vector<std::wstring> names;
        WIN32_FIND_DATAW entry;
        HANDLE search = FindFirstFileExW((dir_ + L"\\*").c_str(), FindExInfoBasic, &entry, FindExSearchNameMatch,
                                         nullptr, FIND_FIRST_EX_LARGE_FETCH);
        if (search == INVALID_HANDLE_VALUE) return false;
        std::wstring package, query;
        do {
            const std::wstring name = entry.cFileName;
            if (package.empty() && name.rfind(L"COMANDA_", 0) == 0 && name.size() > 12 &&
                name.compare(name.size() - 4, 4, L".TXT") == 0)
                package = name;
            if (name == L"GETSTOCARTICOL.TXT") query = name;
            names.push_back(name);
        } while (FindNextFileW(search, &entry));
        FindClose(search);
        listed_ = std::move(names);
        if (!package.empty()) return ServePackage(package);
        if (!query.empty()) return ServeQuery(query);
        return false;
    }

private:
    bool Listed(const std::wstring& name) const {
        for (const std::wstring& listed : listed_)
            if (listed == name) return true;
        return false;
    }
    std::wstring Path(const std::wstring& name) const { return dir_ + L"\\" + name; }

    void Append(const std::string& lines) {
        HANDLE log = CreateFileW(Path(L"LOG.TXT").c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
        DWORD written = 0;
        WriteFile(log, lines.data(), DWORD(lines.size()), &written, nullptr);
        CloseHandle(log);
    }
    static std::string Line(const std::string& text) { return "Ver. 3.1 -  09.12.2026 12:00:00" + text + "\r\n"; }

    std::string Read(const std::wstring& name) {
        HANDLE file = CreateFileW(Path(name).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        std::string content(64 * 1024, '\0');
        DWORD read = 0;
        ReadFile(file, content.data(), DWORD(content.size()), &read, nullptr);
        CloseHandle(file);
        content.resize(read);
        return content;
    }

    void Replace(const std::wstring& name, const std::string& bytes, bool onDisk) {
        const std::wstring temp = Path(name) + L".~tmp";
        HANDLE file = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) throw std::runtime_error("the responder cannot write");
        DWORD written = 0;
        WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr);
        if (onDisk) FlushFileBuffers(file);
        CloseHandle(file);
        MoveFileExW(temp.c_str(), Path(name).c_str(), MOVEFILE_REPLACE_EXISTING | (onDisk ? MOVEFILE_WRITE_THROUGH : 0));
    }

    bool ServeQuery(const std::wstring& name) {
        if (Listed(L"ERORI_GETSTOCARTICOL.TXT")) DeleteFileW(Path(L"ERORI_GETSTOCARTICOL.TXT").c_str());
        const std::vector<std::string> request = Lines(Read(name));
        const std::string article = request.empty() ? std::string() : request.front();
        Append(Line(" ... Setez luna lucru 2026_12"));
        LONG ok = 0, code = 0;
        server_.SetLunaLucru(2026, 12, &ok);
        Append(Line(" ... Citesc stocul articolului " + article));
        VARIANT list;
        VariantInit(&list);
        BSTR bstr = NewBstr(article);
        server_.GetStocArticol(bstr, 0, &code, &list);
        SysFreeString(bstr);
        std::string answer;
        long rows = 0;
        if (list.vt == (VT_ARRAY | VT_BSTR) && list.parray) {
            BSTR* data = nullptr;
            SafeArrayAccessData(list.parray, reinterpret_cast<void**>(&data));
            rows = long(list.parray->rgsabound[0].cElements);
            for (long i = 0; i < rows; ++i)
                answer += Narrow(data[i], int(SysStringLen(data[i]))) + "\r\n";
            SafeArrayUnaccessData(list.parray);
        }
        VariantClear(&list);
        Append(Line(" ... GetStocArticol s-a executat") + Line(" ... Cod Eroare :" + std::to_string(code)) +
               Line(" ... Au fost returnate :" + std::to_string(rows - 1) + " linii") +
               Line(" ... Scriu informatiile in " + Narrow(Path(L"STOCARTICOL.TXT").c_str(), int(Path(L"STOCARTICOL.TXT").size()))));
        Replace(L"STOCARTICOL.TXT", answer, false);
        DeleteFileW(Path(name).c_str());
        return true;
    }

    bool ServePackage(const std::wstring& name) {
        const std::string narrow = Narrow(name.c_str(), int(name.size()));
        Replace(L"RESPONDER.JNL", "S\t0\t0\t" + narrow + "\r\n", true);
        const std::wstring errors = L"ERORI_" + name.substr(0, name.size() - 4) + L".TXT";
        if (Listed(errors)) DeleteFileW(Path(errors).c_str());
        const std::vector<std::string> lines = Lines(Read(name));
        Append("Ver. 3.1 -  \r\nVer. 3.1 -  \r\n" + Line(" ... Deschid pachetul cu comenzi"));
        LONG year = 2026, month = 12;
        for (const std::string& line : lines) {
            if (line.rfind("AnLucru=", 0) == 0) year = std::atol(line.c_str() + 8);
            if (line.rfind("LunaLucru=", 0) == 0) month = std::atol(line.c_str() + 10);
        }
        SAFEARRAY* array = SafeArrayCreateVector(VT_BSTR, 0, ULONG(lines.size()));
        BSTR* data = nullptr;
        SafeArrayAccessData(array, reinterpret_cast<void**>(&data));
        for (size_t i = 0; i < lines.size(); ++i) data[i] = NewBstr(lines[i]);
        SafeArrayUnaccessData(array);
        VARIANT list;
        VariantInit(&list);
        list.vt = VT_ARRAY | VT_BSTR;
        list.parray = array;
        LONG ok = 0, count = 0;
        server_.SetLunaLucru(year, month, &ok);
        server_.SetPachet(list);
        server_.GenComenzi(&ok);
        server_.GetNrComenzi(&count);
        VariantClear(&list);
        Append("Ver. 3.1 -  Au fost generate " + std::to_string(count) + " comenzi in baza de date \r\n");
        DeleteFileW(Path(name).c_str());
        DeleteFileW(Path(L"RESPONDER.JNL").c_str());
        return true;
    }

    std::wstring dir_;
    ITallyportObject& server_;
    std::vector<std::wstring> listed_;
};

}  // namespace

int RunResponder(const std::wstring& dir) {
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 1;
    int result = 1;
    {
        ComRef<ITallyportObject> server;
        if (SUCCEEDED(CoCreateInstance(CLSID_CoTallyportObject, nullptr, CLSCTX_LOCAL_SERVER, IID_ITallyportObject,
                                       reinterpret_cast<void**>(server.addressof())))) {
            HANDLE stop = OpenEventW(SYNCHRONIZE, FALSE, kStopEvent);
            HANDLE change = FindFirstChangeNotificationW(
                dir.c_str(), FALSE,
                FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_LAST_WRITE | FILE_NOTIFY_CHANGE_SIZE);
            HANDLE ready = OpenEventW(EVENT_MODIFY_STATE, FALSE, kReadyEvent);
            SetEvent(ready);
            CloseHandle(ready);
            Responder responder(dir, *server.get());
            const HANDLE waits[] = {stop, change};
            try {
                while (WaitForMultipleObjects(2, waits, FALSE, INFINITE) == WAIT_OBJECT_0 + 1) {
                    FindNextChangeNotification(change);
                    while (responder.ServeOne()) {
                    }
                }
                result = 0;
            } catch (const std::exception&) {
            }
            FindCloseChangeNotification(change);
            CloseHandle(stop);
        }
    }
    CoUninitialize();
    return result;
}

ResponderProcess::ResponderProcess(const std::string& dir)
    : stop_(CreateEventW(nullptr, TRUE, FALSE, kStopEvent)) {
    UniqueHandle ready(CreateEventW(nullptr, TRUE, FALSE, kReadyEvent));
    std::wstring command = L"\"" + ExecutablePath() + L"\" respond \"" + Wide(dir) + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        throw std::runtime_error("cannot start the reference responder");
    process_.reset(process.hProcess);
    UniqueHandle thread(process.hThread);
    if (WaitForSingleObject(ready.get(), 30000) != WAIT_OBJECT_0)
        throw std::runtime_error("the reference responder did not start");
}

ResponderProcess::~ResponderProcess() {
    SetEvent(stop_.get());
    WaitForSingleObject(process_.get(), 30000);
}
