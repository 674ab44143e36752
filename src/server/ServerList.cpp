// Lists that cross the COM boundary: one-dimensional safe arrays of text.
#include "server/ServerList.h"

#include <oleauto.h>

#include <new>
#include <utility>

#include "base/AnsiText.h"
#include "base/BrokerError.h"

namespace {

std::string_view VariantText(const VARIANT& element, std::string& buffer) {
    if (element.vt == VT_BSTR) return Ansi(BstrText(element.bstrVal), buffer);
    if (element.vt == VT_EMPTY || element.vt == VT_NULL) return {};
    UniqueVariant text;
    Check(VariantChangeType(text.addressof(), const_cast<VARIANT*>(&element), VARIANT_ALPHABOOL, VT_BSTR));
    return Ansi(BstrText(text.get().bstrVal), buffer);
}

size_t WideLength(const BSTR* elements, size_t count) {
    size_t length = 0;
    for (size_t i = 0; i < count; ++i) length += SysStringLen(elements[i]);
    return length;
}

size_t WideLength(const VARIANT* elements, size_t count) {
    size_t length = 0;
    for (size_t i = 0; i < count; ++i)
        if (elements[i].vt == VT_BSTR) length += SysStringLen(elements[i].bstrVal);
    return length;
}

// Keeps a safe array's data locked for direct reading or writing while it lives.
class ArrayData {
public:
    explicit ArrayData(SAFEARRAY* array) : array_(array) { Check(SafeArrayAccessData(array, &data_)); }
    ~ArrayData() { SafeArrayUnaccessData(array_); }
    ArrayData(const ArrayData&) = delete;
    ArrayData& operator=(const ArrayData&) = delete;
    template <class T>
    T* As() const {
        return static_cast<T*>(data_);
    }

private:
    SAFEARRAY* array_;
    void* data_ = nullptr;
};

}  // namespace

ServerList ReadServerList(const VARIANT& list, ServerListRows& rows) {
    ServerList result;
    VARTYPE elementType = VARTYPE(list.vt & ~VT_ARRAY);
    if (!(list.vt & VT_ARRAY) || (list.vt & VT_BYREF) || !list.parray ||
        (elementType != VT_BSTR && elementType != VT_VARIANT) || SafeArrayGetDim(list.parray) != 1)
        return result;
    result.isArray = true;
    Check(SafeArrayGetLBound(list.parray, 1, &result.lowerBound));
    Check(SafeArrayGetUBound(list.parray, 1, &result.upperBound));
    if (result.upperBound < result.lowerBound) return result;
    size_t count = size_t(result.upperBound - result.lowerBound) + 1;
    ArrayData data(list.parray);
    rows.Begin(count, elementType == VT_BSTR ? WideLength(data.As<BSTR>(), count)
                                             : WideLength(data.As<VARIANT>(), count));
    std::string buffer;  // one for every element
    for (size_t i = 0; i < count; ++i)
        rows.Row(elementType == VT_BSTR ? Ansi(BstrText(data.As<BSTR>()[i]), buffer)
                                        : VariantText(data.As<VARIANT>()[i], buffer));
    return result;
}

ServerList ReadServerList(const VARIANT& list) {
    struct KeptLines : ServerListRows {
        TextList lines;
        void Begin(size_t count, size_t) override { lines.reserve(count); }
        void Row(std::string_view text) override { lines.emplace_back(text); }
    } rows;
    ServerList result = ReadServerList(list, rows);
    result.lines = std::move(rows.lines);
    return result;
}

UniqueVariant MakeServerList(const std::vector<std::string_view>& lines) {
    return MakeServerList(lines, ServiceEncoding());
}

UniqueVariant MakeServerList(const std::vector<std::string_view>& lines, TextEncoding encoding) {
    UniqueSafeArray array(SafeArrayCreateVector(VT_BSTR, 0, ULONG(lines.size())));
    if (!array.get()) throw std::bad_alloc();
    if (!lines.empty()) {
        ArrayData data(array.get());
        // The array owns each element from here on; destroying it frees them.
        for (size_t i = 0; i < lines.size(); ++i) data.As<BSTR>()[i] = MakeBstr(lines[i], encoding).release();
    }
    UniqueVariant list;
    VARIANT* out = list.addressof();
    out->vt = VT_ARRAY | VT_BSTR;
    out->parray = array.release();
    return list;
}
