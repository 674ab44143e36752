// An in-process document server for tests: records every call and answers as scripted.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "base/Owners.h"
#include "server/Tallyport.h"

// What a list out-parameter holds.
struct FakeList {
    // Mixed: a VT_VARIANT array of every element kind a server may put there, whatever lines
    // holds: BSTR "P1;Caf\xE9 Cr\xE8me;\xC0\xFF", VT_EMPTY, BSTR "", VT_NULL, VT_I4 -42, a null
    // BSTR, BSTR ";\xB0;"; read as kMixedLines.
    enum Kind { NotArray, Bstrs, Variants, Mixed } kind = NotArray;
    std::vector<std::string> lines;
    LONG lowerBound = 0;

    static FakeList Of(std::vector<std::string> lines) { return {Bstrs, std::move(lines), 0}; }
    static FakeList OfVariants(std::vector<std::string> lines) { return {Variants, std::move(lines), 0}; }
    static FakeList OfMixedKinds() { return {Mixed, {}, 0}; }
};
extern const std::vector<std::string> kMixedLines;

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
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
    STDMETHODIMP_(ULONG) AddRef() override { return ++refs_; }
    STDMETHODIMP_(ULONG) Release() override { return --refs_; }  // owned by the test
    STDMETHODIMP GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        return E_NOTIMPL;
    }
    STDMETHODIMP InterfaceSupportsErrorInfo(REFIID iid) override {
        return IsEqualIID(iid, IID_ITallyportObject) ? S_OK : S_FALSE;
    }

    // ITallyportObject
    STDMETHODIMP SetFirmaLucru(BSTR company, LONG* ok) override;
    STDMETHODIMP SetLunaLucru(LONG year, LONG month, LONG* ok) override;
    STDMETHODIMP SetPachet(VARIANT lines) override;
    STDMETHODIMP GetListaErori(VARIANT* list) override;
    STDMETHODIMP GetStocArticol(BSTR code, LONG zero, LONG* e, VARIANT* l) override;
    STDMETHODIMP GetSolduriParteneri(BSTR selector, LONG* e, VARIANT* l) override;
    STDMETHODIMP GetInfoCmdBon(LONG order, LONG* e, VARIANT* l) override;
    STDMETHODIMP GetInfoCmdBonuri(LONG day, LONG* e, VARIANT* l) override;
    STDMETHODIMP GenFacturi(LONG* ok) override { return Ok("GenFacturi", ok); }
    STDMETHODIMP GenComenzi(LONG* ok) override { return Ok("GenComenzi", ok); }
    STDMETHODIMP GenFacturiFurnizori(LONG* ok) override { return Ok("GenFacturiFurnizori", ok); }
    STDMETHODIMP GenComenziFurnizori(LONG* ok) override { return Ok("GenComenziFurnizori", ok); }
    STDMETHODIMP GetNrFacturi(LONG* n) override { return Count("GetNrFacturi", n); }
    STDMETHODIMP GetNrComenzi(LONG* n) override { return Count("GetNrComenzi", n); }
    STDMETHODIMP GetNrFacturiFurnizori(LONG* n) override { return Count("GetNrFacturiFurnizori", n); }
    STDMETHODIMP GetNrComenziFurnizori(LONG* n) override { return Count("GetNrComenziFurnizori", n); }
    STDMETHODIMP GetListaParteneri(LONG* e, VARIANT* l) override { return List("GetListaParteneri", e, l); }
    STDMETHODIMP GetStocuri(LONG* e, VARIANT* l) override { return List("GetStocuri", e, l); }
    STDMETHODIMP GetListaGestiuni(LONG* e, VARIANT* l) override { return List("GetListaGestiuni", e, l); }
    STDMETHODIMP GetInfoArticol(LONG* e, VARIANT* l) override { return List("GetInfoArticol", e, l); }
    STDMETHODIMP GetFacturiCmdOnline(LONG* e, VARIANT* l) override {
        return List("GetFacturiCmdOnline", e, l);
    }
    STDMETHODIMP GetListaArtCatPret(LONG* e, VARIANT* l) override { return List("GetListaArtCatPret", e, l); }
    STDMETHODIMP GetPretAchizStocuri(LONG* e, VARIANT* l) override {
        return List("GetPretAchizStocuri", e, l);
    }
    STDMETHODIMP GetIncasariLuna(LONG* e, VARIANT* l) override { return List("GetIncasariLuna", e, l); }
    STDMETHODIMP AddPartener(BSTR record, LONG* ok) override { return Record("AddPartener", record, ok); }
    STDMETHODIMP AddArticol(BSTR record, LONG* ok) override { return Record("AddArticol", record, ok); }
    STDMETHODIMP ModiPartener(BSTR record, LONG* ok) override { return Record("ModiPartener", record, ok); }
    STDMETHODIMP SetTipIDPartener(BSTR kind) override { return Kind("SetTipIDPartener", kind); }
    STDMETHODIMP SetTipIDArticol(BSTR kind) override { return Kind("SetTipIDArticol", kind); }

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
