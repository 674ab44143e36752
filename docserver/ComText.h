// Owners for BSTR, VARIANT and SAFEARRAY, and the turning of text lists into COM lists and back.
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
    void reset() noexcept { VariantClear(&value_); }

private:
    VARIANT value_;
};

class UniqueSafeArray {
public:
    explicit UniqueSafeArray(SAFEARRAY* owned = nullptr) noexcept : value_(owned) {}
    UniqueSafeArray(const UniqueSafeArray&) = delete;
    UniqueSafeArray& operator=(const UniqueSafeArray&) = delete;
    ~UniqueSafeArray() { reset(); }

    SAFEARRAY* get() const noexcept { return value_; }
    SAFEARRAY* release() noexcept { return std::exchange(value_, nullptr); }
    void reset(SAFEARRAY* owned = nullptr) noexcept
    {
        if (SAFEARRAY* old = std::exchange(value_, owned))
            SafeArrayDestroy(old);
    }

private:
    SAFEARRAY* value_;
};

// A BSTR as 8-bit text; a null BSTR is the empty text.
std::string FromBstr(BSTR text);
// The text elements of a one-dimensional VT_BSTR or VT_VARIANT array; anything else gives none.
std::vector<std::string> FromList(const VARIANT& list);
// Fills an empty variant with a VT_ARRAY|VT_BSTR of the lines, bounds 0..n-1.
HRESULT ToList(const std::vector<std::string>& lines, VARIANT* list);

}  // namespace docserver
