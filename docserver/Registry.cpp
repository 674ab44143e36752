// Self-registration: CLSID\{...}\InprocServer32 under Software\Classes of HKLM, or of HKCU without rights.
#include "Registry.h"

#include <utility>

namespace docserver {

namespace {

constexpr wchar_t ClassKey[] = L"Software\\Classes\\CLSID\\{8C18CF0B-77A3-4259-9E00-A351B270204C}";

class UniqueKey {
public:
    UniqueKey() = default;
    UniqueKey(const UniqueKey&) = delete;
    UniqueKey& operator=(const UniqueKey&) = delete;
    ~UniqueKey() { reset(); }

    HKEY get() const noexcept { return value_; }
    HKEY* addressof() noexcept { reset(); return &value_; }
    void reset() noexcept
    {
        if (HKEY old = std::exchange(value_, nullptr))
            RegCloseKey(old);
    }

private:
    HKEY value_ = nullptr;
};

LSTATUS SetText(HKEY key, const wchar_t* name, const std::wstring& value)
{
    return RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                          static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

LSTATUS RegisterUnder(HKEY root, const std::wstring& dllPath)
{
    UniqueKey classKey;
    UniqueKey serverKey;
    LSTATUS status = RegCreateKeyExW(root, ClassKey, 0, nullptr, 0, KEY_WRITE, nullptr, classKey.addressof(), nullptr);
    if (status == ERROR_SUCCESS)
        status = SetText(classKey.get(), nullptr, L"CoTallyportObject");
    if (status == ERROR_SUCCESS)
        status = RegCreateKeyExW(classKey.get(), L"InprocServer32", 0, nullptr, 0, KEY_WRITE, nullptr,
                                 serverKey.addressof(), nullptr);
    if (status == ERROR_SUCCESS)
        status = SetText(serverKey.get(), nullptr, dllPath);
    if (status == ERROR_SUCCESS)
        status = SetText(serverKey.get(), L"ThreadingModel", L"Apartment");
    return status;
}

}  // namespace

HRESULT RegisterServer(const std::wstring& dllPath)
{
    LSTATUS status = RegisterUnder(HKEY_LOCAL_MACHINE, dllPath);
    if (status == ERROR_ACCESS_DENIED)
        status = RegisterUnder(HKEY_CURRENT_USER, dllPath);
    return HRESULT_FROM_WIN32(status);
}

HRESULT UnregisterServer()
{
    HRESULT result = S_OK;
    for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
        const LSTATUS status = RegDeleteTreeW(root, ClassKey);
        if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND && status != ERROR_ACCESS_DENIED)
            result = HRESULT_FROM_WIN32(status);
    }
    return result;
}

}  // namespace docserver
