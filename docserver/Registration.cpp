// The class's registry keys. The EXE is registered in both registry views, so that a 32-bit
// and a 64-bit caller alike start it (the usual case: a 64-bit VQBroker and a 32-bit server on
// 64-bit Windows); the DLL in its own view only, the one whose programs can load it.
#include "Registration.h"

#include "base/Owners.h"

#include <vector>

namespace docserver {
namespace {

const std::wstring kClass = L"Software\\Classes\\CLSID\\{8C18CF0B-77A3-4259-9E00-A351B270204C}";
const std::wstring kInterface = L"Software\\Classes\\Interface\\{A7603F00-85CA-4EC0-974D-DF849CCCC61F}";
const std::wstring kLibrary = std::wstring(L"Software\\Classes\\TypeLib\\") + kLibraryId;

// Both views for the EXE (one and the same on 32-bit Windows), the program's own for the DLL.
std::vector<REGSAM> Views(ServerForm form) {
    return form == ServerForm::Local ? std::vector<REGSAM>{KEY_WOW64_64KEY, KEY_WOW64_32KEY}
                                     : std::vector<REGSAM>{0};
}

struct Value {
    std::wstring key;
    const wchar_t* name;  // null: the key's default value
    std::wstring text;
};

// The type library of each kind of program: the EXE's own kind is its first, the other its second.
std::wstring LibraryOfKind(const std::wstring& path, bool win64) {
    return win64 == (sizeof(void*) == 8) ? path : path + L"\\2";
}

std::vector<Value> InProcessValues(const std::wstring& path) {
    return {{kClass, nullptr, L"CoTallyportObject"},
            {kClass + L"\\InprocServer32", nullptr, path},
            {kClass + L"\\InprocServer32", L"ThreadingModel", L"Apartment"}};
}

// The interface is marshaled by the system's automation marshaler from the EXE's type library.
std::vector<Value> LocalValues(const std::wstring& path) {
    const std::wstring version = kLibrary + L"\\1.0";
    return {{kClass, nullptr, L"CoTallyportObject"},
            {kClass + L"\\LocalServer32", nullptr, L"\"" + path + L"\""},  // Program Files has blanks
            {kInterface, nullptr, L"ITallyportObject"},
            {kInterface + L"\\ProxyStubClsid32", nullptr, L"{00020424-0000-0000-C000-000000000046}"},
            {kInterface + L"\\TypeLib", nullptr, kLibraryId},
            {kInterface + L"\\TypeLib", L"Version", L"1.0"},
            {version, nullptr, L"VQDocServer 1.0 Type Library"},
            {version + L"\\0\\win32", nullptr, LibraryOfKind(path, false)},
            {version + L"\\0\\win64", nullptr, LibraryOfKind(path, true)},
            {version + L"\\FLAGS", nullptr, L"0"},
            {version + L"\\HELPDIR", nullptr, path.substr(0, path.find_last_of(L'\\'))}};
}

LSTATUS Write(HKEY root, REGSAM view, const Value& value) {
    UniqueRegKey key;
    LSTATUS status = RegCreateKeyExW(root, value.key.c_str(), 0, nullptr, 0, KEY_SET_VALUE | view, nullptr,
                                     key.addressof(), nullptr);
    if (status == ERROR_SUCCESS)
        status = RegSetValueExW(key.get(), value.name, 0, REG_SZ,
                                reinterpret_cast<const BYTE*>(value.text.c_str()),
                                DWORD((value.text.size() + 1) * sizeof(wchar_t)));
    return status;
}

// A key with all below it, in one view; one that is not there is no error. RegDeleteTree
// alone would open the key in the program's own view.
LSTATUS Delete(HKEY root, REGSAM view, const std::wstring& path) {
    UniqueRegKey key;
    LSTATUS status = RegOpenKeyExW(root, path.c_str(), 0, KEY_ALL_ACCESS | view, key.addressof());
    if (status == ERROR_SUCCESS) status = RegDeleteTreeW(key.get(), nullptr);
    if (status == ERROR_SUCCESS) status = RegDeleteKeyExW(root, path.c_str(), view, 0);
    return status == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : status;
}

// One form serves at a time: each removes the other's server key.
LSTATUS RegisterUnder(HKEY root, ServerForm form, const std::wstring& path) {
    const bool local = form == ServerForm::Local;
    LSTATUS status = ERROR_SUCCESS;
    for (REGSAM view : Views(ServerForm::Local))
        if (status == ERROR_SUCCESS)
            status = Delete(root, view, kClass + (local ? L"\\InprocServer32" : L"\\LocalServer32"));
    for (REGSAM view : Views(form))
        for (const Value& value : local ? LocalValues(path) : InProcessValues(path))
            if (status == ERROR_SUCCESS) status = Write(root, view, value);
    return status;
}

// Whether root holds the class's server key of that name ("\\InprocServer32") in either view.
bool Holds(HKEY root, const wchar_t* server) {
    for (REGSAM view : Views(ServerForm::Local)) {
        UniqueRegKey key;
        if (RegOpenKeyExW(root, (kClass + server).c_str(), 0, KEY_QUERY_VALUE | view, key.addressof()) ==
            ERROR_SUCCESS)
            return true;
    }
    return false;
}

}  // namespace

// Exactly one form serves the user who registers, or the result says why not: a machine's
// registration removes the class's per-user keys, which would override it for their user, and
// a user's own cannot stand beside the machine's other form, which that user cannot remove.
HRESULT RegisterServer(ServerForm form, const std::wstring& path) {
    LSTATUS status = RegisterUnder(HKEY_LOCAL_MACHINE, form, path);
    if (status == ERROR_SUCCESS) {
        for (REGSAM view : Views(ServerForm::Local))
            if (status == ERROR_SUCCESS) status = Delete(HKEY_CURRENT_USER, view, kClass);
        return HRESULT_FROM_WIN32(status);
    }
    if (status != ERROR_ACCESS_DENIED) return HRESULT_FROM_WIN32(status);
    status = RegisterUnder(HKEY_CURRENT_USER, form, path);
    const wchar_t* other = form == ServerForm::Local ? L"\\InprocServer32" : L"\\LocalServer32";
    if (status == ERROR_SUCCESS && Holds(HKEY_LOCAL_MACHINE, other)) status = ERROR_ACCESS_DENIED;
    return HRESULT_FROM_WIN32(status);
}

// A user who may not write a place cannot have registered there: no error.
HRESULT UnregisterServer(ServerForm form) {
    const std::vector<std::wstring> keys =
        form == ServerForm::Local ? std::vector{kClass, kInterface, kLibrary} : std::vector{kClass};
    HRESULT result = S_OK;
    for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER})
        for (REGSAM view : Views(form))
            for (const std::wstring& key : keys)
                if (const LSTATUS status = Delete(root, view, key);
                    status != ERROR_SUCCESS && status != ERROR_ACCESS_DENIED)
                    result = HRESULT_FROM_WIN32(status);
    return result;
}

}  // namespace docserver
