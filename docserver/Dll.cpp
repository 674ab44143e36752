// The DLL's exports: the class factory, unloading, registration; and VQDocServer.ini beside the DLL.
#include "DocServer.h"
#include "Registry.h"

#include <string>

namespace {

HMODULE Module = nullptr;
std::atomic<long> Locks{0};

std::wstring ModulePath()
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(Module, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

std::wstring Folder(const std::wstring& path)
{
    return path.substr(0, path.find_last_of(L"\\/"));
}

std::wstring IniText(const std::wstring& ini, const wchar_t* section, const wchar_t* key)
{
    wchar_t value[1024] = {};
    GetPrivateProfileStringW(section, key, L"", value, 1024, ini.c_str());
    return value;
}

// [Date] Director= names the data folder (relative to the DLL's folder, or absolute);
// [Test] FailMethod= and FailText= make one method fail, for fault tests.
docserver::ServerOptions ReadOptions()
{
    const std::wstring folder = Folder(ModulePath());
    const std::wstring ini = folder + L"\\VQDocServer.ini";
    docserver::ServerOptions options;
    options.dataFolder = IniText(ini, L"Date", L"Director");
    const bool absolute = options.dataFolder.size() > 1 && (options.dataFolder[1] == L':' || options.dataFolder[0] == L'\\');
    if (options.dataFolder.empty())
        options.dataFolder = folder + L"\\VQDocServerData";
    else if (!absolute)
        options.dataFolder = folder + L"\\" + options.dataFolder;
    options.failMethod = IniText(ini, L"Test", L"FailMethod");
    options.failText = IniText(ini, L"Test", L"FailText");
    return options;
}

// The one factory lives as long as the DLL; its references do not count.
class Factory final : public IClassFactory {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        *object = (iid == IID_IUnknown || iid == IID_IClassFactory) ? static_cast<IClassFactory*>(this) : nullptr;
        return *object ? S_OK : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override
    {
        if (outer)
            return CLASS_E_NOAGGREGATION;
        return docserver::CreateDocServer(ReadOptions(), iid, object);
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override
    {
        lock ? ++Locks : --Locks;
        return S_OK;
    }
};

Factory TheFactory;

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) {
        Module = instance;
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (clsid != CLSID_CoTallyportObject)
        return CLASS_E_CLASSNOTAVAILABLE;
    return TheFactory.QueryInterface(iid, object);
}

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow()
{
    return docserver::LiveObjects == 0 && Locks == 0 ? S_OK : S_FALSE;
}

extern "C" HRESULT STDAPICALLTYPE DllRegisterServer()
{
    return docserver::RegisterServer(ModulePath());
}

extern "C" HRESULT STDAPICALLTYPE DllUnregisterServer()
{
    return docserver::UnregisterServer();
}
