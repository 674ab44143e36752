// Text lists across the COM boundary.
#include "ComText.h"

#include "Ansi.h"

namespace docserver {

std::string FromBstr(BSTR text)
{
    return text ? ToAnsi(std::wstring_view(text, SysStringLen(text))) : std::string();
}

static std::string ElementText(SAFEARRAY* array, VARTYPE type, LONG index)
{
    if (type == VT_BSTR) {
        UniqueBstr element;
        if (FAILED(SafeArrayGetElement(array, &index, element.addressof())))
            return {};
        return FromBstr(element.get());
    }
    UniqueVariant element;
    UniqueVariant text;
    if (FAILED(SafeArrayGetElement(array, &index, element.get())) ||
        FAILED(VariantChangeType(text.get(), element.get(), 0, VT_BSTR)))
        return {};
    return FromBstr(text.get()->bstrVal);
}

std::vector<std::string> FromList(const VARIANT& list)
{
    const VARIANT* value = &list;
    if (value->vt == (VT_BYREF | VT_VARIANT) && value->pvarVal)
        value = value->pvarVal;
    const VARTYPE type = value->vt & VT_TYPEMASK;
    if (!(value->vt & VT_ARRAY) || (type != VT_BSTR && type != VT_VARIANT))
        return {};
    SAFEARRAY* array = (value->vt & VT_BYREF) ? (value->pparray ? *value->pparray : nullptr) : value->parray;
    LONG lower = 0;
    LONG upper = -1;
    if (!array || SafeArrayGetDim(array) != 1 || FAILED(SafeArrayGetLBound(array, 1, &lower)) ||
        FAILED(SafeArrayGetUBound(array, 1, &upper)))
        return {};
    std::vector<std::string> lines;
    for (LONG index = lower; index <= upper; ++index)
        lines.push_back(ElementText(array, type, index));
    return lines;
}

HRESULT ToList(const std::vector<std::string>& lines, VARIANT* list)
{
    UniqueSafeArray array(SafeArrayCreateVector(VT_BSTR, 0, static_cast<ULONG>(lines.size())));
    if (!array.get())
        return E_OUTOFMEMORY;
    for (LONG index = 0; index < static_cast<LONG>(lines.size()); ++index) {
        const std::wstring wide = ToWide(lines[static_cast<size_t>(index)]);
        UniqueBstr element(SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size())));
        if (!element.get())
            return E_OUTOFMEMORY;
        const HRESULT hr = SafeArrayPutElement(array.get(), &index, element.get());  // copies the string
        if (FAILED(hr))
            return hr;
    }
    VariantClear(list);
    list->vt = VT_ARRAY | VT_BSTR;
    list->parray = array.release();
    return S_OK;
}

}  // namespace docserver
