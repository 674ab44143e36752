// Conversions between the service's 8-bit texts (system ANSI code page) and wide text.
#include "base/AnsiText.h"

#include <algorithm>
#include <climits>
#include <new>

std::wstring Wide(std::string_view ansi) {
    if (ansi.empty()) return {};
    int length = MultiByteToWideChar(CP_ACP, 0, ansi.data(), int(ansi.size()), nullptr, 0);
    std::wstring wide(size_t(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, ansi.data(), int(ansi.size()), wide.data(), length);
    return wide;
}

std::string Ansi(std::wstring_view wide) {
    std::string ansi;
    ansi.resize(Ansi(wide, ansi).size());
    return ansi;
}

std::string_view Ansi(std::wstring_view wide, std::string& buffer) {
    if (wide.empty()) return {};
    // A buffer already large enough takes the text in one call, as it does for most rows
    // of an answer; else (or when empty: a size of 0 asks for the size) the size comes first.
    int length = buffer.empty()
                     ? 0
                     : WideCharToMultiByte(CP_ACP, 0, wide.data(), int(wide.size()), buffer.data(),
                                           int(std::min<size_t>(buffer.size(), INT_MAX)), nullptr, nullptr);
    if (length > 0) return {buffer.data(), size_t(length)};
    length = WideCharToMultiByte(CP_ACP, 0, wide.data(), int(wide.size()), nullptr, 0, nullptr, nullptr);
    if (length <= 0) return {};
    if (buffer.size() < size_t(length)) buffer.resize(size_t(length));
    WideCharToMultiByte(CP_ACP, 0, wide.data(), int(wide.size()), buffer.data(), length, nullptr, nullptr);
    return {buffer.data(), size_t(length)};
}

// Converts straight into the BSTR: one allocation per text, which counts when a package
// hands the server 100,000 lines.
UniqueBstr MakeBstr(std::string_view ansi) {
    const int length =
        ansi.empty() ? 0 : MultiByteToWideChar(CP_ACP, 0, ansi.data(), int(ansi.size()), nullptr, 0);
    UniqueBstr text(SysAllocStringLen(nullptr, UINT(length)));
    if (!text.get()) throw std::bad_alloc();
    if (length > 0) MultiByteToWideChar(CP_ACP, 0, ansi.data(), int(ansi.size()), text.get(), length);
    return text;
}
