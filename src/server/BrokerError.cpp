// The service's one error type, and the turning of a failing HRESULT into it.
#include "server/BrokerError.h"

#include <oleauto.h>

#include <cstdio>

#include "server/AnsiText.h"
#include "server/ComOwners.h"

std::string SystemMessage(DWORD code) {
    wchar_t* buffer = nullptr;
    DWORD length = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                      FORMAT_MESSAGE_IGNORE_INSERTS,
                                  nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text(buffer ? buffer : L"", length);
    LocalFree(buffer);
    // System texts end in CR LF (and sometimes a blank), which must not reach a log line.
    while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' '))
        text.pop_back();
    return Ansi(text);
}

namespace {

std::string ErrorInfoDescription() {
    ComRef<IErrorInfo> info;
    if (GetErrorInfo(0, info.addressof()) != S_OK || !info) return {};
    UniqueBstr description;
    if (FAILED(info->GetDescription(description.addressof())) || !description.get()) return {};
    return Ansi(description.get());
}

}  // namespace

std::string OleErrorText(HRESULT hr) {
    std::string text = ErrorInfoDescription();
    if (text.empty()) text = SystemMessage(DWORD(hr));
    if (text.empty()) {
        char buffer[32];
        std::snprintf(buffer, sizeof buffer, "OLE error %.8lX", static_cast<unsigned long>(hr));
        text = buffer;
    }
    return text;
}

void ThrowFileError(const std::string& what, const std::string& path) {
    DWORD code = GetLastError();
    std::string text = what + " \"" + path + "\"";
    std::string system = SystemMessage(code);
    throw BrokerError(system.empty() ? text : text + ". " + system);
}
