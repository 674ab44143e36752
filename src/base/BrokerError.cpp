// The service's one error type, and the turning of a failing HRESULT into it.
#include "base/BrokerError.h"

#include <oleauto.h>

#include <cstdio>

#include "base/AnsiText.h"
#include "base/Owners.h"

std::string SystemMessage(DWORD code) {
    wchar_t* buffer = nullptr;
    DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text(buffer ? buffer : L"", length);
    LocalFree(buffer);
    // System texts end in CR LF (and sometimes a blank), which must not reach a log line.
    while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' '))
        text.pop_back();
    return Ansi(text);
}

namespace {

bool LeavesErrorInfo(IUnknown* object, REFIID iid) {
    ComRef<ISupportErrorInfo> support;
    return object &&
           SUCCEEDED(object->QueryInterface(IID_ISupportErrorInfo,
                                            reinterpret_cast<void**>(support.addressof()))) &&
           support->InterfaceSupportsErrorInfo(iid) == S_OK;
}

// The error object is taken off the thread in any case, so that a description left by an
// earlier call is never reported for a later failure.
std::string ErrorInfoDescription(bool trusted) {
    ComRef<IErrorInfo> info;
    if (GetErrorInfo(0, info.addressof()) != S_OK || !info || !trusted) return {};
    UniqueBstr description;
    if (FAILED(info->GetDescription(description.addressof())) || !description.get()) return {};
    return Ansi(BstrText(description.get()));
}

}  // namespace

std::string OleErrorText(HRESULT hr, IUnknown* object, REFIID iid) {
    std::string text = ErrorInfoDescription(LeavesErrorInfo(object, iid));
    if (text.empty()) text = SystemMessage(DWORD(hr));
    if (text.empty()) {
        char buffer[32];
        std::snprintf(buffer, sizeof buffer, "OLE error %.8lX", static_cast<unsigned long>(hr));
        text = buffer;
    }
    return text;
}

void ThrowFileError(const std::string& what, std::wstring_view path) {
    DWORD code = GetLastError();
    std::string text = what + " \"" + Ansi(path) + "\"";
    std::string system = SystemMessage(code);
    throw BrokerError(system.empty() ? text : text + ". " + system);
}

std::string CurrentErrorText() {
    try {
        throw;
    } catch (const std::exception& error) {
        return error.what();
    } catch (...) {
        return "Unknown error";
    }
}
