// Owners for Windows and COM resources, shaped like std::unique_ptr (get, reset, release,
// addressof), so that every path, an error included, releases what it made.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <cstdint>
#include <type_traits>
#include <utility>

// One owner for every handle-like resource, after WIL's unique_any: the handle type, the
// function that closes it, and its invalid value (given as a number, since values such
// as INVALID_HANDLE_VALUE are not constants a template can take).
template <class T, auto Close, std::intptr_t InvalidValue = 0>
class UniqueAny {
public:
    UniqueAny() = default;
    explicit UniqueAny(T owned) noexcept : value_(owned) {}
    UniqueAny(UniqueAny&& other) noexcept : value_(other.release()) {}
    UniqueAny& operator=(UniqueAny&& other) noexcept {
        reset(other.release());
        return *this;
    }
    UniqueAny(const UniqueAny&) = delete;
    UniqueAny& operator=(const UniqueAny&) = delete;
    ~UniqueAny() { reset(); }

    static T Invalid() noexcept {
        if constexpr (std::is_pointer_v<T>)
            return reinterpret_cast<T>(InvalidValue);
        else
            return static_cast<T>(InvalidValue);
    }

    T get() const noexcept { return value_; }
    bool valid() const noexcept { return value_ != Invalid(); }
    explicit operator bool() const noexcept { return valid(); }
    T* addressof() noexcept {  // for an [out] parameter
        reset();
        return &value_;
    }
    T release() noexcept { return std::exchange(value_, Invalid()); }
    void reset(T owned = Invalid()) noexcept {
        if (T old = std::exchange(value_, owned); old != Invalid()) Close(old);
    }

private:
    T value_ = Invalid();
};

// What this thread has asked of the file system: every call, and those among them that read
// a whole directory (a listing, a look-up of a name that is not there). The benchmark reads it.
struct FileCallCount {
    unsigned long long calls = 0;
    unsigned long long directoryReads = 0;
};
inline FileCallCount& FileCallsOfThisThread() noexcept {
    static thread_local FileCallCount count;
    return count;
}

namespace owners {
inline void CloseFile(HANDLE file) noexcept {
    ++FileCallsOfThisThread().calls;
    CloseHandle(file);
}
inline void ReleaseScreenDc(HDC dc) noexcept { ReleaseDC(nullptr, dc); }
inline void EndComApartment(bool) noexcept { CoUninitialize(); }
}  // namespace owners

using UniqueHandle = UniqueAny<HANDLE, CloseHandle>;    // processes, threads
using UniqueFile = UniqueAny<HANDLE, owners::CloseFile, -1>;  // CreateFile and the like
using UniqueFind = UniqueAny<HANDLE, FindClose, -1>;    // FindFirstFile
using UniqueBstr = UniqueAny<BSTR, SysFreeString>;
using UniqueSafeArray = UniqueAny<SAFEARRAY*, SafeArrayDestroy>;
using UniqueFont = UniqueAny<HFONT, DeleteObject>;
using UniqueScreenDc = UniqueAny<HDC, owners::ReleaseScreenDc>;       // GetDC(nullptr)
using UniqueComApartment = UniqueAny<bool, owners::EndComApartment>;  // true once CoInitializeEx succeeded
using UniqueService = UniqueAny<SC_HANDLE, CloseServiceHandle>;       // OpenSCManager, OpenService
using UniqueChangeWatch = UniqueAny<HANDLE, FindCloseChangeNotification, -1>;  // FindFirstChangeNotification
using UniqueRegKey = UniqueAny<HKEY, RegCloseKey>;

// A VARIANT is a value, not a handle: it starts VT_EMPTY and is cleared when it goes.
class UniqueVariant {
public:
    UniqueVariant() noexcept { VariantInit(&value_); }
    UniqueVariant(UniqueVariant&& other) noexcept : value_(other.release()) {}
    UniqueVariant& operator=(UniqueVariant&& other) noexcept {
        if (this != &other) {
            reset();
            value_ = other.release();
        }
        return *this;
    }
    UniqueVariant(const UniqueVariant&) = delete;
    UniqueVariant& operator=(const UniqueVariant&) = delete;
    ~UniqueVariant() { reset(); }

    const VARIANT& get() const noexcept { return value_; }
    VARIANT* addressof() noexcept {  // for an [out] VARIANT*
        reset();
        return &value_;
    }
    VARIANT release() noexcept {
        VARIANT owned = value_;
        VariantInit(&value_);
        return owned;
    }
    void reset() noexcept { VariantClear(&value_); }

private:
    VARIANT value_;
};

// A counted COM reference, shaped like Microsoft::WRL::ComPtr.
template <class T>
class ComRef {
public:
    ComRef() = default;
    explicit ComRef(T* owned) noexcept : value_(owned) {}  // takes over one reference
    ComRef(const ComRef& other) noexcept : value_(other.value_) {
        if (value_) value_->AddRef();
    }
    ComRef(ComRef&& other) noexcept : value_(other.release()) {}
    ComRef& operator=(ComRef other) noexcept {
        std::swap(value_, other.value_);
        return *this;
    }
    ~ComRef() { reset(); }

    T* get() const noexcept { return value_; }
    T* operator->() const noexcept { return value_; }
    explicit operator bool() const noexcept { return value_ != nullptr; }
    T** addressof() noexcept {
        reset();
        return &value_;
    }
    T* release() noexcept { return std::exchange(value_, nullptr); }
    void reset() noexcept {
        if (T* old = std::exchange(value_, nullptr)) old->Release();
    }

private:
    T* value_ = nullptr;
};

// Clean-up that is not a resource: runs fn when the scope ends, unless dismissed.
template <class Fn>
class ScopeExit {
public:
    explicit ScopeExit(Fn fn) : fn_(std::move(fn)) {}
    ScopeExit(const ScopeExit&) = delete;
    ScopeExit& operator=(const ScopeExit&) = delete;
    ~ScopeExit() {
        if (armed_) fn_();
    }
    void Dismiss() noexcept { armed_ = false; }

private:
    Fn fn_;
    bool armed_ = true;
};
