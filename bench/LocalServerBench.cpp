// The document server in a process of its own, as a user's is. Each figure's floor is a bare
// client that makes the same calls, on the same server process, and does no more with the
// files than any program answering the same request must: so the ratio is what VQBroker adds.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <numeric>
#include <stdexcept>

#include "Benchmarks.h"
#include "base/AnsiText.h"
#include "base/FileSystem.h"
#include "base/Owners.h"
#include "base/Text.h"
#include "packages/PackageFile.h"
#include "packages/PackageText.h"
#include "queries/RowRebuild.h"
#include "server/ServerList.h"
#include "support/BrokerFixture.h"

namespace {

constexpr wchar_t kReadyEvent[] = L"VQBenchAnswersReady";
constexpr int kQueries = 50;
constexpr int kRounds = 5, kOrdersARound = 100;
constexpr int kDeaths = 8;

// A server whose answers cost it as little as any server's can: the lines kept as a server
// keeps them, the stock answer made at each call from rows built once.
class AnswersServer final : public FakeServer {
public:
    AnswersServer() {
        for (int i = 0; i < 100000; ++i) rows_.push_back(StockRow(i));
    }
    HRESULT STDMETHODCALLTYPE GetStocuri(LONG* code, VARIANT* list) override {
        *code = 0;
        list->vt = VT_ARRAY | VT_BSTR;
        list->parray = AnswerOf(rows_);
        return S_OK;
    }

private:
    std::vector<std::string> rows_;
};

// Hands out the process's one object.
class OneObject final : public IClassFactory {
public:
    explicit OneObject(ITallyportObject& object) : object_(object) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        *out = iid == IID_IUnknown || iid == IID_IClassFactory ? this : nullptr;
        return *out ? S_OK : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown*, REFIID iid, void** out) override {
        return object_.QueryInterface(iid, out);
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

private:
    ITallyportObject& object_;
};

// VQBench.exe serve, for as long as this lives; its class object is found before the stand-in
// that the registry names.
class AnswersProcess {
public:
    AnswersProcess() {
        UniqueHandle ready(CreateEventW(nullptr, TRUE, FALSE, kReadyEvent));
        std::wstring command = L"\"" + ExecutablePath() + L"\" serve";
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process{};
        if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                            &process))
            throw std::runtime_error("cannot start the answers' server");
        process_.reset(process.hProcess);
        UniqueHandle thread(process.hThread);
        threadId_ = process.dwThreadId;
        if (WaitForSingleObject(ready.get(), 30000) != WAIT_OBJECT_0)
            throw std::runtime_error("the answers' server did not start");
    }
    ~AnswersProcess() {
        PostThreadMessageW(threadId_, WM_QUIT, 0, 0);
        WaitForSingleObject(process_.get(), 30000);
    }
    AnswersProcess(const AnswersProcess&) = delete;
    AnswersProcess& operator=(const AnswersProcess&) = delete;

private:
    UniqueHandle process_;
    DWORD threadId_ = 0;
};

ComRef<ITallyportObject> LocalServer() {
    ComRef<ITallyportObject> server;
    const HRESULT hr = CoCreateInstance(CLSID_CoTallyportObject, nullptr, CLSCTX_LOCAL_SERVER,
                                        IID_ITallyportObject, reinterpret_cast<void**>(server.addressof()));
    if (FAILED(hr)) throw std::runtime_error("no local server: " + std::to_string(hr));
    return server;
}

double Mean(const std::vector<double>& values) {
    return values.empty() ? 0 : std::accumulate(values.begin(), values.end(), 0.0) / double(values.size());
}

// A bare client answers the article query: the request dropped and read, the month, the list,
// the answer written, the request deleted.
double BareQuerySeconds(ITallyportObject& server, const WorkFolder& folder) {
    const double start = WallSeconds();
    folder.Put("GETSTOCARTICOL.TXT", "A0001\r\n");
    const std::string article = ArticleParameter(ReadWholeFile(Wide(folder.Path("GETSTOCARTICOL.TXT"))));
    LONG ok = 0, code = 0;
    server.SetLunaLucru(2026, 12, &ok);
    UniqueVariant list;
    server.GetStocArticol(MakeBstr(article).get(), 0, &code, list.addressof());
    WriteFileReplacing(Wide(folder.Path("STOCARTICOL.TXT")), JoinLines(ReadServerList(list.get()).lines));
    DeleteFileQuietly(Wide(folder.Path("GETSTOCARTICOL.TXT")));
    return WallSeconds() - start;
}

// Orders count at a time, written aside and then renamed into the folder, so that they arrive
// at once; the names of the round's orders.
std::vector<std::string> DropOrders(const std::string& aside, const WorkFolder& folder, int round) {
    std::vector<std::string> names;
    for (int n = 0; n < kOrdersARound; ++n) {
        names.push_back("COMANDA_" + std::to_string(round * kOrdersARound + n) + ".TXT");
        WriteFileReplacing(Wide(aside + "\\" + names.back()), kOneOrder);
    }
    for (const std::string& name : names)
        MoveFileW(Wide(aside + "\\" + name).c_str(), Wide(folder.Path(name)).c_str());
    return names;
}

double ServiceRoundSeconds(const std::string& aside, const WorkFolder& service, int round) {
    const double start = WallSeconds();
    DropOrders(aside, service, round);
    const bool served = WaitUntil(
        [&] {
            WIN32_FIND_DATAW entry;
            return !UniqueFind(FindFirstFileW(Wide(service.Path("COMANDA_*.TXT")).c_str(), &entry)).valid();
        },
        300000, 5);
    if (!served) throw std::runtime_error("the orders were not served");
    return WallSeconds() - start;
}

// The file system's calls of the served requests of one name, as the service noted them: the
// median request's count of calls and of directory reads, and the most of each.
struct FileCallFigures {
    int requests = 0;
    double calls = 0, directoryReads = 0;
    int mostCalls = 0, mostReads = 0;
};
FileCallFigures FileCallsOf(const TraceNamed& trace, const std::string& prefix) {
    std::vector<double> calls, reads;
    for (const std::string& line : SplitTextLines(ReadShared(trace.path))) {
        if (line.rfind(prefix, 0) != 0) continue;
        const size_t first = line.find('\t'), second = line.find('\t', first + 1), third = line.find('\t', second + 1);
        if (third == std::string::npos) continue;
        calls.push_back(std::stoi(line.substr(second + 1)));
        reads.push_back(std::stoi(line.substr(third + 1)));
    }
    FileCallFigures figures;
    figures.requests = int(calls.size());
    if (calls.empty()) return figures;
    figures.calls = Median(calls);
    figures.directoryReads = Median(reads);
    figures.mostCalls = int(*std::max_element(calls.begin(), calls.end()));
    figures.mostReads = int(*std::max_element(reads.begin(), reads.end()));
    return figures;
}

Figure CallsFigure(const char* name, const FileCallFigures& figures, int callsTarget, int readsTarget) {
    char detail[240];
    std::snprintf(detail, sizeof detail,
                  "median of %d requests: %.0f calls (target <= %d), %.0f directory reads (target <= %d); "
                  "the most %d and %d",
                  figures.requests, figures.calls, callsTarget, figures.directoryReads, readsTarget,
                  figures.mostCalls, figures.mostReads);
    // Met when both are: the larger share of its target.
    const double ratio = std::max(figures.calls / callsTarget, figures.directoryReads / readsTarget);
    return {name, ratio, 1.0, detail};
}

// A bare client serves each order as the service's handler does: the lines and the month, the
// calls, the count, the package deleted.
double BareRoundSeconds(const std::string& aside, ITallyportObject& server, const WorkFolder& folder,
                        int round) {
    const double start = WallSeconds();
    for (const std::string& name : DropOrders(aside, folder, round)) {
        const PackageLines package = ReadPackage(Wide(folder.Path(name)));
        const WorkingMonth month = ReadWorkingMonth(package.lines());
        const UniqueVariant list = ToServerList(package.lines());
        LONG ok = 0, count = 0;
        server.SetLunaLucru(month.year, month.month, &ok);
        server.SetPachet(list.get());
        server.GenComenzi(&ok);
        server.GetNrComenzi(&count);
        DeleteFileQuietly(Wide(folder.Path(name)));
    }
    return WallSeconds() - start;
}

// A bare client's least after a server died: a new server process made and configured, then
// the query; the process ends with its last object afterwards.
double BareNewServerSeconds(const WorkFolder& folder) {
    const double start = WallSeconds();
    ComRef<ITallyportObject> server = LocalServer();
    LONG ok = 0;
    server->SetTipIDPartener(MakeBstr("CODINTERN").get());
    server->SetTipIDArticol(MakeBstr("CODINTERN").get());
    server->SetFirmaLucru(MakeBstr("DEMO").get(), &ok);
    BareQuerySeconds(*server.get(), folder);
    return WallSeconds() - start;
}

std::string Detail(const char* format, double a, double b) {
    char text[160];
    std::snprintf(text, sizeof text, format, Millis(a).c_str(), Millis(b).c_str());
    return text;
}

// (7) and (8): the stand-in serving VQBroker, the reference responder and the bare client side
// by side, in turns.
void ServeFigures(std::vector<Figure>& figures) {
    ServiceProcess service;
    const TraceNamed trace(L"RequestTrace", service.exeDir + "requests.txt");
    WorkFolder bare{MakeTempFolder("bare")};
    WorkFolder reference{MakeTempFolder("reference")};
    const std::string aside = MakeTempFolder("aside");
    service.WriteIni(service.DefaultIni("RaspunsImediat=D\r\nPrefixareErori=D\r\n"));
    service.Start();
    Sleep(1500);  // start-up done
    ComRef<ITallyportObject> server = LocalServer();  // in VQBroker's server process
    {
        const ResponderProcess responder(reference.workDir);
        std::vector<double> trips, references, floors;
        for (int i = 0; i < kQueries; ++i) {
            trips.push_back(QueryRoundTrip(service));
            references.push_back(QueryRoundTrip(reference));
            floors.push_back(BareQuerySeconds(*server.get(), bare));
            if (trips.back() < 0 || references.back() < 0) throw std::runtime_error("a query was not answered within 10 s");
        }
        figures.push_back({"7R round trip, local", Mean(trips) / Mean(references), 1.3,
                           Detail("GETSTOCARTICOL.TXT, 50 each: mean %s / reference responder's mean %s", Mean(trips),
                                  Mean(references))});
        figures.push_back({"7L round trip, local", Mean(trips) / Mean(floors), 2.0,
                           Detail("mean %s / bare client's mean %s", Mean(trips), Mean(floors)) + "; own " +
                               Millis(Mean(OwnTimes(trace)))});
        figures.push_back(CallsFigure("file calls, a query", FileCallsOf(trace, "GETSTOCARTICOL.TXT"), 25, 2));
        DeleteFileW(Wide(trace.path).c_str());
        double served = 0, referenced = 0, floor = 0;  // the server's books grow: the three take turns
        for (int round = 0; round < kRounds; ++round) {
            served += ServiceRoundSeconds(aside, service, 3 * round);
            referenced += ServiceRoundSeconds(aside, reference, 3 * round + 1);
            floor += BareRoundSeconds(aside, *server.get(), bare, 3 * round + 2);
        }
        const std::vector<double> own = OwnTimes(trace);
        figures.push_back({"8R backlog, local", served / referenced, 1.3,
                           Detail("500 orders, 100 at a time: %s / reference responder's %s", served, referenced)});
        figures.push_back({"8L backlog, local", served / floor, 1.5,
                           Detail("%s / bare client's %s", served, floor) + "; own sum " +
                               Millis(std::accumulate(own.begin(), own.end(), 0.0))});
        figures.push_back(CallsFigure("file calls, a package", FileCallsOf(trace, "COMANDA_"), 22, 2));
    }
    server.reset();
    service.Close();
    RemoveFolder(bare.workDir);
    RemoveFolder(reference.workDir);
    RemoveFolder(aside);
}

// (10): from the drop of a query whose call the server process ends in (before it answers), to
// the answer of a new server, against the bare client's new server and the same query.
Figure DeathFigure() {
    ServiceProcess service;
    WorkFolder bare{MakeTempFolder("bare")};
    const std::wstring ini = Wide(service.exeDir + "VQDocServer.ini");
    service.WriteServerIni("[Test]\r\nExitInMethod=GetStocArticol\r\nExitCount=0\r\n");
    service.WriteIni(service.DefaultIni("RaspunsImediat=D\r\nPrefixareErori=D\r\n"));
    std::vector<double> renewed, floors;
    for (int i = 0; i < kDeaths; ++i) {
        service.Start();
        Sleep(1500);
        WritePrivateProfileStringW(L"Test", L"ExitCount", L"1", ini.c_str());
        renewed.push_back(QueryRoundTrip(service));
        service.Close();
        if (renewed.back() < 0 || !service.ServersEnd(15000)) throw std::runtime_error("no answer after a death");
        floors.push_back(BareNewServerSeconds(bare));
        if (!service.ServersEnd(15000)) throw std::runtime_error("the bare client's server goes on");
    }
    RemoveFolder(bare.workDir);
    return {"10 server that died", Median(renewed) / Median(floors), 1.3,
            Detail("8 each, medians: drop to answer %s / bare client's new server and query %s",
                   Median(renewed), Median(floors))};
}

}  // namespace

int ServePreparedAnswers() {
    const UniqueComApartment com(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    AnswersServer server;
    OneObject factory(server);
    DWORD cookie = 0;
    if (FAILED(CoRegisterClassObject(CLSID_CoTallyportObject, &factory, CLSCTX_LOCAL_SERVER,
                                     REGCLS_MULTIPLEUSE, &cookie)))
        return 1;
    UniqueHandle ready(OpenEventW(EVENT_MODIFY_STATE, FALSE, kReadyEvent));
    SetEvent(ready.get());
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
    CoRevokeClassObject(cookie);
    return 0;
}

// (12): the mean time an order takes in a backlog of 5,000 against one of 500, each put in a
// fresh copy's working directory before it starts. The server is one whose cost does not grow
// with its books (the stand-in's does: it saves its tables), so that the figure is VQBroker's.
Figure LongBacklogFigure() {
    const UniqueComApartment com(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    double perOrder[2] = {}, ownMean[2] = {};
    const int counts[2] = {500, 5000};
    for (int i = 0; i < 2; ++i) {
        ServiceProcess service;  // the stand-in's type library and interface, for the channel
        AnswersProcess answers;
        const TraceNamed trace(L"RequestTrace", service.exeDir + "requests.txt");
        perOrder[i] = DrainBacklog(service, true, counts[i]) / counts[i];
        ownMean[i] = Mean(OwnTimes(trace));
    }
    char detail[256];
    std::snprintf(detail, sizeof detail,
                  "per order %s in 5,000 / %s in 500; the service's own time per order %s / %s",
                  Millis(perOrder[1]).c_str(), Millis(perOrder[0]).c_str(), Millis(ownMean[1]).c_str(),
                  Millis(ownMean[0]).c_str());
    return {"12 long backlog", perOrder[1] / perOrder[0], 1.2, detail};
}

std::vector<Figure> LocalServerFigures() {
    const UniqueComApartment com(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    std::vector<Figure> figures;
    {
        ServiceProcess registered;  // the stand-in's type library and interface, for the channel
        AnswersProcess answers;
        const ComRef<ITallyportObject> server = LocalServer();
        figures.push_back(LargePackageFigure(server.get()));
        figures.push_back(LargeQueryFigure(server.get()));
    }
    ServeFigures(figures);
    figures.push_back(DeathFigure());
    return figures;
}
