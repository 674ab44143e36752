// An in-process document server for tests: records every call and answers as scripted.
#include "support/FakeServer.h"

#include <oleauto.h>

#include "base/AnsiText.h"
#include "server/ServerList.h"

void FillList(const FakeList& list, VARIANT* out) {
    if (list.kind == FakeList::NotArray) return;
    SAFEARRAYBOUND bound{ULONG(list.lines.size()), list.lowerBound};
    VARTYPE type = list.kind == FakeList::Bstrs ? VT_BSTR : VT_VARIANT;
    SAFEARRAY* array = SafeArrayCreate(type, 1, &bound);
    for (size_t i = 0; i < list.lines.size(); ++i) {
        LONG index = list.lowerBound + LONG(i);
        UniqueBstr text = MakeBstr(list.lines[i]);
        if (type == VT_BSTR) {
            SafeArrayPutElement(array, &index, text.get());
        } else {
            VARIANT element;
            VariantInit(&element);
            element.vt = VT_BSTR;
            element.bstrVal = text.get();
            SafeArrayPutElement(array, &index, &element);
        }
    }
    out->vt = VARTYPE(VT_ARRAY | type);
    out->parray = array;
}

std::string FakeServer::CallsText() const {
    std::string text;
    for (const auto& call : calls) text += (text.empty() ? "" : " ") + call;
    return text;
}

HRESULT STDMETHODCALLTYPE FakeServer::QueryInterface(REFIID iid, void** object) {
    if (!object) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) ||
        IsEqualIID(iid, IID_ITallyportObject)) {
        *object = static_cast<ITallyportObject*>(this);
        AddRef();
        return S_OK;
    }
    if (IsEqualIID(iid, IID_ISupportErrorInfo) && supportsErrorInfo) {
        *object = static_cast<ISupportErrorInfo*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

HRESULT FakeServer::Failure(const std::string& method) {
    auto failure = failures.find(method);
    if (failure == failures.end()) return S_OK;
    SetErrorInfo(0, nullptr);
    if (!failure->second.second.empty()) {
        ComRef<ICreateErrorInfo> create;
        if (SUCCEEDED(CreateErrorInfo(create.addressof()))) {
            std::wstring text = Wide(failure->second.second);
            create->SetDescription(text.data());
            ComRef<IErrorInfo> info;
            if (SUCCEEDED(create->QueryInterface(IID_IErrorInfo, reinterpret_cast<void**>(info.addressof()))))
                SetErrorInfo(0, info.get());
        }
    }
    return failure->second.first;
}

HRESULT FakeServer::Ok(const std::string& method, LONG* value, const std::string& call) {
    calls.push_back(call.empty() ? method : call);
    if (HRESULT hr = Failure(method); FAILED(hr)) return hr;
    auto scripted = ok.find(method);
    *value = scripted == ok.end() ? 1 : scripted->second;
    if (Refused(method, call)) *value = 0;
    return S_OK;
}

bool FakeServer::Refused(const std::string& method, const std::string& call) const {
    if (refuseMarker.empty()) return false;
    if (call.find(refuseMarker) != std::string::npos) return method != "SetLunaLucru";
    if (method.rfind("Gen", 0) != 0) return false;
    for (const std::string& line : package)
        if (line.find(refuseMarker) != std::string::npos) return true;
    return false;
}

HRESULT FakeServer::Count(const std::string& method, LONG* n) {
    calls.push_back(method);
    if (HRESULT hr = Failure(method); FAILED(hr)) return hr;
    *n = count.count(method) ? count[method] : 0;
    return S_OK;
}

HRESULT FakeServer::List(const std::string& method, LONG* e, VARIANT* l, const std::string& call) {
    calls.push_back(call.empty() ? method : call);
    if (HRESULT hr = Failure(method); FAILED(hr)) return hr;
    *e = errorCode.count(method) ? errorCode[method] : 0;
    if (lists.count(method)) FillList(lists[method], l);
    return S_OK;
}

HRESULT FakeServer::Record(const std::string& method, BSTR record, LONG* value) {
    return Ok(method, value, method + "(" + Ansi(BstrText(record)) + ")");
}

HRESULT FakeServer::Kind(const std::string& method, BSTR kind) {
    calls.push_back(method + "(" + Ansi(BstrText(kind)) + ")");
    return Failure(method);
}

HRESULT STDMETHODCALLTYPE FakeServer::SetFirmaLucru(BSTR company, LONG* value) {
    return Ok("SetFirmaLucru", value, "SetFirmaLucru(" + Ansi(BstrText(company)) + ")");
}

HRESULT STDMETHODCALLTYPE FakeServer::SetLunaLucru(LONG year, LONG month, LONG* value) {
    return Ok("SetLunaLucru", value,
              "SetLunaLucru(" + std::to_string(year) + "," + std::to_string(month) + ")");
}

HRESULT STDMETHODCALLTYPE FakeServer::SetPachet(VARIANT lines) {
    package = ReadServerList(lines).lines;
    calls.push_back("SetPachet(" + std::to_string(package.size()) + ")");
    return Failure("SetPachet");
}

HRESULT STDMETHODCALLTYPE FakeServer::GetListaErori(VARIANT* list) {
    calls.push_back("GetListaErori");
    if (HRESULT hr = Failure("GetListaErori"); FAILED(hr)) return hr;
    FillList(errors, list);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE FakeServer::GetStocArticol(BSTR code, LONG zero, LONG* e, VARIANT* l) {
    return List("GetStocArticol", e, l,
                "GetStocArticol(" + Ansi(BstrText(code)) + "," + std::to_string(zero) + ")");
}

HRESULT STDMETHODCALLTYPE FakeServer::GetSolduriParteneri(BSTR selector, LONG* e, VARIANT* l) {
    return List("GetSolduriParteneri", e, l, "GetSolduriParteneri(" + Ansi(BstrText(selector)) + ")");
}

HRESULT STDMETHODCALLTYPE FakeServer::GetInfoCmdBon(LONG order, LONG* e, VARIANT* l) {
    return List("GetInfoCmdBon", e, l, "GetInfoCmdBon(" + std::to_string(order) + ")");
}

HRESULT STDMETHODCALLTYPE FakeServer::GetInfoCmdBonuri(LONG day, LONG* e, VARIANT* l) {
    return List("GetInfoCmdBonuri", e, l, "GetInfoCmdBonuri(" + std::to_string(day) + ")");
}
