// The DLL's exports: the class factory, unloading, self-registration.
#include "DocServer.h"
#include "Factory.h"
#include "Registration.h"
#include "ServerIni.h"

namespace {

HMODULE Module = nullptr;
docserver::Factory TheFactory([](REFIID iid, void** object) {
    return docserver::CreateDocServer(docserver::ReadOptions(Module), iid, object);
});

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
    return docserver::LiveObjects == 0 && TheFactory.locks == 0 ? S_OK : S_FALSE;
}

// For every user when allowed, else for the current user only; the EXE's registration gives way.
extern "C" HRESULT STDAPICALLTYPE DllRegisterServer() {
    return docserver::RegisterServer(docserver::ServerForm::InProcess, docserver::ModulePath(Module));
}

// A class that is not registered is no error.
extern "C" HRESULT STDAPICALLTYPE DllUnregisterServer() {
    return docserver::UnregisterServer(docserver::ServerForm::InProcess);
}
