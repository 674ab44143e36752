// Lists and errors across COM.
#include <gtest/gtest.h>

#include <windows.h>
#include <oleauto.h>

#include "base/AnsiText.h"
#include "base/BrokerError.h"
#include "base/Text.h"
#include "server/DocumentServer.h"
#include "server/ServerList.h"
#include "support/FakeServer.h"

namespace {

// Through one reused buffer, shorter and longer elements each come out whole.
TEST(ServerListTest, ReadsBstrAndVariantArraysFromLowerToUpperBound) {
    const TextList lines{"a;b", "", "\xE3\xEE", "a row longer than the others;x"};
    for (FakeList list : {FakeList::Of(lines), FakeList::OfVariants(lines)}) {
        list.lowerBound = -2;
        UniqueVariant value;
        FillList(list, value.addressof());
        const ServerList read = ReadServerList(value.get());
        EXPECT_TRUE(read.isArray);
        EXPECT_EQ(read.lowerBound, -2);
        EXPECT_EQ(read.upperBound, 1);
        EXPECT_EQ(read.lines, lines);
    }
}

TEST(ServerListTest, ElementsThatAreNotTextAreConverted) {
    UniqueVariant list;
    SAFEARRAY* array = SafeArrayCreateVector(VT_VARIANT, 0, 7);
    VARIANT* items = nullptr;
    SafeArrayAccessData(array, reinterpret_cast<void**>(&items));
    for (LONG i : {0, 2, 5, 6}) items[i].vt = VT_BSTR;
    items[0].bstrVal = MakeBstr("P1;Caf\xE9 Cr\xE8me;\xC0\xFF").release();
    items[1].vt = VT_EMPTY;
    items[2].bstrVal = SysAllocString(L"");
    items[3].vt = VT_NULL;
    items[4].vt = VT_I4;
    items[4].lVal = -42;
    items[5].bstrVal = nullptr;
    items[6].bstrVal = MakeBstr(";\xB0;").release();
    SafeArrayUnaccessData(array);
    VARIANT* out = list.addressof();
    out->vt = VT_ARRAY | VT_VARIANT;
    out->parray = array;
    EXPECT_EQ(ReadServerList(list.get()).lines,
              (TextList{"P1;Caf\xE9 Cr\xE8me;\xC0\xFF", "", "", "", "-42", "", ";\xB0;"}));
}

TEST(ServerListTest, AnythingElseIsNoLines) {
    UniqueVariant empty, text, numbers;
    EXPECT_FALSE(ReadServerList(empty.get()).isArray);
    VARIANT* out = text.addressof();
    out->vt = VT_BSTR;
    out->bstrVal = SysAllocString(L"lone");
    EXPECT_FALSE(ReadServerList(text.get()).isArray);
    out = numbers.addressof();
    out->vt = VT_ARRAY | VT_I4;
    out->parray = SafeArrayCreateVector(VT_I4, 0, 2);
    EXPECT_FALSE(ReadServerList(numbers.get()).isArray);
}

TEST(ServerListTest, SentListIsABstrArrayFromZeroEmptyToo) {
    UniqueVariant list = MakeServerList({"[InfoPachet]", "", "\xE2"});
    EXPECT_EQ(list.get().vt, VT_ARRAY | VT_BSTR);
    const ServerList read = ReadServerList(list.get()), none = ReadServerList(MakeServerList({}).get());
    EXPECT_EQ(read.lowerBound, 0);
    EXPECT_EQ(read.upperBound, 2);
    EXPECT_EQ(read.lines, (TextList{"[InfoPachet]", "", "\xE2"}));
    EXPECT_TRUE(none.isArray);
    EXPECT_EQ(none.upperBound, -1);
}

// As made from a wide string, an empty one not null.
TEST(ServerListTest, SentTextIsWhole) {
    for (std::string text : {"", "Articol=A0001;3", "\xE2\xEE;\xAA"}) {
        UniqueBstr sent = MakeBstr(text);
        ASSERT_NE(sent.get(), nullptr) << text;
        EXPECT_EQ(std::wstring(sent.get(), SysStringLen(sent.get()) + 1), Wide(text) + L'\0') << text;
    }
}

TEST(OleErrorTextTest, ServerDescriptionThenSystemTextThenCode) {
    FakeServer server;
    server.failures["GetStocuri"] = {E_FAIL, "Baza de date nu raspunde"};
    LONG code = 0;
    UniqueVariant list;
    ITallyportObject* object = &server;
    HRESULT hr = server.GetStocuri(&code, list.addressof());
    EXPECT_EQ(OleErrorText(hr, object, IID_ITallyportObject), "Baza de date nu raspunde");

    // An object not saying it leaves descriptions gets none, not an earlier one's.
    hr = server.GetStocuri(&code, list.addressof());
    server.supportsErrorInfo = false;
    EXPECT_EQ(OleErrorText(hr, object, IID_ITallyportObject), SystemMessage(DWORD(E_FAIL)));

    SetErrorInfo(0, nullptr);
    const std::string system = OleErrorText(E_OUTOFMEMORY);
    EXPECT_FALSE(system.empty());
    EXPECT_EQ(system.find_last_not_of("\r\n"), system.size() - 1);  // no line end
    EXPECT_EQ(system.find("OLE error"), std::string::npos);
    EXPECT_EQ(OleErrorText(HRESULT(0x8FFF1234)), "OLE error 8FFF1234");

    // Refused creations say where to look.
    const std::string hint = " Verificati contul serviciului si permisiunile DCOM";
    for (HRESULT refused : {E_ACCESSDENIED, CO_E_SERVER_EXEC_FAILURE, CO_E_RUNAS_LOGON_FAILURE})
        EXPECT_EQ(CreationFailureText(refused).find(hint), OleErrorText(refused).size()) << refused;
    EXPECT_EQ(CreationFailureText(REGDB_E_CLASSNOTREG), OleErrorText(REGDB_E_CLASSNOTREG));
}

}  // namespace
