// The built DLL registers itself, is created through COM, and unregisters.
#include "server/Tallyport.h"

#include <gtest/gtest.h>

namespace {

using Entry = HRESULT(STDAPICALLTYPE*)();

bool Registered() {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, L"CLSID\\{8C18CF0B-77A3-4259-9E00-A351B270204C}\\InprocServer32", 0,
                      KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

TEST(Registration, RegisteredDllIsCreatedThroughComAndUnregistered) {
    HMODULE dll = LoadLibraryW(L"VQDocServer.dll");
    ASSERT_NE(dll, nullptr);
    const auto registerServer =
        reinterpret_cast<Entry>(reinterpret_cast<void*>(GetProcAddress(dll, "DllRegisterServer")));
    const auto unregisterServer =
        reinterpret_cast<Entry>(reinterpret_cast<void*>(GetProcAddress(dll, "DllUnregisterServer")));
    const auto canUnload =
        reinterpret_cast<Entry>(reinterpret_cast<void*>(GetProcAddress(dll, "DllCanUnloadNow")));
    ASSERT_TRUE(registerServer && unregisterServer && canUnload && GetProcAddress(dll, "DllGetClassObject"));
    const bool registeredBefore = Registered();  // another user of this prefix keeps its registration

    ASSERT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_OK);
    ASSERT_EQ(registerServer(), S_OK);
    ITallyportObject* server = nullptr;
    ASSERT_EQ(CoCreateInstance(CLSID_CoTallyportObject, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                               IID_ITallyportObject, reinterpret_cast<void**>(&server)),
              S_OK);
    EXPECT_EQ(canUnload(), S_FALSE);
    EXPECT_EQ(server->Reserved8(), E_NOTIMPL);
    server->Release();
    EXPECT_EQ(canUnload(), S_OK);

    if (!registeredBefore) {
        EXPECT_EQ(unregisterServer(), S_OK);
        EXPECT_FALSE(Registered());
        EXPECT_EQ(CoCreateInstance(CLSID_CoTallyportObject, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_ITallyportObject, reinterpret_cast<void**>(&server)),
                  REGDB_E_CLASSNOTREG);
    }
    CoUninitialize();
}

}  // namespace
