// The DLL's exports: the class factory, unloading, self-registration; and VQDocServer.ini beside the DLL.
#include "DocServer.h"

#include <string>

namespace {

HMODULE Module = nullptr;
std::atomic<long> Locks{0};

constexpr wchar_t ClassKey[] = L"Software\\Classes\\CLSID\\{8C18CF0B-77A3-4259-9E00-A351B270204C}";
constexpr wchar_t ServerKey[] =
    L"Software\\Classes\\CLSID\\{8C18CF0B-77A3-4259-9E00-A351B270204C}\\InprocServer32";

std::wstring ModulePath() {
    std::wstring path(32768, L'\0');  // the longest path Windows allows
    path.resize(GetModuleFileNameW(Module, path.data(), static_cast<DWORD>(path.size())));
    return path;
}

std::wstring IniText(const std::wstring& ini, const wchar_t* section, const wchar_t* key) {
    wchar_t value[1024] = {};
    GetPrivateProfileStringW(section, key, L"", value, 1024, ini.c_str());
    return value;
}

// [Date] Director= names the data folder (absolute, or relative to the DLL's folder);
// [Test] FailMethod= and FailText= make one method fail, for fault tests; WaitMethods= and
// WaitMs= make methods serve the caller's messages a while, as a busy server does.
docserver::ServerOptions ReadOptions() {
    const std::wstring path = ModulePath();
    const std::wstring folder = path.substr(0, path.find_last_of(L"\\/"));
    const std::wstring ini = folder + L"\\VQDocServer.ini";
    std::wstring data = IniText(ini, L"Date", L"Director");
    if (data.empty())
        data = folder + L"\\VQDocServerData";
    else if (data.size() < 2 || (data[1] != L':' && data[0] != L'\\'))
        data = folder + L"\\" + data;
    return {data, IniText(ini, L"Test", L"FailMethod"), IniText(ini, L"Test", L"FailText"),
            IniText(ini, L"Test", L"WaitMethods"),
            GetPrivateProfileIntW(L"Test", L"WaitMs", 2000, ini.c_str())};
}

LSTATUS SetText(HKEY root, const wchar_t* key, const wchar_t* name, const std::wstring& value) {
    return RegSetKeyValueW(root, key, name, REG_SZ, value.c_str(),
                           static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

// CLSID\{...}\InprocServer32 under Software\Classes of `root`.
LSTATUS RegisterUnder(HKEY root, const std::wstring& dllPath) {
    HKEY key = nullptr;
    LSTATUS status = RegCreateKeyExW(root, ServerKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr);
    if (status != ERROR_SUCCESS) return status;
    RegCloseKey(key);
    status = SetText(root, ClassKey, nullptr, L"CoTallyportObject");
    if (status == ERROR_SUCCESS) status = SetText(root, ServerKey, nullptr, dllPath);
    return status == ERROR_SUCCESS ? SetText(root, ServerKey, L"ThreadingModel", L"Apartment") : status;
}

// The one factory lives as long as the DLL; its references do not count.
class Factory final : public IClassFactory {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (!object) return E_POINTER;
        *object =
            (iid == IID_IUnknown || iid == IID_IClassFactory) ? static_cast<IClassFactory*>(this) : nullptr;
        return *object ? S_OK : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override {
        return outer ? CLASS_E_NOAGGREGATION : docserver::CreateDocServer(ReadOptions(), iid, object);
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
        lock ? ++Locks : --Locks;
        return S_OK;
    }
};

Factory TheFactory;

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        Module = instance;
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid, void** object) {
    if (object) *object = nullptr;
    return !object                            ? E_POINTER
           : clsid != CLSID_CoTallyportObject ? CLASS_E_CLASSNOTAVAILABLE
                                              : TheFactory.QueryInterface(iid, object);
}

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow() {
    return docserver::LiveObjects == 0 && Locks == 0 ? S_OK : S_FALSE;
}

// For every user when allowed, else for the current user only.
extern "C" HRESULT STDAPICALLTYPE DllRegisterServer() {
    LSTATUS status = RegisterUnder(HKEY_LOCAL_MACHINE, ModulePath());
    if (status == ERROR_ACCESS_DENIED) status = RegisterUnder(HKEY_CURRENT_USER, ModulePath());
    return HRESULT_FROM_WIN32(status);
}

// Removes the class from both places; a class that is not registered is no error.
extern "C" HRESULT STDAPICALLTYPE DllUnregisterServer() {
    HRESULT result = S_OK;
    for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
        const LSTATUS status = RegDeleteTreeW(root, ClassKey);
        if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND && status != ERROR_ACCESS_DENIED)
            result = HRESULT_FROM_WIN32(status);
    }
    return result;
}
