// The COM object in process over a fresh data folder, the DLL's exports, each form's registration.
#include "Book.h"
#include "ComText.h"
#include "DocServer.h"
#include "support/BrokerFixture.h"

#include <gtest/gtest.h>

namespace docserver {
namespace {

using Object = ITallyportObject;

class Server : public ::testing::Test {
protected:
    void SetUp() override {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        options_.dataFolder = Wide(MakeTempFolder("docserver"));
        Open();
    }
    void TearDown() override {
        server_.reset();
        RemoveFolder(Ansi(options_.dataFolder));
        CoUninitialize();
    }

    void** Slot() { return reinterpret_cast<void**>(server_.addressof()); }  // for a new object
    void Open() { ASSERT_EQ(CreateDocServer(options_, IID_ITallyportObject, Slot()), S_OK); }
    // What a method that must succeed gives back in its last argument: a flag (1 done, 0 refused) or a count.
    template <class Method, class... Arguments>
    LONG Out(Method method, Arguments... arguments) {
        LONG value = -1;
        EXPECT_EQ((server_.get()->*method)(arguments..., &value), S_OK);
        return value;
    }
    TextList Errors() {
        UniqueVariant list;
        EXPECT_EQ(server_->GetListaErori(list.addressof()), S_OK);
        EXPECT_EQ(list.get().vt, VT_ARRAY | VT_BSTR);
        return FromList(list.get());
    }

    ServerOptions options_;
    ComRef<Object> server_;
};

TEST_F(Server, BadCallsAreAnswered) {
    LONG errorCode = 0;
    UniqueVariant list;
    EXPECT_EQ(server_->SetLunaLucru(2025, 6, nullptr), E_POINTER);
    EXPECT_EQ(server_->GetStocuri(nullptr, list.addressof()), E_POINTER);
    EXPECT_EQ(server_->GetStocuri(&errorCode, nullptr), E_POINTER);
    EXPECT_EQ(server_->GetListaErori(nullptr), E_POINTER);
    EXPECT_EQ(server_->Reserved7(), E_NOTIMPL);
    EXPECT_EQ(server_->Reserved138(), E_NOTIMPL);
    UINT count = 5;
    EXPECT_EQ(server_->GetTypeInfoCount(&count), S_OK);
    EXPECT_EQ(count, 0u);
    EXPECT_TRUE(Errors().empty());  // nothing refused yet: an empty list
}

// The service logs the errors of the month it could not set.
TEST_F(Server, QueriesNeedAWorkingMonthOf2000To2099) {
    LONG errorCode = 0;
    UniqueVariant list;
    ASSERT_EQ(server_->GetStocuri(&errorCode, list.addressof()), S_OK);
    EXPECT_EQ(errorCode, QueryNoMonth);
    EXPECT_EQ(list.get().vt, VT_EMPTY);
    EXPECT_EQ(Errors(), TextList{"Nu este selectata luna de lucru"});
    const LONG months[][3] = {
        // clang-format off
        {2025, 13, 0},
        {1999, 5, 0},
        {2025, 12, 1},
        {2000, 1, 1},
        {0, 0, 0},
        // clang-format on
    };
    for (const auto& m : months)
        EXPECT_EQ(Out(&Object::SetLunaLucru, m[0], m[1]), m[2]) << m[0] << '.' << m[1];
    EXPECT_EQ(Errors(), (TextList{"An de lucru invalid 0 (2000-2099)", "Luna de lucru invalida 0 (1-12)"}));
}

TEST_F(Server, CompanyIsChosenByCodeOrName) {
    const std::pair<const char*, LONG> companies[] = {
        {"Alta SRL", 0},
        {"", 0},
        {"DEMO", 1},
        {"firma demo srl", 1},
    };
    for (const auto& [name, ok] : companies)
        EXPECT_EQ(Out(&Object::SetFirmaLucru, MakeBstr(name).get()), ok) << name;
    EXPECT_EQ(Errors(), TextList{"Firma necunoscuta "});  // the last refusal's, kept by the successes
}

// Wide text comes back as it was given; the tables hold it as UTF-8.
TEST_F(Server, WideTextIsKeptUnchanged) {
    const std::string name = "\xC8\x98\x65rban \xC8\x9Aurcanu \xF0\x9F\x98\x80";
    EXPECT_EQ(Out(&Object::AddPartener, MakeBstr(";C9;;" + name, TextEncoding::Utf8).get()), 1);
    EXPECT_EQ(Out(&Object::SetLunaLucru, 2025, 6), 1);
    UniqueVariant list;
    LONG code = 0;
    server_->GetListaParteneri(&code, list.addressof());
    EXPECT_EQ(FromList(list.get()).at(10), "P0011;P0011;C9;;" + name + ";;;");
    EXPECT_NE(ReadWholeFile(options_.dataFolder + L"\\DEMO\\PARTENERI.TXT").find(name),
              std::string::npos);
}

TEST_F(Server, SimulatedFaultFailsWithItsDescription) {
    options_.failMethod = L"getstocuri";
    Open();
    LONG errorCode = 0;
    UniqueVariant list;
    EXPECT_EQ(server_->GetStocuri(&errorCode, list.addressof()), E_FAIL);
    ComRef<IErrorInfo> info;
    ASSERT_EQ(GetErrorInfo(0, info.addressof()), S_OK);
    UniqueBstr description;
    info->GetDescription(description.addressof());
    EXPECT_STREQ(description.get(), L"Eroare simulata in GetStocuri");
}

// Its class object makes the class only; unloadable once its object is gone; unregistered, unknown to COM.
TEST_F(Server, DllExportsServeTheClassAndRegisterIt) {
    ServiceProcess folder(DocServerForm::InProcess);
    const HMODULE dll = LoadLibraryW(Wide(folder.exeDir + "VQDocServer.dll").c_str());
    const auto call = [&](const char* name) {
        return reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(
            reinterpret_cast<void*>(GetProcAddress(dll, name)))();
    };
    const auto classObject = reinterpret_cast<HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**)>(
        reinterpret_cast<void*>(GetProcAddress(dll, "DllGetClassObject")));
    ASSERT_NE(classObject, nullptr);
    ComRef<IClassFactory> factory;
    EXPECT_EQ(classObject(CLSID_CoTallyportObject, IID_IClassFactory,
                          reinterpret_cast<void**>(factory.addressof())),
              S_OK);
    EXPECT_EQ(classObject(IID_ITallyportObject, IID_IClassFactory, Slot()), CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(classObject(CLSID_CoTallyportObject, IID_IClassFactory, nullptr), E_POINTER);
    ASSERT_TRUE(factory);
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_ITallyportObject, Slot()), S_OK);
    EXPECT_EQ(call("DllCanUnloadNow"), S_FALSE);
    server_.reset();
    EXPECT_EQ(call("DllCanUnloadNow"), S_OK);
    EXPECT_EQ(call("DllUnregisterServer"), S_OK);
    EXPECT_EQ(CoCreateInstance(CLSID_CoTallyportObject, nullptr, CLSCTX_INPROC_SERVER, IID_ITallyportObject,
                               Slot()),
              REGDB_E_CLASSNOTREG);
}

// Released and asked for again within its idle wait, the same process serves.
TEST_F(Server, LocalServerAskedAgainDuringItsIdleWaitServes) {
    ServiceProcess folder(DocServerForm::Local);
    const auto make = [&] {
        return CoCreateInstance(CLSID_CoTallyportObject, nullptr, CLSCTX_LOCAL_SERVER, IID_ITallyportObject, Slot());
    };
    ASSERT_EQ(make(), S_OK);
    const std::vector<DWORD> first = folder.ServerProcesses();
    server_.reset();
    Sleep(1500);
    EXPECT_EQ(make(), S_OK);
    EXPECT_EQ(folder.ServerProcesses(), first);
    server_.reset();
}

// Each form registered in turn: the class's local and in-process servers in each registry view;
// the machine's registration removes a user's own.
TEST(Registration, EachFormIsTheOneRegisteredInItsViews) {
    ServiceProcess folder;
    const wchar_t* userKey = L"Software\\Classes\\CLSID\\{8C18CF0B-77A3-4259-9E00-A351B270204C}";
    UniqueRegKey user;
    ASSERT_EQ(RegCreateKeyW(HKEY_CURRENT_USER, userKey, user.addressof()), ERROR_SUCCESS);
    const auto servers = [](REGSAM view) {
        std::string text;
        for (const wchar_t* form : {L"LocalServer32", L"InprocServer32"}) {
            const std::wstring key = L"Software\\Classes\\CLSID\\{8C18CF0B-77A3-4259-9E00-A351B270204C}\\";
            UniqueRegKey opened;
            wchar_t value[MAX_PATH] = {};
            DWORD size = sizeof value;
            RegOpenKeyExW(HKEY_LOCAL_MACHINE, (key + form).c_str(), 0, KEY_QUERY_VALUE | view,
                          opened.addressof());
            RegGetValueW(opened.get(), nullptr, nullptr, RRF_RT_REG_SZ, nullptr, value, &size);
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
    } steps[] = {
        {DocServerForm::Local, exe, exe},
        {DocServerForm::InProcess, dll, ";;"},
        {DocServerForm::None, ";;", ";;"},
    };
    for (const auto& step : steps) {
        folder.Register(step.form);
        EXPECT_EQ(servers(own), step.own);
        EXPECT_EQ(servers(own ^ KEY_WOW64_64KEY ^ KEY_WOW64_32KEY), step.other);
    }
    EXPECT_EQ(RegOpenKeyW(HKEY_CURRENT_USER, userKey, user.addressof()), ERROR_FILE_NOT_FOUND);
}

// The service passes the lines as strings; some callers pass them as variants.
TEST_F(Server, PackageLinesMayComeAsAnArrayOfVariants) {
    UniqueVariant list;
    FillList(FakeList::OfVariants(SplitTextLines(kOneOrder)), list.addressof());
    EXPECT_EQ(Out(&Object::SetLunaLucru, 2025, 6), 1);
    ASSERT_EQ(server_->SetPachet(list.get()), S_OK);
    EXPECT_EQ(Out(&Object::GenComenzi), 1);
}

}  // namespace
}  // namespace docserver
