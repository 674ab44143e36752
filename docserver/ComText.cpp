// Text across the COM boundary.
#include "ComText.h"

namespace docserver {

static std::string ElementText(SAFEARRAY* array, VARTYPE type, LONG index) {
    UniqueBstr text;
    UniqueVariant element;
    UniqueVariant converted;
    if (type == VT_BSTR && SUCCEEDED(SafeArrayGetElement(array, &index, text.addressof())))
        return FromBstr(text.get());
    if (type == VT_VARIANT && SUCCEEDED(SafeArrayGetElement(array, &index, element.addressof())) &&
        SUCCEEDED(VariantChangeType(converted.addressof(), const_cast<VARIANT*>(&element.get()), 0, VT_BSTR)))
        return FromBstr(converted.get().bstrVal);
    return {};
}

std::vector<std::string> FromList(const VARIANT& list) {
    const VARIANT* value = (list.vt == (VT_BYREF | VT_VARIANT) && list.pvarVal) ? list.pvarVal : &list;
    const VARTYPE type = value->vt & VT_TYPEMASK;
    if (!(value->vt & VT_ARRAY) || (type != VT_BSTR && type != VT_VARIANT)) return {};
    SAFEARRAY* array = (value->vt & VT_BYREF) ? (value->pparray ? *value->pparray : nullptr) : value->parray;
    LONG lower = 0;
    LONG upper = -1;
    if (!array || SafeArrayGetDim(array) != 1 || FAILED(SafeArrayGetLBound(array, 1, &lower)) ||
        FAILED(SafeArrayGetUBound(array, 1, &upper)))
        return {};
    std::vector<std::string> lines;
    for (LONG index = lower; index <= upper; ++index) lines.push_back(ElementText(array, type, index));
    return lines;
}

HRESULT ToList(const std::vector<std::string>& lines, VARIANT* list) {
    UniqueVariant result;
    VARIANT* value = result.addressof();
    value->parray = SafeArrayCreateVector(VT_BSTR, 0, static_cast<ULONG>(lines.size()));
    if (!value->parray) return E_OUTOFMEMORY;
    value->vt = VT_ARRAY | VT_BSTR;
    for (LONG index = 0; index < static_cast<LONG>(lines.size()); ++index) {
        const std::wstring wide = ToWide(lines[static_cast<size_t>(index)]);
        UniqueBstr element(SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size())));
        const HRESULT hr =
            element.get() ? SafeArrayPutElement(value->parray, &index, element.get()) : E_OUTOFMEMORY;
        if (FAILED(hr)) return hr;
    }
    VariantClear(list);
    *list = result.release();
    return S_OK;
}

}  // namespace docserver
