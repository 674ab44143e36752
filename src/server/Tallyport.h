// The document server's COM contract: identity and virtual table, slot by slot.
// Other servers are built against the same table, so nothing here may move.
#pragma once

#include <windows.h>
#include <oaidl.h>

inline constexpr CLSID CLSID_CoTallyportObject =
    {0x8C18CF0B, 0x77A3, 0x4259, {0x9E, 0x00, 0xA3, 0x51, 0xB2, 0x70, 0x20, 0x4C}};
inline constexpr IID IID_ITallyportObject =
    {0xA7603F00, 0x85CA, 0x4EC0, {0x97, 0x4D, 0xDF, 0x84, 0x9C, 0xCC, 0xC6, 0x1F}};

// Slots 0-2 are IUnknown and 3-6 IDispatch. Every slot from 7 to 139 is declared in
// order; the ones named ReservedN are never called by the service and a server
// answers them E_NOTIMPL.
struct ITallyportObject : public IDispatch {
    virtual HRESULT STDMETHODCALLTYPE Reserved7() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved8() = 0;
    virtual HRESULT STDMETHODCALLTYPE SetFirmaLucru(BSTR company, LONG* ok) = 0;  // 9
    virtual HRESULT STDMETHODCALLTYPE SetLunaLucru(LONG year, LONG month, LONG* ok) = 0;  // 10
    virtual HRESULT STDMETHODCALLTYPE SetPachet(VARIANT lines) = 0;  // 11
    virtual HRESULT STDMETHODCALLTYPE GenFacturi(LONG* ok) = 0;  // 12
    virtual HRESULT STDMETHODCALLTYPE GetListaErori(VARIANT* list) = 0;  // 13
    virtual HRESULT STDMETHODCALLTYPE GetNrFacturi(LONG* count) = 0;  // 14
    virtual HRESULT STDMETHODCALLTYPE GetListaParteneri(LONG* errorCode, VARIANT* list) = 0;  // 15
    virtual HRESULT STDMETHODCALLTYPE GetStocuri(LONG* errorCode, VARIANT* list) = 0;  // 16
    virtual HRESULT STDMETHODCALLTYPE GetStocArticol(BSTR articleCode, LONG zero, LONG* errorCode, VARIANT* list) = 0;  // 17
    virtual HRESULT STDMETHODCALLTYPE GetSolduriParteneri(BSTR selector, LONG* errorCode, VARIANT* list) = 0;  // 18
    virtual HRESULT STDMETHODCALLTYPE Reserved19() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved20() = 0;
    virtual HRESULT STDMETHODCALLTYPE GetListaGestiuni(LONG* errorCode, VARIANT* list) = 0;  // 21
    virtual HRESULT STDMETHODCALLTYPE Reserved22() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved23() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved24() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved25() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved26() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved27() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved28() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved29() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved30() = 0;
    virtual HRESULT STDMETHODCALLTYPE GetInfoArticol(LONG* errorCode, VARIANT* list) = 0;  // 31
    virtual HRESULT STDMETHODCALLTYPE Reserved32() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved33() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved34() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved35() = 0;
    virtual HRESULT STDMETHODCALLTYPE AddPartener(BSTR record, LONG* ok) = 0;  // 36
    virtual HRESULT STDMETHODCALLTYPE GetNrComenzi(LONG* count) = 0;  // 37
    virtual HRESULT STDMETHODCALLTYPE GenComenzi(LONG* ok) = 0;  // 38
    virtual HRESULT STDMETHODCALLTYPE Reserved39() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved40() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved41() = 0;
    virtual HRESULT STDMETHODCALLTYPE SetTipIDPartener(BSTR kind) = 0;  // 42
    virtual HRESULT STDMETHODCALLTYPE SetTipIDArticol(BSTR kind) = 0;  // 43
    virtual HRESULT STDMETHODCALLTYPE Reserved44() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved45() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved46() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved47() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved48() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved49() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved50() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved51() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved52() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved53() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved54() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved55() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved56() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved57() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved58() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved59() = 0;
    virtual HRESULT STDMETHODCALLTYPE GetFacturiCmdOnline(LONG* errorCode, VARIANT* list) = 0;  // 60
    virtual HRESULT STDMETHODCALLTYPE Reserved61() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved62() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved63() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved64() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved65() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved66() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved67() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved68() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved69() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved70() = 0;
    virtual HRESULT STDMETHODCALLTYPE GetListaArtCatPret(LONG* errorCode, VARIANT* list) = 0;  // 71
    virtual HRESULT STDMETHODCALLTYPE Reserved72() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved73() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved74() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved75() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved76() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved77() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved78() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved79() = 0;
    virtual HRESULT STDMETHODCALLTYPE GetPretAchizStocuri(LONG* errorCode, VARIANT* list) = 0;  // 80
    virtual HRESULT STDMETHODCALLTYPE Reserved81() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved82() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved83() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved84() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved85() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved86() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved87() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved88() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved89() = 0;
    virtual HRESULT STDMETHODCALLTYPE GenFacturiFurnizori(LONG* ok) = 0;  // 90
    virtual HRESULT STDMETHODCALLTYPE GetNrFacturiFurnizori(LONG* count) = 0;  // 91
    virtual HRESULT STDMETHODCALLTYPE Reserved92() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved93() = 0;
    virtual HRESULT STDMETHODCALLTYPE AddArticol(BSTR record, LONG* ok) = 0;  // 94
    virtual HRESULT STDMETHODCALLTYPE Reserved95() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved96() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved97() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved98() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved99() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved100() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved101() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved102() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved103() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved104() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved105() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved106() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved107() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved108() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved109() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved110() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved111() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved112() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved113() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved114() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved115() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved116() = 0;
    virtual HRESULT STDMETHODCALLTYPE ModiPartener(BSTR record, LONG* ok) = 0;  // 117
    virtual HRESULT STDMETHODCALLTYPE Reserved118() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved119() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved120() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved121() = 0;
    virtual HRESULT STDMETHODCALLTYPE GetInfoCmdBon(LONG orderNumber, LONG* errorCode, VARIANT* list) = 0;  // 122
    virtual HRESULT STDMETHODCALLTYPE GetInfoCmdBonuri(LONG dayNumber, LONG* errorCode, VARIANT* list) = 0;  // 123
    virtual HRESULT STDMETHODCALLTYPE Reserved124() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved125() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved126() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved127() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved128() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved129() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved130() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved131() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved132() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved133() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved134() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved135() = 0;
    virtual HRESULT STDMETHODCALLTYPE GenComenziFurnizori(LONG* ok) = 0;  // 136
    virtual HRESULT STDMETHODCALLTYPE GetNrComenziFurnizori(LONG* count) = 0;  // 137
    virtual HRESULT STDMETHODCALLTYPE Reserved138() = 0;
    virtual HRESULT STDMETHODCALLTYPE GetIncasariLuna(LONG* errorCode, VARIANT* list) = 0;  // 139
};
