// Small owners for COM and kernel resources, shaped like std::unique_ptr, so that
// every path, an error included, releases what it made.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <utility>

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

// A VARIANT that starts VT_EMPTY and is cleared when it goes.
class UniqueVariant {
public:
    UniqueVariant() noexcept { VariantInit(&value_); }
    UniqueVariant(UniqueVariant&& other) noexcept : value_(other.value_) { VariantInit(&other.value_); }
    UniqueVariant& operator=(UniqueVariant&& other) noexcept {
        if (this != &other) {
            reset();
            value_ = other.value_;
            VariantInit(&other.value_);
        }
        return *this;
    }
    UniqueVariant(const UniqueVariant&) = delete;
    UniqueVariant& operator=(const UniqueVariant&) = delete;
    ~UniqueVariant() { reset(); }

    const VARIANT& get() const noexcept { return value_; }
    VARIANT* addressof() noexcept { reset(); return &value_; }   // for [out] VARIANT*
    void reset() noexcept { VariantClear(&value_); }

private:
    VARIANT value_;
};

class UniqueSafeArray {
public:
    UniqueSafeArray() = default;
    explicit UniqueSafeArray(SAFEARRAY* owned) noexcept : value_(owned) {}
    UniqueSafeArray(UniqueSafeArray&& other) noexcept : value_(other.release()) {}
    UniqueSafeArray& operator=(UniqueSafeArray&& other) noexcept { reset(other.release()); return *this; }
    ~UniqueSafeArray() { reset(); }

    SAFEARRAY* get() const noexcept { return value_; }
    SAFEARRAY* release() noexcept { return std::exchange(value_, nullptr); }
    void reset(SAFEARRAY* owned = nullptr) noexcept {
        if (SAFEARRAY* old = std::exchange(value_, owned)) SafeArrayDestroy(old);
    }

private:
    SAFEARRAY* value_ = nullptr;
};

// A kernel handle; both null and INVALID_HANDLE_VALUE mean "none".
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(HANDLE owned) noexcept : value_(owned) {}
    UniqueHandle(UniqueHandle&& other) noexcept : value_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept { reset(other.release()); return *this; }
    ~UniqueHandle() { reset(); }

    HANDLE get() const noexcept { return value_; }
    bool valid() const noexcept { return value_ != nullptr && value_ != INVALID_HANDLE_VALUE; }
    HANDLE release() noexcept { return std::exchange(value_, nullptr); }
    void reset(HANDLE owned = nullptr) noexcept {
        HANDLE old = std::exchange(value_, owned);
        if (old != nullptr && old != INVALID_HANDLE_VALUE) CloseHandle(old);
    }

private:
    HANDLE value_ = nullptr;
};

class UniqueFindHandle {
public:
    UniqueFindHandle() = default;
    explicit UniqueFindHandle(HANDLE owned) noexcept : value_(owned) {}
    UniqueFindHandle(UniqueFindHandle&& other) noexcept : value_(other.release()) {}
    UniqueFindHandle& operator=(UniqueFindHandle&& other) noexcept { reset(other.release()); return *this; }
    ~UniqueFindHandle() { reset(); }

    HANDLE get() const noexcept { return value_; }
    bool valid() const noexcept { return value_ != INVALID_HANDLE_VALUE; }
    HANDLE release() noexcept { return std::exchange(value_, INVALID_HANDLE_VALUE); }
    void reset(HANDLE owned = INVALID_HANDLE_VALUE) noexcept {
        HANDLE old = std::exchange(value_, owned);
        if (old != INVALID_HANDLE_VALUE) FindClose(old);
    }

private:
    HANDLE value_ = INVALID_HANDLE_VALUE;
};

// A counted COM reference.
template <class T>
class ComRef {
public:
    ComRef() = default;
    explicit ComRef(T* owned) noexcept : value_(owned) {}   // takes over one reference
    ComRef(const ComRef& other) noexcept : value_(other.value_) { if (value_) value_->AddRef(); }
    ComRef(ComRef&& other) noexcept : value_(other.release()) {}
    ComRef& operator=(ComRef other) noexcept { std::swap(value_, other.value_); return *this; }
    ~ComRef() { reset(); }

    T* get() const noexcept { return value_; }
    T* operator->() const noexcept { return value_; }
    explicit operator bool() const noexcept { return value_ != nullptr; }
    T** addressof() noexcept { reset(); return &value_; }
    T* release() noexcept { return std::exchange(value_, nullptr); }
    void reset() noexcept { if (T* old = std::exchange(value_, nullptr)) old->Release(); }

private:
    T* value_ = nullptr;
};
