// The COM object CoTallyportObject: the contract's virtual table over a Book.
#pragma once

#include "Book.h"

#include "server/Tallyport.h"

#include <atomic>
#include <memory>
#include <string>

namespace docserver {

struct ServerOptions {
    std::wstring dataFolder;
    std::wstring failMethod;  // for fault tests: this method answers E_FAIL
    std::wstring failText;    // and this description (a default when empty)
};

// Live objects, for DllCanUnloadNow.
extern std::atomic<long> LiveObjects;

// Creates the object with one reference held by `server`.
HRESULT CreateDocServer(const ServerOptions& options, REFIID iid, void** server);

// Reserved slots answer E_NOTIMPL.
#define VQ_RESERVED(n) HRESULT STDMETHODCALLTYPE Reserved##n() override { return E_NOTIMPL; }

class DocServer final : public ITallyportObject, public ISupportErrorInfo {
public:
    explicit DocServer(ServerOptions options);
    ~DocServer();
    DocServer(const DocServer&) = delete;
    DocServer& operator=(const DocServer&) = delete;

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    // IDispatch: the service calls through the virtual table only.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override
    {
        return E_NOTIMPL;
    }
    // ISupportErrorInfo
    HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID iid) override;

    // ITallyportObject
    HRESULT STDMETHODCALLTYPE SetFirmaLucru(BSTR company, LONG* ok) override;
    HRESULT STDMETHODCALLTYPE SetLunaLucru(LONG year, LONG month, LONG* ok) override;
    HRESULT STDMETHODCALLTYPE SetPachet(VARIANT lines) override;
    HRESULT STDMETHODCALLTYPE GenFacturi(LONG* ok) override;
    HRESULT STDMETHODCALLTYPE GetListaErori(VARIANT* list) override;
    HRESULT STDMETHODCALLTYPE GetNrFacturi(LONG* count) override;
    HRESULT STDMETHODCALLTYPE GetListaParteneri(LONG* errorCode, VARIANT* list) override;
    HRESULT STDMETHODCALLTYPE GetStocuri(LONG* errorCode, VARIANT* list) override;
    HRESULT STDMETHODCALLTYPE GetStocArticol(BSTR articleCode, LONG zero, LONG* errorCode, VARIANT* list) override;
    HRESULT STDMETHODCALLTYPE GetSolduriParteneri(BSTR selector, LONG* errorCode, VARIANT* list) override;
    HRESULT STDMETHODCALLTYPE GetListaGestiuni(LONG* errorCode, VARIANT* list) override;
    HRESULT STDMETHODCALLTYPE GetInfoArticol(LONG* errorCode, VARIANT* list) override;
    HRESULT STDMETHODCALLTYPE AddPartener(BSTR record, LONG* ok) override;
    HRESULT STDMETHODCALLTYPE GetNrComenzi(LONG* count) override;
    HRESULT STDMETHODCALLTYPE GenComenzi(LONG* ok) override;
    HRESULT STDMETHODCALLTYPE SetTipIDPartener(BSTR kind) override;
    HRESULT STDMETHODCALLTYPE SetTipIDArticol(BSTR kind) override;
    HRESULT STDMETHODCALLTYPE GetFacturiCmdOnline(LONG* errorCode, VARIANT* list) override;
    HRESULT STDMETHODCALLTYPE GetListaArtCatPret(LONG* errorCode, VARIANT* list) override;
    HRESULT STDMETHODCALLTYPE GetPretAchizStocuri(LONG* errorCode, VARIANT* list) override;
    HRESULT STDMETHODCALLTYPE GenFacturiFurnizori(LONG* ok) override;
    HRESULT STDMETHODCALLTYPE GetNrFacturiFurnizori(LONG* count) override;
    HRESULT STDMETHODCALLTYPE AddArticol(BSTR record, LONG* ok) override;
    HRESULT STDMETHODCALLTYPE ModiPartener(BSTR record, LONG* ok) override;
    HRESULT STDMETHODCALLTYPE GetInfoCmdBon(LONG orderNumber, LONG* errorCode, VARIANT* list) override;
    HRESULT STDMETHODCALLTYPE GetInfoCmdBonuri(LONG dayNumber, LONG* errorCode, VARIANT* list) override;
    HRESULT STDMETHODCALLTYPE GenComenziFurnizori(LONG* ok) override;
    HRESULT STDMETHODCALLTYPE GetNrComenziFurnizori(LONG* count) override;
    HRESULT STDMETHODCALLTYPE GetIncasariLuna(LONG* errorCode, VARIANT* list) override;

    VQ_RESERVED(7) VQ_RESERVED(8) VQ_RESERVED(19) VQ_RESERVED(20) VQ_RESERVED(22) VQ_RESERVED(23)
    VQ_RESERVED(24) VQ_RESERVED(25) VQ_RESERVED(26) VQ_RESERVED(27) VQ_RESERVED(28) VQ_RESERVED(29)
    VQ_RESERVED(30) VQ_RESERVED(32) VQ_RESERVED(33) VQ_RESERVED(34) VQ_RESERVED(35) VQ_RESERVED(39)
    VQ_RESERVED(40) VQ_RESERVED(41) VQ_RESERVED(44) VQ_RESERVED(45) VQ_RESERVED(46) VQ_RESERVED(47)
    VQ_RESERVED(48) VQ_RESERVED(49) VQ_RESERVED(50) VQ_RESERVED(51) VQ_RESERVED(52) VQ_RESERVED(53)
    VQ_RESERVED(54) VQ_RESERVED(55) VQ_RESERVED(56) VQ_RESERVED(57) VQ_RESERVED(58) VQ_RESERVED(59)
    VQ_RESERVED(61) VQ_RESERVED(62) VQ_RESERVED(63) VQ_RESERVED(64) VQ_RESERVED(65) VQ_RESERVED(66)
    VQ_RESERVED(67) VQ_RESERVED(68) VQ_RESERVED(69) VQ_RESERVED(70) VQ_RESERVED(72) VQ_RESERVED(73)
    VQ_RESERVED(74) VQ_RESERVED(75) VQ_RESERVED(76) VQ_RESERVED(77) VQ_RESERVED(78) VQ_RESERVED(79)
    VQ_RESERVED(81) VQ_RESERVED(82) VQ_RESERVED(83) VQ_RESERVED(84) VQ_RESERVED(85) VQ_RESERVED(86)
    VQ_RESERVED(87) VQ_RESERVED(88) VQ_RESERVED(89) VQ_RESERVED(92) VQ_RESERVED(93) VQ_RESERVED(95)
    VQ_RESERVED(96) VQ_RESERVED(97) VQ_RESERVED(98) VQ_RESERVED(99) VQ_RESERVED(100) VQ_RESERVED(101)
    VQ_RESERVED(102) VQ_RESERVED(103) VQ_RESERVED(104) VQ_RESERVED(105) VQ_RESERVED(106) VQ_RESERVED(107)
    VQ_RESERVED(108) VQ_RESERVED(109) VQ_RESERVED(110) VQ_RESERVED(111) VQ_RESERVED(112) VQ_RESERVED(113)
    VQ_RESERVED(114) VQ_RESERVED(115) VQ_RESERVED(116) VQ_RESERVED(118) VQ_RESERVED(119) VQ_RESERVED(120)
    VQ_RESERVED(121) VQ_RESERVED(124) VQ_RESERVED(125) VQ_RESERVED(126) VQ_RESERVED(127) VQ_RESERVED(128)
    VQ_RESERVED(129) VQ_RESERVED(130) VQ_RESERVED(131) VQ_RESERVED(132) VQ_RESERVED(133) VQ_RESERVED(134)
    VQ_RESERVED(135) VQ_RESERVED(138)

private:
    template <class Body>
    HRESULT Call(const wchar_t* method, Body&& body);
    HRESULT Generate(const wchar_t* method, DocKind kind, LONG* ok);
    HRESULT Count(const wchar_t* method, DocKind kind, LONG* count);
    HRESULT Record(const wchar_t* method, bool (Book::*change)(std::string_view), BSTR record, LONG* ok);
    HRESULT List(const wchar_t* method, QueryKind kind, const std::string& argument, LONG* errorCode, VARIANT* list);

    std::atomic<ULONG> references_{1};
    ServerOptions options_;
    std::unique_ptr<Book> book_;  // opened at the first call, so that creating the object touches no file
};

#undef VQ_RESERVED

}  // namespace docserver
