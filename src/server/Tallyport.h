// The document server's COM contract: identity and virtual table, slot by slot.
// Other servers are built against the same table, so nothing here may move.
#pragma once

#include <windows.h>
#include <oaidl.h>

inline constexpr CLSID CLSID_CoTallyportObject = {
    0x8C18CF0B, 0x77A3, 0x4259, {0x9E, 0x00, 0xA3, 0x51, 0xB2, 0x70, 0x20, 0x4C}};
inline constexpr IID IID_ITallyportObject = {
    0xA7603F00, 0x85CA, 0x4EC0, {0x97, 0x4D, 0xDF, 0x84, 0x9C, 0xCC, 0xC6, 0x1F}};

// Slots 0-2 are IUnknown and 3-6 IDispatch. Every slot from 7 to 139 is declared in
// order; the ones named ReservedN are never called by the service, and a server that
// does not override them answers E_NOTIMPL.
struct ITallyportObject : public IDispatch {
    virtual HRESULT STDMETHODCALLTYPE Reserved7() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE Reserved8() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE SetFirmaLucru(BSTR company, LONG* ok) = 0;              // 9
    virtual HRESULT STDMETHODCALLTYPE SetLunaLucru(LONG year, LONG month, LONG* ok) = 0;      // 10
    virtual HRESULT STDMETHODCALLTYPE SetPachet(VARIANT lines) = 0;                           // 11
    virtual HRESULT STDMETHODCALLTYPE GenFacturi(LONG* ok) = 0;                               // 12
    virtual HRESULT STDMETHODCALLTYPE GetListaErori(VARIANT* list) = 0;                       // 13
    virtual HRESULT STDMETHODCALLTYPE GetNrFacturi(LONG* count) = 0;                          // 14
    virtual HRESULT STDMETHODCALLTYPE GetListaParteneri(LONG* errorCode, VARIANT* list) = 0;  // 15
    virtual HRESULT STDMETHODCALLTYPE GetStocuri(LONG* errorCode, VARIANT* list) = 0;         // 16
    virtual HRESULT STDMETHODCALLTYPE GetStocArticol(BSTR articleCode, LONG zero, LONG* errorCode,
                                                     VARIANT* list) = 0;  // 17
    virtual HRESULT STDMETHODCALLTYPE GetSolduriParteneri(BSTR selector, LONG* errorCode,
                                                          VARIANT* list) = 0;  // 18
    virtual HRESULT STDMETHODCALLTYPE Reserved19() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE Reserved20() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE GetListaGestiuni(LONG* errorCode, VARIANT* list) = 0;  // 21
    virtual HRESULT STDMETHODCALLTYPE Reserved22() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE Reserved23() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE Reserved24() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE Reserved25() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE Reserved26() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE Reserved27() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE Reserved28() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE Reserved29() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE Reserved30() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE GetInfoArticol(LONG* errorCode, VARIANT* list) = 0;  // 31
    virtual HRESULT STDMETHODCALLTYPE Reserved32() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE Reserved33() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE Reserved34() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE Reserved35() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE AddPartener(BSTR record, LONG* ok) = 0;  // 36
    virtual HRESULT STDMETHODCALLTYPE GetNrComenzi(LONG* count) = 0;           // 37
    virtual HRESULT STDMETHODCALLTYPE GenComenzi(LONG* ok) = 0;                // 38
    virtual HRESULT STDMETHODCALLTYPE Reserved39() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE Reserved40() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE Reserved41() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE SetTipIDPartener(BSTR kind) = 0;  // 42
    virtual HRESULT STDMETHODCALLTYPE SetTipIDArticol(BSTR kind) = 0;   // 43
    virtual HRESULT STDMETHODCALLTYPE Reserved44() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE Reserved45() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE Reserved46() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE Reserved47() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE Reserved48() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE Reserved49() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE Reserved50() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE Reserved51() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE Reserved52() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE Reserved53() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE Reserved54() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE Reserved55() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE Reserved56() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE Reserved57() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE Reserved58() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE Reserved59() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE GetFacturiCmdOnline(LONG* errorCode, VARIANT* list) = 0;  // 60
    virtual HRESULT STDMETHODCALLTYPE Reserved61() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE Reserved62() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE Reserved63() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE Reserved64() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE Reserved65() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE Reserved66() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE Reserved67() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE Reserved68() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE Reserved69() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE Reserved70() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE GetListaArtCatPret(LONG* errorCode, VARIANT* list) = 0;  // 71
    virtual HRESULT STDMETHODCALLTYPE Reserved72() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE Reserved73() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE Reserved74() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE Reserved75() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE Reserved76() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE Reserved77() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE Reserved78() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE Reserved79() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE GetPretAchizStocuri(LONG* errorCode, VARIANT* list) = 0;  // 80
    virtual HRESULT STDMETHODCALLTYPE Reserved81() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE Reserved82() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE Reserved83() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE Reserved84() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE Reserved85() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE Reserved86() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE Reserved87() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE Reserved88() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE Reserved89() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE GenFacturiFurnizori(LONG* ok) = 0;       // 90
    virtual HRESULT STDMETHODCALLTYPE GetNrFacturiFurnizori(LONG* count) = 0;  // 91
    virtual HRESULT STDMETHODCALLTYPE Reserved92() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE Reserved93() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE AddArticol(BSTR record, LONG* ok) = 0;  // 94
    virtual HRESULT STDMETHODCALLTYPE Reserved95() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE Reserved96() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE Reserved97() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE Reserved98() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE Reserved99() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE Reserved100() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE Reserved101() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE Reserved102() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE Reserved103() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE Reserved104() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE Reserved105() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE Reserved106() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE Reserved107() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE Reserved108() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE Reserved109() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE Reserved110() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE Reserved111() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE Reserved112() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE Reserved113() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE Reserved114() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE Reserved115() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE Reserved116() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE ModiPartener(BSTR record, LONG* ok) = 0;  // 117
    virtual HRESULT STDMETHODCALLTYPE Reserved118() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE Reserved119() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE Reserved120() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE Reserved121() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE GetInfoCmdBon(LONG orderNumber, LONG* errorCode,
                                                    VARIANT* list) = 0;  // 122
    virtual HRESULT STDMETHODCALLTYPE GetInfoCmdBonuri(LONG dayNumber, LONG* errorCode,
                                                       VARIANT* list) = 0;  // 123
    virtual HRESULT STDMETHODCALLTYPE Reserved124() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE Reserved125() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE Reserved126() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE Reserved127() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE Reserved128() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE Reserved129() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE Reserved130() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE Reserved131() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE Reserved132() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE Reserved133() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE Reserved134() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE Reserved135() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE GenComenziFurnizori(LONG* ok) = 0;       // 136
    virtual HRESULT STDMETHODCALLTYPE GetNrComenziFurnizori(LONG* count) = 0;  // 137
    virtual HRESULT STDMETHODCALLTYPE Reserved138() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE GetIncasariLuna(LONG* errorCode, VARIANT* list) = 0;  // 139
};
