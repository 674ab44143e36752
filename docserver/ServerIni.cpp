// VQDocServer.ini beside the module.
#include "ServerIni.h"

namespace docserver {
namespace {

std::wstring IniText(const std::wstring& ini, const wchar_t* section, const wchar_t* key) {
    wchar_t value[1024] = {};
    GetPrivateProfileStringW(section, key, L"", value, 1024, ini.c_str());
    return value;
}

unsigned IniNumber(const std::wstring& ini, const wchar_t* key, unsigned otherwise = 0) {
    return GetPrivateProfileIntW(L"Test", key, int(otherwise), ini.c_str());
}

}  // namespace

std::wstring ModulePath(HMODULE module) {
    std::wstring path(32768, L'\0');  // the longest path Windows allows
    path.resize(GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size())));
    return path;
}

std::wstring IniPath(HMODULE module) {
    const std::wstring path = ModulePath(module);
    return path.substr(0, path.find_last_of(L"\\/")) + L"\\VQDocServer.ini";
}

// [Date] Director= names the data folder (absolute, or relative to the module's folder);
// [Test] FailMethod= and FailText= make one method fail, for fault tests; WaitMethods= and
// WaitMs= make methods serve the caller's messages a while, as a busy server does; the rest
// make the local server's process busy or end.
ServerOptions ReadOptions(HMODULE module) {
    const std::wstring ini = IniPath(module);
    const std::wstring folder = ini.substr(0, ini.find_last_of(L'\\'));
    std::wstring data = IniText(ini, L"Date", L"Director");
    if (data.empty())
        data = folder + L"\\VQDocServerData";
    else if (data.size() < 2 || (data[1] != L':' && data[0] != L'\\'))
        data = folder + L"\\" + data;
    return {.dataFolder = data,
            .failMethod = IniText(ini, L"Test", L"FailMethod"),
            .failText = IniText(ini, L"Test", L"FailText"),
            .waitMethods = IniText(ini, L"Test", L"WaitMethods"),
            .waitMs = IniNumber(ini, L"WaitMs", 2000),
            .busyMs = IniNumber(ini, L"BusyMs"),
            .exitInMethod = IniText(ini, L"Test", L"ExitInMethod"),
            .exitAfterWrite = IniNumber(ini, L"ExitAfterWrite") != 0,
            .exitIdleMs = IniNumber(ini, L"ExitIdleMs")};
}

}  // namespace docserver
