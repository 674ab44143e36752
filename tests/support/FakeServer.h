// An in-process document server for tests: records every call and answers as scripted.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "base/Owners.h"
#include "server/Tallyport.h"

// What a list out-parameter holds.
struct FakeList {
    enum Kind { NotArray, Bstrs, Variants } kind = NotArray;
    std::vector<std::string> lines;
    LONG lowerBound = 0;

    static FakeList Of(std::vector<std::string> lines) { return {Bstrs, std::move(lines), 0}; }
    static FakeList OfVariants(std::vector<std::string> lines) { return {Variants, std::move(lines), 0}; }
};

class FakeServer : public ITallyportObject, public ISupportErrorInfo {
public:
    bool supportsErrorInfo = true;  // answers ISupportErrorInfo for its interface
    // Calls in order, e.g. "SetLunaLucru(2026,12)", "SetFirmaLucru(ACME)", "SetPachet(3)".
    std::vector<std::string> calls;
    std::vector<std::string> package;  // the lines of the last SetPachet

    // Answers by method name; unscripted: ok 1, error code 0, count 0, list not an array.
    std::map<std::string, LONG> ok, errorCode, count;
    std::map<std::string, FakeList> lists;
    FakeList errors;  // what GetListaErori returns
    // Methods that fail at the interface level: HRESULT and IErrorInfo description ("" = none).
    std::map<std::string, std::pair<HRESULT, std::string>> failures;
    // When not empty: a generate call whose package, or a record call whose record, holds
    // this text answers ok 0, so that one run can mix accepted and refused packages.
    std::string refuseMarker;

    ComRef<ITallyportObject> Ref() {
        AddRef();
        return ComRef<ITallyportObject>(this);
    }
    std::string CallsText() const;  // calls joined with " "

    // IUnknown / IDispatch
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs_; }  // owned by the test
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID iid) override {
        return IsEqualIID(iid, IID_ITallyportObject) ? S_OK : S_FALSE;
    }

    // ITallyportObject
    HRESULT STDMETHODCALLTYPE SetFirmaLucru(BSTR company, LONG* ok) override;
    HRESULT STDMETHODCALLTYPE SetLunaLucru(LONG year, LONG month, LONG* ok) override;
    HRESULT STDMETHODCALLTYPE SetPachet(VARIANT lines) override;
    HRESULT STDMETHODCALLTYPE GenFacturi(LONG* ok) override { return Ok("GenFacturi", ok); }
    HRESULT STDMETHODCALLTYPE GetListaErori(VARIANT* list) override;
    HRESULT STDMETHODCALLTYPE GetNrFacturi(LONG* n) override { return Count("GetNrFacturi", n); }
    HRESULT STDMETHODCALLTYPE GetListaParteneri(LONG* e, VARIANT* l) override {
        return List("GetListaParteneri", e, l);
    }
    HRESULT STDMETHODCALLTYPE GetStocuri(LONG* e, VARIANT* l) override { return List("GetStocuri", e, l); }
    HRESULT STDMETHODCALLTYPE GetStocArticol(BSTR code, LONG zero, LONG* e, VARIANT* l) override;
    HRESULT STDMETHODCALLTYPE GetSolduriParteneri(BSTR selector, LONG* e, VARIANT* l) override;
    HRESULT STDMETHODCALLTYPE GetListaGestiuni(LONG* e, VARIANT* l) override {
        return List("GetListaGestiuni", e, l);
    }
    HRESULT STDMETHODCALLTYPE GetInfoArticol(LONG* e, VARIANT* l) override {
        return List("GetInfoArticol", e, l);
    }
    HRESULT STDMETHODCALLTYPE AddPartener(BSTR record, LONG* ok) override {
        return Record("AddPartener", record, ok);
    }
    HRESULT STDMETHODCALLTYPE GetNrComenzi(LONG* n) override { return Count("GetNrComenzi", n); }
    HRESULT STDMETHODCALLTYPE GenComenzi(LONG* ok) override { return Ok("GenComenzi", ok); }
    HRESULT STDMETHODCALLTYPE SetTipIDPartener(BSTR kind) override { return Kind("SetTipIDPartener", kind); }
    HRESULT STDMETHODCALLTYPE SetTipIDArticol(BSTR kind) override { return Kind("SetTipIDArticol", kind); }
    HRESULT STDMETHODCALLTYPE GetFacturiCmdOnline(LONG* e, VARIANT* l) override {
        return List("GetFacturiCmdOnline", e, l);
    }
    HRESULT STDMETHODCALLTYPE GetListaArtCatPret(LONG* e, VARIANT* l) override {
        return List("GetListaArtCatPret", e, l);
    }
    HRESULT STDMETHODCALLTYPE GetPretAchizStocuri(LONG* e, VARIANT* l) override {
        return List("GetPretAchizStocuri", e, l);
    }
    HRESULT STDMETHODCALLTYPE GenFacturiFurnizori(LONG* ok) override { return Ok("GenFacturiFurnizori", ok); }
    HRESULT STDMETHODCALLTYPE GetNrFacturiFurnizori(LONG* n) override {
        return Count("GetNrFacturiFurnizori", n);
    }
    HRESULT STDMETHODCALLTYPE AddArticol(BSTR record, LONG* ok) override {
        return Record("AddArticol", record, ok);
    }
    HRESULT STDMETHODCALLTYPE ModiPartener(BSTR record, LONG* ok) override {
        return Record("ModiPartener", record, ok);
    }
    HRESULT STDMETHODCALLTYPE GetInfoCmdBon(LONG order, LONG* e, VARIANT* l) override;
    HRESULT STDMETHODCALLTYPE GetInfoCmdBonuri(LONG day, LONG* e, VARIANT* l) override;
    HRESULT STDMETHODCALLTYPE GenComenziFurnizori(LONG* ok) override { return Ok("GenComenziFurnizori", ok); }
    HRESULT STDMETHODCALLTYPE GetNrComenziFurnizori(LONG* n) override {
        return Count("GetNrComenziFurnizori", n);
    }
    HRESULT STDMETHODCALLTYPE GetIncasariLuna(LONG* e, VARIANT* l) override {
        return List("GetIncasariLuna", e, l);
    }

private:
    HRESULT Failure(const std::string& method);  // records nothing; S_OK when not scripted to fail
    HRESULT Ok(const std::string& method, LONG* ok, const std::string& call = {});
    bool Refused(const std::string& method, const std::string& call) const;
    HRESULT Count(const std::string& method, LONG* n);
    HRESULT List(const std::string& method, LONG* e, VARIANT* l, const std::string& call = {});
    HRESULT Record(const std::string& method, BSTR record, LONG* ok);
    HRESULT Kind(const std::string& method, BSTR kind);

    ULONG refs_ = 1;
};

// Fills a VARIANT* out-parameter as the fake would.
void FillList(const FakeList& list, VARIANT* out);
