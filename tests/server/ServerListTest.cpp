// Lists and errors crossing the COM boundary.
#include <gtest/gtest.h>

#include <windows.h>
#include <oleauto.h>

#include "base/AnsiText.h"
#include "base/BrokerError.h"
#include "base/Text.h"
#include "server/ServerList.h"
#include "support/FakeServer.h"

namespace {

// Every element goes through one reused buffer: shorter and longer ones must each come
// out whole.
TEST(ServerListTest, ReadsBstrAndVariantArraysFromLowerToUpperBound) {
    const TextList lines{"a;b", "", "\xE3\xEE", "a row longer than the others;x"};
    for (FakeList list : {FakeList::Of(lines), FakeList::OfVariants(lines)}) {
        list.lowerBound = -2;
        UniqueVariant value;
        FillList(list, value.addressof());
        ServerList read = ReadServerList(value.get());
        EXPECT_TRUE(read.isArray);
        EXPECT_EQ(read.lowerBound, -2);
        EXPECT_EQ(read.upperBound, 1);
        EXPECT_EQ(read.lines, lines);
    }
}

TEST(ServerListTest, VariantElementsThatAreNotTextAreConverted) {
    SAFEARRAY* array = SafeArrayCreateVector(VT_VARIANT, 0, 3);
    VARIANT* elements = nullptr;
    SafeArrayAccessData(array, reinterpret_cast<void**>(&elements));
    elements[0].vt = VT_I4;
    elements[0].lVal = 42;
    elements[1].vt = VT_EMPTY;
    elements[2].vt = VT_NULL;
    SafeArrayUnaccessData(array);
    UniqueVariant value;
    value.addressof()->vt = VT_ARRAY | VT_VARIANT;
    value.addressof();
    VARIANT* out = value.addressof();
    out->vt = VT_ARRAY | VT_VARIANT;
    out->parray = array;
    EXPECT_EQ(ReadServerList(value.get()).lines, (TextList{"42", "", ""}));
}

TEST(ServerListTest, AnythingElseIsNoLines) {
    UniqueVariant empty;
    EXPECT_FALSE(ReadServerList(empty.get()).isArray);
    UniqueVariant text;
    text.addressof()->vt = VT_BSTR;
    VARIANT* out = text.addressof();
    out->vt = VT_BSTR;
    out->bstrVal = SysAllocString(L"lone");
    EXPECT_FALSE(ReadServerList(text.get()).isArray);
    UniqueVariant numbers;
    out = numbers.addressof();
    out->vt = VT_ARRAY | VT_I4;
    out->parray = SafeArrayCreateVector(VT_I4, 0, 2);
    EXPECT_FALSE(ReadServerList(numbers.get()).isArray);
}

TEST(ServerListTest, SentListHasBoundsZeroToCountLessOne) {
    UniqueVariant list = MakeServerList({"[InfoPachet]", "", "\xE2"});
    EXPECT_EQ(list.get().vt, VT_ARRAY | VT_BSTR);
    ServerList read = ReadServerList(list.get());
    EXPECT_EQ(read.lowerBound, 0);
    EXPECT_EQ(read.upperBound, 2);
    EXPECT_EQ(read.lines, (TextList{"[InfoPachet]", "", "\xE2"}));
    ServerList none = ReadServerList(MakeServerList({}).get());
    EXPECT_TRUE(none.isArray);
    EXPECT_EQ(none.upperBound, -1);
}

// Converted straight into the BSTR: the length, the terminator and an empty text's
// non-null BSTR must come out as a BSTR made from a wide string would.
TEST(ServerListTest, SentTextIsAWholeBstr) {
    for (std::string text : {"", "Articol=A0001;3", "\xE2\xEE;\xAA"}) {
        UniqueBstr sent = MakeBstr(text);
        const std::wstring wide = Wide(text);
        ASSERT_NE(sent.get(), nullptr) << text;
        EXPECT_EQ(SysStringLen(sent.get()), wide.size()) << text;
        EXPECT_EQ(std::wstring(sent.get(), SysStringLen(sent.get())), wide) << text;
        EXPECT_EQ(sent.get()[wide.size()], L'\0') << text;
    }
}

TEST(OleErrorTextTest, ServerDescriptionThenSystemTextThenCode) {
    FakeServer server;
    server.failures["GetStocuri"] = {E_FAIL, "Baza de date nu raspunde"};
    LONG code = 0;
    UniqueVariant list;
    HRESULT hr = server.GetStocuri(&code, list.addressof());
    EXPECT_EQ(OleErrorText(hr, static_cast<ITallyportObject*>(&server), IID_ITallyportObject),
              "Baza de date nu raspunde");

    // An object that does not say it leaves descriptions gets none, not an earlier one's.
    hr = server.GetStocuri(&code, list.addressof());
    server.supportsErrorInfo = false;
    EXPECT_EQ(OleErrorText(hr, static_cast<ITallyportObject*>(&server), IID_ITallyportObject),
              SystemMessage(DWORD(E_FAIL)));
    server.supportsErrorInfo = true;

    SetErrorInfo(0, nullptr);
    std::string system = OleErrorText(E_OUTOFMEMORY);
    EXPECT_FALSE(system.empty());
    EXPECT_NE(system.back(), '\n');
    EXPECT_NE(system.back(), '\r');
    EXPECT_EQ(system.find("OLE error"), std::string::npos);

    SetErrorInfo(0, nullptr);
    EXPECT_EQ(OleErrorText(HRESULT(0x8FFF1234)), "OLE error 8FFF1234");
}

}  // namespace
