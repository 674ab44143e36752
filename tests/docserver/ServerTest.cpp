// The COM object in-process over a fresh data folder: session state, bad calls, simulated faults, the
// request files of examples/ against the demo data, changes kept or refused whole; the DLL's and the
// EXE's registration, and the EXE serving from its own process.
#include "ComText.h"
#include "Demo.h"
#include "DocServer.h"
#include "base/FileSystem.h"
#include "support/ServiceProcess.h"

#include <wrl/client.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

namespace docserver {
namespace {

using Microsoft::WRL::ComPtr;
namespace fs = std::filesystem;
using Object = ITallyportObject;
using Generate = HRESULT (STDMETHODCALLTYPE Object::*)(LONG*);  // and the counts
using Change = HRESULT (STDMETHODCALLTYPE Object::*)(BSTR, LONG*);

std::map<fs::path, std::string> FileContents(const fs::path& folder) {
    std::map<fs::path, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        if (entry.is_regular_file()) files[entry.path()] = ReadWholeFile(entry.path().string());
    return files;
}

class Server : public ::testing::Test {
protected:
    void SetUp() override {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        folder_ = fs::temp_directory_path() / ("vqdocserver-test-" + std::to_string(GetCurrentProcessId()));
        fs::remove_all(folder_);
        options_.dataFolder = (folder_ / "data").wstring();
        Open();
    }
    void TearDown() override {
        server_.Reset();
        fs::remove_all(folder_);
        CoUninitialize();
    }

    void** Slot() { return reinterpret_cast<void**>(server_.ReleaseAndGetAddressOf()); }  // for a new object
    void Open() { ASSERT_EQ(CreateDocServer(options_, IID_ITallyportObject, Slot()), S_OK); }
    HRESULT OpenLocal() {
        return CoCreateInstance(CLSID_CoTallyportObject, nullptr, CLSCTX_LOCAL_SERVER, IID_ITallyportObject,
                                Slot());
    }
    // What a method that must succeed gives back in its last argument: a flag (1 done, 0 refused) or a count.
    template <class Method, class... Arguments>
    LONG Out(Method method, Arguments... arguments) {
        LONG value = -1;
        EXPECT_EQ((server_.Get()->*method)(arguments..., &value), S_OK);
        return value;
    }
    // The rows of a list method whose error code must be 0.
    template <class Method, class... Arguments>
    std::vector<std::string> Rows(Method method, Arguments... arguments) {
        LONG errorCode = -1;
        UniqueVariant list;
        EXPECT_EQ((server_.Get()->*method)(arguments..., &errorCode, list.addressof()), S_OK);
        EXPECT_EQ(errorCode, 0);
        return FromList(list.get());
    }
    std::vector<std::string> Errors() {
        UniqueVariant list;
        EXPECT_EQ(server_->GetListaErori(list.addressof()), S_OK);
        EXPECT_EQ(list.get().vt, VT_ARRAY | VT_BSTR);
        return FromList(list.get());
    }
    static UniqueBstr Text(const std::string& text) { return UniqueBstr(SysAllocString(Wide(text).c_str())); }

    // The lines as an array of strings or, as some callers pass them, of variants.
    void SetPackage(const std::vector<std::string>& lines, VARTYPE type = VT_BSTR) {
        UniqueVariant list;
        VARIANT* value = list.addressof();
        value->vt = VT_ARRAY | type;
        value->parray = SafeArrayCreateVector(type, 0, static_cast<ULONG>(lines.size()));
        for (LONG i = 0; i < static_cast<LONG>(lines.size()); ++i) {
            const UniqueBstr text = Text(lines[static_cast<size_t>(i)]);
            VARIANT element{};
            element.vt = VT_BSTR;
            element.bstrVal = text.get();
            void* put = type == VT_BSTR ? static_cast<void*>(text.get()) : static_cast<void*>(&element);
            ASSERT_EQ(SafeArrayPutElement(value->parray, &i, put), S_OK);
        }
        ASSERT_EQ(server_->SetPachet(list.get()), S_OK);
    }

    fs::path folder_;
    ServerOptions options_;
    ComPtr<ITallyportObject> server_;
};

TEST_F(Server, BadCallsAreAnsweredAndQueriesNeedAValidWorkingMonth) {
    LONG errorCode = 0;
    UniqueVariant list;
    EXPECT_EQ(server_->SetLunaLucru(2025, 6, nullptr), E_POINTER);
    EXPECT_EQ(server_->GetStocuri(nullptr, list.addressof()), E_POINTER);
    EXPECT_EQ(server_->GetStocuri(&errorCode, nullptr), E_POINTER);
    EXPECT_EQ(server_->GetListaErori(nullptr), E_POINTER);
    EXPECT_EQ(server_->GetNrFacturi(nullptr), E_POINTER);
    EXPECT_EQ(server_->Reserved7(), E_NOTIMPL);
    EXPECT_EQ(server_->Reserved138(), E_NOTIMPL);
    UINT count = 5;
    EXPECT_EQ(server_->GetTypeInfoCount(&count), S_OK);
    EXPECT_EQ(count, 0u);
    EXPECT_TRUE(Errors().empty());  // nothing refused yet: an empty list

    ASSERT_EQ(server_->GetStocuri(&errorCode, list.addressof()), S_OK);
    EXPECT_EQ(errorCode, QueryNoMonth);
    EXPECT_EQ(list.get().vt, VT_EMPTY);
    EXPECT_EQ(Errors(), Lines("Nu este selectata luna de lucru"));
    const LONG months[][3] = {{2025, 13, 0}, {2025, 0, 0}, {1999, 5, 0},
                              {2025, 12, 1}, {2000, 1, 1}, {0, 0, 0}};
    for (const auto& m : months)
        EXPECT_EQ(Out(&Object::SetLunaLucru, m[0], m[1]), m[2]) << m[0] << '.' << m[1];
    EXPECT_EQ(Errors(), Lines("An de lucru invalid 0 (2000-2099)\nLuna de lucru invalida 0 (1-12)"));
}

TEST_F(Server, CompanyIsChosenByCodeOrName) {
    const std::pair<const char*, LONG> companies[] = {
        {"DEMO", 1}, {"firma demo srl", 1}, {"Alta SRL", 0}, {"", 0}};
    for (const auto& [name, ok] : companies)
        EXPECT_EQ(Out(&Object::SetFirmaLucru, Text(name).get()), ok) << name;
    EXPECT_EQ(Errors(), Lines("Firma necunoscuta "));
}

TEST_F(Server, SimulatedFaultFailsWithItsDescription) {
    options_.failMethod = L"getstocuri";
    Open();
    EXPECT_EQ(Out(&Object::SetLunaLucru, 2025, 6), 1);
    LONG errorCode = 0;
    UniqueVariant list;
    EXPECT_EQ(server_->GetStocuri(&errorCode, list.addressof()), E_FAIL);
    ComPtr<IErrorInfo> info;
    ASSERT_EQ(GetErrorInfo(0, info.GetAddressOf()), S_OK);
    UniqueBstr description;
    info->GetDescription(description.addressof());
    EXPECT_STREQ(description.get(), L"Eroare simulata in GetStocuri");
    EXPECT_FALSE(Rows(&Object::GetPretAchizStocuri).empty());  // the other methods work
}

// Each example request meets the demo data (FACTURA_2.TXT is refused), and so do records without a name;
// only what is accepted changes files, and a new object over the folder sees the changes.
TEST_F(Server, EveryExampleRequestMeetsTheDemoDataAndChangesOutliveTheObject) {
    const struct {
        const char* request;  // a file of examples/, or the record itself
        Change change;
        Generate generate;
        LONG ok;
        const char* counts;       // of orders, supplier orders, invoices and supplier invoices after it
        const char* errors = "";  // its refusal's
        VARTYPE type = VT_BSTR;
    } cases[] = {
        {"PARTENER_1.TXT", &Object::AddPartener, nullptr, 1, "0000"},
        {"MODIPARTENER_1.TXT", &Object::ModiPartener, nullptr, 1, "0000"},
        {"ARTICOL_1.TXT", &Object::AddArticol, nullptr, 1, "0000"},
        {";", &Object::AddPartener, nullptr, 0, "0000", "Lipseste denumirea partenerului"},
        {";", &Object::ModiPartener, nullptr, 0, "0000", "Lipseste codul intern al partenerului"},
        {";", &Object::AddArticol, nullptr, 0, "0000", "Lipseste denumirea articolului"},
        {"COMANDA_1.TXT", nullptr, &Object::GenComenzi, 1, "1000"},
        {"COMANDAFURN_1.TXT", nullptr, &Object::GenComenziFurnizori, 1, "1100", "", VT_VARIANT},
        {"FACTURA_1.TXT", nullptr, &Object::GenFacturi, 1, "1120"},
        {"FACTURA_2.TXT", nullptr, &Object::GenFacturi, 0, "1100", "Linia 11: articol necunoscut ART99"},
        {"FACTURAFURN_1.TXT", nullptr, &Object::GenFacturiFurnizori, 1, "1101"},
    };
    const Generate counts[] = {&Object::GetNrComenzi, &Object::GetNrComenziFurnizori, &Object::GetNrFacturi,
                               &Object::GetNrFacturiFurnizori};
    ASSERT_EQ(Out(&Object::SetLunaLucru, 2025, 6), 1);
    const char* refused = "";  // the errors of the last refusal, which a success keeps
    for (const auto& c : cases) {
        SCOPED_TRACE(c.request);
        const bool example = std::string_view(c.request).ends_with(".TXT");
        std::string text = example ? ReadWholeFile(VQ_EXAMPLES_DIR "/" + std::string(c.request)) : c.request;
        std::erase(text, '\r');
        const auto before = FileContents(folder_);
        if (!c.change) SetPackage(Lines(text), c.type);
        EXPECT_EQ(c.change ? Out(c.change, Text(Lines(text).at(0)).get()) : Out(c.generate), c.ok);
        std::string got;
        for (Generate count : counts) got += std::to_string(Out(count));
        EXPECT_EQ(got, c.counts);
        EXPECT_EQ(FileContents(folder_) != before, c.ok == 1);
        if (!c.ok) refused = c.errors;
        EXPECT_EQ(Errors(), Lines(refused));
    }

    Open();
    ASSERT_EQ(Out(&Object::SetLunaLucru, 2025, 6), 1);
    EXPECT_EQ(Rows(&Object::GetStocArticol, Text("A0001").get(), 0),  // 40 in the warehouse, 3 invoiced
              Lines("A0001;DEP;Depozit central;37;45.00;76.19;BUC\n"
                    "A0001;MAG1;Magazin Centru;5;45.00;76.19;BUC\n"
                    "A0001;ONL;Magazin online;8;45.00;76.19;BUC"));
    const auto partners = Rows(&Object::GetListaParteneri);
    ASSERT_EQ(partners.size(), 11u);
    EXPECT_EQ(partners.back(),
              "P0011;P0011;C2001;RO31415926;Omega Trade SRL;Craiova;Str. Unirii 5;0251123456");
}

TEST_F(Server, RegisteredDllIsCreatedThroughComAndUnregistered) {
    HMODULE dll = LoadLibraryW(L"VQDocServer.dll");
    ASSERT_NE(dll, nullptr);
    const auto call = [&](const char* name) {  // E_NOTIMPL when the DLL does not export it
        using Entry = HRESULT(STDAPICALLTYPE*)();
        const auto entry = reinterpret_cast<Entry>(reinterpret_cast<void*>(GetProcAddress(dll, name)));
        return entry ? entry() : E_NOTIMPL;
    };
    const auto registered = [] {
        return RegGetValueW(HKEY_CLASSES_ROOT,
                            L"CLSID\\{8C18CF0B-77A3-4259-9E00-A351B270204C}\\InprocServer32", nullptr,
                            RRF_RT_ANY, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
    };
    const bool registeredBefore = registered();  // another user of this prefix keeps its registration

    ASSERT_EQ(call("DllRegisterServer"), S_OK);
    ASSERT_EQ(CoCreateInstance(CLSID_CoTallyportObject, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                               IID_ITallyportObject, Slot()),
              S_OK);
    EXPECT_EQ(call("DllCanUnloadNow"), S_FALSE);
    EXPECT_EQ(server_->Reserved8(), E_NOTIMPL);
    server_.Reset();
    EXPECT_EQ(call("DllCanUnloadNow"), S_OK);
    if (!registeredBefore) {
        EXPECT_EQ(call("DllUnregisterServer"), S_OK);
        EXPECT_FALSE(registered());
        EXPECT_EQ(CoCreateInstance(CLSID_CoTallyportObject, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_ITallyportObject, Slot()),
                  REGDB_E_CLASSNOTREG);
    }
}

// Each form registered in turn: the class's server of each form in both registry views.
TEST(LocalServer, IsRegisteredInBothViewsAsTheOneForm) {
    ServiceProcess folder;
    const auto servers = [](REGSAM view) {
        std::string text;
        for (const wchar_t* form : {L"LocalServer32", L"InprocServer32"}) {
            UniqueRegKey key;
            wchar_t value[MAX_PATH] = {};
            DWORD size = sizeof value;
            RegOpenKeyExW(
                HKEY_LOCAL_MACHINE,
                (L"Software\\Classes\\CLSID\\{8C18CF0B-77A3-4259-9E00-A351B270204C}\\" + std::wstring(form))
                    .c_str(),
                0, KEY_QUERY_VALUE | view, key.addressof());
            RegGetValueW(key.get(), nullptr, nullptr, RRF_RT_REG_SZ, nullptr, value, &size);
            text += Ansi(value) + ";";
        }
        return text;
    };
    const std::string exe = "\"" + folder.exeDir + "VQDocServer.exe\";;",
                      dll = ";" + folder.exeDir + "VQDocServer.dll;";
    const REGSAM own = sizeof(void*) == 8 ? KEY_WOW64_64KEY : KEY_WOW64_32KEY;
    const struct {
        DocServerForm form;
        std::string own, other;  // the views' servers
    } steps[] = {{DocServerForm::Local, exe, exe},
                 {DocServerForm::InProcess, dll, ";;"},
                 {DocServerForm::None, ";;", ";;"}};
    for (const auto& step : steps) {
        folder.Register(step.form);
        EXPECT_EQ(servers(own), step.own);
        EXPECT_EQ(servers(own ^ KEY_WOW64_64KEY ^ KEY_WOW64_32KEY), step.other);
    }
}

// VQDocServer.exe of this kind of program, then of the other kind when its build is there, makes an
// object with each row's settings: a month asked for, a pause, a month and an order through the
// marshaled interface. What the calls gave, the orders written, the ExitCount left; then a new
// object without settings answers a query (text and number in, a list out).
TEST_F(Server, LocalServerOfEitherKindServesIsBusyOrEndsAsItsSettingsSay) {
    const HRESULT failed = HRESULT_FROM_WIN32(RPC_S_CALL_FAILED),
                  gone = HRESULT_FROM_WIN32(RPC_S_SERVER_UNAVAILABLE);
    const struct {
        const char* settings;
        HRESULT month;
        DWORD pauseMs;
        HRESULT order;
        bool written;
        int exitCount = -1;  // none
    } cases[] = {
        {"", S_OK, 0, S_OK, true},
        {"BusyMs=1500", RPC_E_CALL_REJECTED, 1500, S_OK, true},
        {"ExitInMethod=GenComenzi", S_OK, 0, failed, false},
        {"ExitInMethod=gencomenzi\r\nExitAfterWrite=1", S_OK, 0, failed, true},
        {"ExitInMethod=GenComenzi\r\nExitCount=1", S_OK, 0, failed, false, 0},
        {"ExitInMethod=GenComenzi\r\nExitCount=0", S_OK, 0, S_OK, true, 0},
        {"ExitIdleMs=500", S_OK, 1500, gone, false},
    };
    for (const std::string bin : {"", VQ_OTHER_BIN}) {
        if (!bin.empty() && !FileExists(bin + "/VQDocServer.exe")) GTEST_SKIP() << "no " << bin;
        ServiceProcess folder(DocServerForm::Local, bin);
        const std::string orders = folder.exeDir + "VQDocServerData\\DEMO\\COMENZI.TXT";
        for (const auto& c : cases) {
            SCOPED_TRACE(bin + c.settings);
            folder.WriteServerIni("[Test]\r\n" + std::string(c.settings) + "\r\n");
            ASSERT_EQ(OpenLocal(), S_OK);
            const std::vector<DWORD> process = folder.ServerProcesses();
            LONG ok = 0;
            EXPECT_EQ(server_->SetLunaLucru(2025, 6, &ok), c.month);
            Sleep(c.pauseMs);
            const std::string before = ReadShared(orders);
            HRESULT order = server_->SetLunaLucru(2025, 6, &ok);
            if (SUCCEEDED(order)) {
                SetPackage(June("[Document]|Data=10.06.2025|Partener=P0001|Gestiune=DEP|Articol=A0005;1"));
                order = server_->GenComenzi(&ok);
            }
            EXPECT_EQ(order, c.order);
            EXPECT_EQ(ReadShared(orders) != before, c.written);
            EXPECT_EQ(GetPrivateProfileIntW(L"Test", L"ExitCount", -1,
                                            Wide(folder.exeDir + "VQDocServer.ini").c_str()),
                      c.exitCount);
            folder.WriteServerIni("");
            ASSERT_EQ(OpenLocal(), S_OK);
            EXPECT_EQ(folder.ServerProcesses() != process, FAILED(c.order));  // a new one
            EXPECT_EQ(Out(&Object::SetLunaLucru, 2025, 6), 1);
            EXPECT_EQ(Rows(&Object::GetStocArticol, Text("A0001").get(), 0).size(), 3u);
            server_.Reset();
        }
    }
}

}  // namespace
}  // namespace docserver
