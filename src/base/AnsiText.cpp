// Conversions between the service's 8-bit texts and wide text.
#include "base/AnsiText.h"

#include <algorithm>
#include <atomic>
#include <climits>
#include <new>

#include "base/Utf8.h"

namespace {

// Read by the request watch's thread too.
std::atomic<TextEncoding> gEncoding{TextEncoding::Ansi};

// The wide length of 8-bit text; UTF-8 never takes more units than bytes.
int WideLength(std::string_view text, TextEncoding encoding) {
    if (text.empty()) return 0;
    if (encoding == TextEncoding::Utf8) return int(text.size());
    return MultiByteToWideChar(CP_ACP, 0, text.data(), int(text.size()), nullptr, 0);
}

int ToWide(std::string_view text, TextEncoding encoding, wchar_t* out, int room) {
    if (text.empty()) return 0;
    if (encoding == TextEncoding::Utf8) return int(Utf8ToUtf16(text, out));
    return MultiByteToWideChar(CP_ACP, 0, text.data(), int(text.size()), out, room);
}

}  // namespace

void SetServiceEncoding(TextEncoding encoding) noexcept { gEncoding = encoding; }

TextEncoding ServiceEncoding() noexcept { return gEncoding; }

std::wstring Wide(std::string_view text) { return Wide(text, ServiceEncoding()); }

std::wstring Wide(std::string_view text, TextEncoding encoding) {
    const int length = WideLength(text, encoding);
    std::wstring wide(size_t(length), L'\0');
    wide.resize(size_t(ToWide(text, encoding, wide.data(), length)));
    return wide;
}

std::string Ansi(std::wstring_view wide) {
    std::string ansi;
    ansi.resize(Ansi(wide, ansi).size());
    return ansi;
}

std::string Narrow(std::wstring_view wide, TextEncoding encoding) {
    if (encoding == ServiceEncoding()) return Ansi(wide);
    if (encoding == TextEncoding::Ansi) {
        const int length = wide.empty() ? 0
                                        : WideCharToMultiByte(CP_ACP, 0, wide.data(), int(wide.size()),
                                                              nullptr, 0, nullptr, nullptr);
        std::string text(size_t(std::max(length, 0)), '\0');
        if (length > 0)
            WideCharToMultiByte(CP_ACP, 0, wide.data(), int(wide.size()), text.data(), length, nullptr,
                                nullptr);
        return text;
    }
    std::string text(3 * wide.size(), '\0');
    text.resize(Utf16ToUtf8(wide.data(), wide.size(), text.data()));
    return text;
}

std::string_view Ansi(std::wstring_view wide, std::string& buffer) {
    if (wide.empty()) return {};
    if (ServiceEncoding() == TextEncoding::Utf8) {
        if (buffer.size() < 3 * wide.size()) buffer.resize(3 * wide.size());
        return {buffer.data(), Utf16ToUtf8(wide.data(), wide.size(), buffer.data())};
    }
    // Most rows of an answer are ASCII, which every ANSI code page spells byte for byte: they
    // are copied without a call into the system.
    if (buffer.size() < wide.size()) buffer.resize(wide.size());
    size_t ascii = 0;
    for (char* out = buffer.data(); ascii < wide.size() && wide[ascii] < 0x80; ++ascii)
        out[ascii] = char(wide[ascii]);
    if (ascii == wide.size()) return {buffer.data(), ascii};
    // Other text in one call when the buffer is large enough, else the size comes first.
    // A letter the code page lacks becomes its closest where Windows has one, else "?".
    int length = WideCharToMultiByte(CP_ACP, 0, wide.data(), int(wide.size()), buffer.data(),
                                     int(std::min<size_t>(buffer.size(), INT_MAX)), nullptr, nullptr);
    if (length > 0) return {buffer.data(), size_t(length)};
    length = WideCharToMultiByte(CP_ACP, 0, wide.data(), int(wide.size()), nullptr, 0, nullptr, nullptr);
    if (length <= 0) return {};
    if (buffer.size() < size_t(length)) buffer.resize(size_t(length));
    WideCharToMultiByte(CP_ACP, 0, wide.data(), int(wide.size()), buffer.data(), length, nullptr, nullptr);
    return {buffer.data(), size_t(length)};
}

std::string ServiceText(std::string_view text, TextEncoding encoding) {
    const bool ascii = std::all_of(text.begin(), text.end(), [](char c) { return (c & 0x80) == 0; });
    if (encoding == ServiceEncoding() || ascii) return std::string(text);
    return Ansi(Wide(text, encoding));
}

UniqueBstr MakeBstr(std::string_view text) { return MakeBstr(text, ServiceEncoding()); }

// One allocation per text, which counts when a package hands the server 100,000 lines: ANSI
// converts straight into the BSTR, UTF-8 (whose length is known only once it is decoded)
// through one buffer kept for the next text.
UniqueBstr MakeBstr(std::string_view text, TextEncoding encoding) {
    if (encoding == TextEncoding::Utf8) {
        thread_local std::wstring decoded;
        if (decoded.size() < text.size()) decoded.resize(text.size());
        UniqueBstr bstr(SysAllocStringLen(decoded.data(), UINT(Utf8ToUtf16(text, decoded.data()))));
        if (!bstr.get()) throw std::bad_alloc();
        return bstr;
    }
    const int length = WideLength(text, encoding);
    UniqueBstr bstr(SysAllocStringLen(nullptr, UINT(length)));
    if (!bstr.get()) throw std::bad_alloc();
    ToWide(text, encoding, bstr.get(), length);
    return bstr;
}
