// An in-process document server for tests: records every call and answers as scripted.
#include "support/FakeServer.h"

#include <oleauto.h>

#include "base/AnsiText.h"
#include "server/ServerList.h"

void FillList(const FakeList& list, VARIANT* out, TextEncoding encoding) {
    if (list.kind == FakeList::NotArray) return;
    SAFEARRAYBOUND bound{ULONG(list.lines.size()), list.lowerBound};
    VARTYPE type = list.kind == FakeList::Bstrs ? VT_BSTR : VT_VARIANT;
    SAFEARRAY* array = SafeArrayCreate(type, 1, &bound);
    for (size_t i = 0; i < list.lines.size(); ++i) {
        LONG index = list.lowerBound + LONG(i);
        UniqueBstr text = MakeBstr(list.lines[i], encoding);
        VARIANT element{};
        element.vt = VT_BSTR;
        element.bstrVal = text.get();
        SafeArrayPutElement(array, &index, type == VT_BSTR ? static_cast<void*>(text.get()) : &element);
    }
    out->vt = VARTYPE(VT_ARRAY | type);
    out->parray = array;
}

std::string FakeServer::CallsText() const {
    std::string text;
    for (const auto& call : calls) text += (text.empty() ? "" : " ") + call;
    return text;
}

STDMETHODIMP FakeServer::QueryInterface(REFIID iid, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) ||
        IsEqualIID(iid, IID_ITallyportObject))
        *object = static_cast<ITallyportObject*>(this);
    if (IsEqualIID(iid, IID_ISupportErrorInfo) && supportsErrorInfo)
        *object = static_cast<ISupportErrorInfo*>(this);
    if (!*object) return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

std::string FakeServer::Text(BSTR text) const { return Narrow(BstrText(text), Encoding()); }

HRESULT FakeServer::Called(const std::string& method, const Arguments& arguments) {
    std::string call = method;
    for (size_t i = 0; i < arguments.size(); ++i) call += (i == 0 ? "(" : ",") + arguments[i];
    calls.push_back(arguments.empty() ? call : call + ")");
    if (during) during(method);
    auto failure = failures.find(method);
    if (failure == failures.end()) return S_OK;
    SetErrorInfo(0, nullptr);
    if (failure->second.second.empty()) return failure->second.first;
    ComRef<ICreateErrorInfo> create;
    CreateErrorInfo(create.addressof());
    create->SetDescription(Wide(failure->second.second).data());
    ComRef<IErrorInfo> info;
    create->QueryInterface(IID_IErrorInfo, reinterpret_cast<void**>(info.addressof()));
    SetErrorInfo(0, info.get());
    return failure->second.first;
}

HRESULT FakeServer::Ok(LONG* value, const std::string& method, const Arguments& arguments) {
    if (HRESULT hr = Called(method, arguments); FAILED(hr)) return hr;
    *value = Refused(method) ? 0 : ok.count(method) ? ok[method] : 1;
    return S_OK;
}

bool FakeServer::Refused(const std::string& method) const {
    if (refuseMarker.empty()) return false;
    if (calls.back().find(refuseMarker) != std::string::npos) return method != "SetLunaLucru";
    if (!method.starts_with("Gen")) return false;
    for (const std::string& line : package)
        if (line.find(refuseMarker) != std::string::npos) return true;
    return false;
}

HRESULT FakeServer::Count(LONG* n, const std::string& method) {
    if (HRESULT hr = Called(method); FAILED(hr)) return hr;
    *n = count.count(method) ? count[method] : 0;
    return S_OK;
}

HRESULT FakeServer::List(LONG* e, VARIANT* l, const std::string& method, const Arguments& arguments) {
    if (HRESULT hr = Called(method, arguments); FAILED(hr)) return hr;
    *e = errorCode.count(method) ? errorCode[method] : 0;
    if (lists.count(method)) FillList(lists[method], l, Encoding());
    return S_OK;
}

STDMETHODIMP FakeServer::SetPachet(VARIANT lines) {
    package = ReadServerList(lines).lines;
    return Called("SetPachet", {std::to_string(package.size())});
}

STDMETHODIMP FakeServer::GetListaErori(VARIANT* list) {
    if (HRESULT hr = Called("GetListaErori"); FAILED(hr)) return hr;
    FillList(errors, list, Encoding());
    return S_OK;
}
