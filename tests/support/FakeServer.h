// An in-process document server for tests: records every call and answers as scripted.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "base/AnsiText.h"
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

// Fills a VARIANT* out-parameter as the fake would.
void FillList(const FakeList& list, VARIANT* out, TextEncoding encoding = ServiceEncoding());

// Each method records its call, e.g. "SetLunaLucru(2026,12)", and answers as scripted for its name.
#define FAKE_OK(name) \
    STDMETHODIMP name(LONG* ok) override { return Ok(ok, #name); }
#define FAKE_COUNT(name) \
    STDMETHODIMP name(LONG* n) override { return Count(n, #name); }
#define FAKE_LIST(name) \
    STDMETHODIMP name(LONG* e, VARIANT* l) override { return List(e, l, #name); }
#define FAKE_RECORD(name) \
    STDMETHODIMP name(BSTR record, LONG* ok) override { return Ok(ok, #name, {Text(record)}); }

class FakeServer : public ITallyportObject, public ISupportErrorInfo {
public:
    bool supportsErrorInfo = true;
    bool utf8 = false;  // its texts are UTF-8, whatever the service's
    std::vector<std::string> calls;
    std::vector<std::string> package;  // the lines of the last SetPachet

    // Unscripted: ok 1, error code 0, count 0, list not an array.
    std::map<std::string, LONG> ok, errorCode, count;
    std::map<std::string, FakeList> lists;
    FakeList errors;  // what GetListaErori returns
    // Methods that fail: HRESULT and IErrorInfo description ("" = none).
    std::map<std::string, std::pair<HRESULT, std::string>> failures;
    // A package holding this text is refused (its Gen... or record call answers ok 0).
    std::string refuseMarker;
    std::function<void(const std::string& method)> during;  // run inside each call, once recorded

    ComRef<ITallyportObject> Ref() {
        AddRef();
        return ComRef<ITallyportObject>(this);
    }
    std::string CallsText() const;  // calls joined with " "

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
    FAKE_OK(GenFacturi)
    FAKE_OK(GenComenzi)
    FAKE_OK(GenFacturiFurnizori)
    FAKE_OK(GenComenziFurnizori)
    FAKE_COUNT(GetNrFacturi)
    FAKE_COUNT(GetNrComenzi)
    FAKE_COUNT(GetNrFacturiFurnizori)
    FAKE_COUNT(GetNrComenziFurnizori)
    FAKE_LIST(GetListaParteneri)
    FAKE_LIST(GetStocuri)
    FAKE_LIST(GetListaGestiuni)
    FAKE_LIST(GetInfoArticol)
    FAKE_LIST(GetFacturiCmdOnline)
    FAKE_LIST(GetListaArtCatPret)
    FAKE_LIST(GetPretAchizStocuri)
    FAKE_LIST(GetIncasariLuna)
    FAKE_RECORD(AddPartener)
    FAKE_RECORD(AddArticol)
    FAKE_RECORD(ModiPartener)
    STDMETHODIMP SetTipIDPartener(BSTR kind) override { return Called("SetTipIDPartener", {Text(kind)}); }
    STDMETHODIMP SetTipIDArticol(BSTR kind) override { return Called("SetTipIDArticol", {Text(kind)}); }

private:
    using Arguments = std::vector<std::string>;
    std::string Text(BSTR text) const;
    TextEncoding Encoding() const { return utf8 ? TextEncoding::Utf8 : ServiceEncoding(); }
    static std::string N(LONG value) { return std::to_string(value); }
    // Records the call; then its scripted failure, or S_OK.
    HRESULT Called(const std::string& method, const Arguments& arguments = {});
    HRESULT Ok(LONG* ok, const std::string& method, const Arguments& arguments = {});
    bool Refused(const std::string& method) const;
    HRESULT Count(LONG* n, const std::string& method);
    HRESULT List(LONG* e, VARIANT* l, const std::string& method, const Arguments& arguments = {});

    ULONG refs_ = 1;
};
