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

    // ITallyportObject: each call is recorded as its name, with its arguments in brackets if
    // it has any, then answered as scripted for its name.
    STDMETHODIMP SetFirmaLucru(BSTR company, LONG* ok) override {
        return Ok(ok, "SetFirmaLucru", {Text(company)});
    }
    STDMETHODIMP SetLunaLucru(LONG y, LONG m, LONG* ok) override {
        return Ok(ok, "SetLunaLucru", {N(y), N(m)});
    }
    STDMETHODIMP SetPachet(VARIANT lines) override;
    STDMETHODIMP GetListaErori(VARIANT* list) override;
    STDMETHODIMP GetStocArticol(BSTR code, LONG zero, LONG* e, VARIANT* l) override {
        return List(e, l, "GetStocArticol", {Text(code), N(zero)});
    }
    STDMETHODIMP GetSolduriParteneri(BSTR selector, LONG* e, VARIANT* l) override {
        return List(e, l, "GetSolduriParteneri", {Text(selector)});
    }
    STDMETHODIMP GetInfoCmdBon(LONG order, LONG* e, VARIANT* l) override {
        return List(e, l, "GetInfoCmdBon", {N(order)});
    }
    STDMETHODIMP GetInfoCmdBonuri(LONG day, LONG* e, VARIANT* l) override {
        return List(e, l, "GetInfoCmdBonuri", {N(day)});
    }
    STDMETHODIMP GenFacturi(LONG* ok) override { return Ok(ok, "GenFacturi"); }
    STDMETHODIMP GenComenzi(LONG* ok) override { return Ok(ok, "GenComenzi"); }
    STDMETHODIMP GenFacturiFurnizori(LONG* ok) override { return Ok(ok, "GenFacturiFurnizori"); }
    STDMETHODIMP GenComenziFurnizori(LONG* ok) override { return Ok(ok, "GenComenziFurnizori"); }
    STDMETHODIMP GetNrFacturi(LONG* n) override { return Count(n, "GetNrFacturi"); }
    STDMETHODIMP GetNrComenzi(LONG* n) override { return Count(n, "GetNrComenzi"); }
    STDMETHODIMP GetNrFacturiFurnizori(LONG* n) override { return Count(n, "GetNrFacturiFurnizori"); }
    STDMETHODIMP GetNrComenziFurnizori(LONG* n) override { return Count(n, "GetNrComenziFurnizori"); }
    STDMETHODIMP GetListaParteneri(LONG* e, VARIANT* l) override { return List(e, l, "GetListaParteneri"); }
    STDMETHODIMP GetStocuri(LONG* e, VARIANT* l) override { return List(e, l, "GetStocuri"); }
    STDMETHODIMP GetListaGestiuni(LONG* e, VARIANT* l) override { return List(e, l, "GetListaGestiuni"); }
    STDMETHODIMP GetInfoArticol(LONG* e, VARIANT* l) override { return List(e, l, "GetInfoArticol"); }
    STDMETHODIMP GetFacturiCmdOnline(LONG* e, VARIANT* l) override {
        return List(e, l, "GetFacturiCmdOnline");
    }
    STDMETHODIMP GetListaArtCatPret(LONG* e, VARIANT* l) override { return List(e, l, "GetListaArtCatPret"); }
    STDMETHODIMP GetPretAchizStocuri(LONG* e, VARIANT* l) override {
        return List(e, l, "GetPretAchizStocuri");
    }
    STDMETHODIMP GetIncasariLuna(LONG* e, VARIANT* l) override { return List(e, l, "GetIncasariLuna"); }
    STDMETHODIMP AddPartener(BSTR record, LONG* ok) override { return Ok(ok, "AddPartener", {Text(record)}); }
    STDMETHODIMP AddArticol(BSTR record, LONG* ok) override { return Ok(ok, "AddArticol", {Text(record)}); }
    STDMETHODIMP ModiPartener(BSTR record, LONG* ok) override {
        return Ok(ok, "ModiPartener", {Text(record)});
    }
    STDMETHODIMP SetTipIDPartener(BSTR kind) override { return Called("SetTipIDPartener", {Text(kind)}); }
    STDMETHODIMP SetTipIDArticol(BSTR kind) override { return Called("SetTipIDArticol", {Text(kind)}); }

private:
    using Arguments = std::vector<std::string>;
    static std::string Text(BSTR text);
    static std::string N(LONG value) { return std::to_string(value); }
    // Records the call; then its scripted failure, or S_OK.
    HRESULT Called(const std::string& method, const Arguments& arguments = {});
    HRESULT Ok(LONG* ok, const std::string& method, const Arguments& arguments = {});
    bool Refused(const std::string& method) const;
    HRESULT Count(LONG* n, const std::string& method);
    HRESULT List(LONG* e, VARIANT* l, const std::string& method, const Arguments& arguments = {});

    ULONG refs_ = 1;
};

// Fills a VARIANT* out-parameter as the fake would.
void FillList(const FakeList& list, VARIANT* out);
