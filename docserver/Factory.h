// The class factory of the DLL and of the EXE: one object for the module's life, whose
// references do not count; what it makes is the module's to say.
#pragma once

#include <windows.h>
#include <unknwn.h>

#include <atomic>

namespace docserver {

class Factory final : public IClassFactory {
public:
    using Maker = HRESULT (*)(REFIID iid, void** object);
    using Hold = void (*)(bool held);  // a lock holds the module as an object does
    explicit Factory(Maker make, Hold hold = nullptr) : make_(make), hold_(hold) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (!object) return E_POINTER;
        *object =
            (iid == IID_IUnknown || iid == IID_IClassFactory) ? static_cast<IClassFactory*>(this) : nullptr;
        return *object ? S_OK : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override {
        if (object) *object = nullptr;
        return outer ? CLASS_E_NOAGGREGATION : make_(iid, object);
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
        lock ? ++locks : --locks;
        if (hold_) hold_(lock != FALSE);
        return S_OK;
    }

    std::atomic<long> locks{0};

private:
    Maker make_;
    Hold hold_;
};

}  // namespace docserver
