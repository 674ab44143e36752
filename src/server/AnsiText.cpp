// Conversions between the service's 8-bit texts (system ANSI code page) and wide text.
#include "server/AnsiText.h"

#include <new>

std::wstring Wide(std::string_view ansi) {
    if (ansi.empty()) return {};
    int length = MultiByteToWideChar(CP_ACP, 0, ansi.data(), int(ansi.size()), nullptr, 0);
    std::wstring wide(size_t(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, ansi.data(), int(ansi.size()), wide.data(), length);
    return wide;
}

std::string Ansi(std::wstring_view wide) {
    if (wide.empty()) return {};
    int length = WideCharToMultiByte(CP_ACP, 0, wide.data(), int(wide.size()), nullptr, 0,
                                     nullptr, nullptr);
    std::string ansi(size_t(length), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), int(wide.size()), ansi.data(), length, nullptr,
                        nullptr);
    return ansi;
}

// Converts straight into the BSTR: one allocation per text, which counts when a package
// hands the server 100,000 lines.
UniqueBstr MakeBstr(std::string_view ansi) {
    const int length = ansi.empty() ? 0
        : MultiByteToWideChar(CP_ACP, 0, ansi.data(), int(ansi.size()), nullptr, 0);
    UniqueBstr text(SysAllocStringLen(nullptr, UINT(length)));
    if (!text.get()) throw std::bad_alloc();
    if (length > 0) MultiByteToWideChar(CP_ACP, 0, ansi.data(), int(ansi.size()), text.get(), length);
    return text;
}
