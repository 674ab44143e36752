// Text across the COM boundary: ANSI and wide text, owners for BSTR and VARIANT, text lists.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <string>
#include <utility>
#include <vector>

namespace docserver {

class UniqueBstr {
public:
    UniqueBstr() = default;
    explicit UniqueBstr(BSTR owned) noexcept : value_(owned) {}
    UniqueBstr(UniqueBstr&& other) noexcept : value_(other.release()) {}
    UniqueBstr& operator=(UniqueBstr&& other) noexcept { reset(other.release()); return *this; }
    ~UniqueBstr() { reset(); }

    BSTR get() const noexcept { return value_; }
    BSTR* addressof() noexcept { reset(); return &value_; }
    BSTR release() noexcept { return std::exchange(value_, nullptr); }
    void reset(BSTR owned = nullptr) noexcept { SysFreeString(std::exchange(value_, owned)); }

private:
    BSTR value_ = nullptr;
};

class UniqueVariant {
public:
    UniqueVariant() noexcept { VariantInit(&value_); }
    UniqueVariant(const UniqueVariant&) = delete;
    UniqueVariant& operator=(const UniqueVariant&) = delete;
    ~UniqueVariant() { reset(); }

    VARIANT* get() noexcept { return &value_; }
    VARIANT* addressof() noexcept { reset(); return &value_; }
    VARIANT release() noexcept { return std::exchange(value_, VARIANT{}); }  // VARIANT{} is VT_EMPTY
    void reset() noexcept { VariantClear(&value_); }

private:
    VARIANT value_;
};

// Between the system ANSI code page, the server's 8-bit text, and UTF-16.
std::wstring ToWide(std::string_view text);
std::string ToAnsi(std::wstring_view text);
// A BSTR as 8-bit text; a null BSTR is the empty text.
std::string FromBstr(BSTR text);
// The text elements of a one-dimensional VT_BSTR or VT_VARIANT array; anything else gives none.
std::vector<std::string> FromList(const VARIANT& list);
// Fills a variant with a VT_ARRAY|VT_BSTR of the lines, bounds 0..n-1.
HRESULT ToList(const std::vector<std::string>& lines, VARIANT* list);

}  // namespace docserver
