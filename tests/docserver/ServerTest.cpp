// The COM object in-process over a fresh data folder: method results, persistence, refusals, faults.
#include "Book.h"
#include "ComText.h"
#include "DocServer.h"

#include <wrl/client.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>

namespace docserver {
namespace {

using Microsoft::WRL::ComPtr;
namespace fs = std::filesystem;

Date Today() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return {now.wYear, now.wMonth, now.wDay};
}

std::map<fs::path, std::string> FileContents(const fs::path& folder) {
    std::map<fs::path, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        if (entry.is_regular_file()) {
            std::ifstream in(entry.path(), std::ios::binary);
            files[entry.path()] = std::string(std::istreambuf_iterator<char>(in), {});
        }
    }
    return files;
}

class Server : public ::testing::Test {
protected:
    void SetUp() override {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        folder_ = fs::temp_directory_path() / ("vqdocserver-test-" + std::to_string(GetCurrentProcessId()) +
                                               "-" + std::to_string(++serial_));
        fs::remove_all(folder_);
        options_.dataFolder = (folder_ / "data").wstring();
        server_ = Open();
    }
    void TearDown() override {
        server_.Reset();
        fs::remove_all(folder_);
        CoUninitialize();
    }

    ComPtr<ITallyportObject> Open() {
        ComPtr<ITallyportObject> server;
        EXPECT_EQ(
            CreateDocServer(options_, IID_ITallyportObject, reinterpret_cast<void**>(server.GetAddressOf())),
            S_OK);
        return server;
    }

    LONG SelectThisMonth(ITallyportObject* server) {
        LONG ok = -1;
        EXPECT_EQ(server->SetLunaLucru(today_.year, today_.month, &ok), S_OK);
        return ok;
    }

    std::vector<std::string> Errors() {
        UniqueVariant list;
        EXPECT_EQ(server_->GetListaErori(list.addressof()), S_OK);
        EXPECT_EQ(list.get().vt, VT_ARRAY | VT_BSTR);
        return FromList(list.get());
    }

    // The package's lines with the working month and day 1 of it filled in for "@".
    void SetPackage(std::vector<std::string> lines, VARTYPE elementType = VT_BSTR) {
        const std::string date = FormatDate({today_.year, today_.month, 1});
        std::vector<std::string> filled = {"[InfoPachet]", "AnLucru=" + std::to_string(today_.year),
                                           "LunaLucru=" + std::to_string(today_.month)};
        for (std::string& line : lines) {
            if (const size_t at = line.find('@'); at != std::string::npos) line.replace(at, 1, date);
            filled.push_back(line);
        }
        UniqueVariant list;
        ASSERT_EQ(ToList(filled, list.addressof()), S_OK);
        if (elementType == VT_VARIANT) {  // the same lines as an array of variants
            UniqueVariant variants;
            SAFEARRAY* array = SafeArrayCreateVector(VT_VARIANT, 0, static_cast<ULONG>(filled.size()));
            for (LONG i = 0; i < static_cast<LONG>(filled.size()); ++i) {
                VARIANT element;
                element.vt = VT_BSTR;
                SafeArrayGetElement(list.get().parray, &i, &element.bstrVal);
                SafeArrayPutElement(array, &i, &element);
                VariantClear(&element);
            }
            VARIANT* value = variants.addressof();
            value->vt = VT_ARRAY | VT_VARIANT;
            value->parray = array;
            ASSERT_EQ(server_->SetPachet(variants.get()), S_OK);
            return;
        }
        ASSERT_EQ(server_->SetPachet(list.get()), S_OK);
    }

    std::vector<std::string> ArticleStock(ITallyportObject* server, const wchar_t* code) {
        LONG errorCode = -1;
        UniqueVariant list;
        UniqueBstr text(SysAllocString(code));
        EXPECT_EQ(server->GetStocArticol(text.get(), 0, &errorCode, list.addressof()), S_OK);
        EXPECT_EQ(errorCode, 0);
        return FromList(list.get());
    }

    static inline int serial_ = 0;
    Date today_ = Today();
    fs::path folder_;
    ServerOptions options_;
    ComPtr<ITallyportObject> server_;
};

TEST_F(Server, QueriesNeedAWorkingMonthAndBadMonthsAreRefused) {
    LONG errorCode = 0;
    UniqueVariant list;
    ASSERT_EQ(server_->GetStocuri(&errorCode, list.addressof()), S_OK);
    EXPECT_EQ(errorCode, QueryNoMonth);
    EXPECT_EQ(list.get().vt, VT_EMPTY);
    EXPECT_EQ(Errors(), (std::vector<std::string>{"Nu este selectata luna de lucru"}));

    const struct {
        LONG year, month, ok;
    } months[] = {{0, 0, 0}, {2025, 13, 0}, {2025, 0, 0}, {1999, 5, 0}, {2025, 12, 1}, {2000, 1, 1}};
    for (const auto& m : months) {
        LONG ok = -1;
        ASSERT_EQ(server_->SetLunaLucru(m.year, m.month, &ok), S_OK);
        EXPECT_EQ(ok, m.ok) << m.year << "." << m.month;
    }
    LONG ok = -1;
    server_->SetLunaLucru(0, 0, &ok);
    EXPECT_EQ(Errors(), (std::vector<std::string>{"An de lucru invalid 0 (2000-2099)",
                                                  "Luna de lucru invalida 0 (1-12)"}));
}

TEST_F(Server, CompanyIsChosenByCodeOrName) {
    const struct {
        const wchar_t* name;
        LONG ok;
    } cases[] = {{L"DEMO", 1}, {L"firma demo srl", 1}, {L"Alta SRL", 0}, {L"", 0}};
    for (const auto& c : cases) {
        UniqueBstr name(SysAllocString(c.name));
        LONG ok = -1;
        ASSERT_EQ(server_->SetFirmaLucru(name.get(), &ok), S_OK);
        EXPECT_EQ(ok, c.ok);
    }
    EXPECT_EQ(Errors(), (std::vector<std::string>{"Firma necunoscuta "}));
}

TEST_F(Server, InvoiceLowersStockAndTheChangeSurvivesAReload) {
    EXPECT_EQ(SelectThisMonth(server_.Get()), 1);
    SetPackage({"[Document]", "Data=@", "Partener=P0002", "Gestiune=DEP", "Articol=A0001;3", "[Document]",
                "Data=@", "Partener=P0003", "Gestiune=MAG1", "Articol=A0001;1;60"});
    LONG ok = 0;
    LONG count = 0;
    ASSERT_EQ(server_->GenFacturi(&ok), S_OK);
    EXPECT_EQ(ok, 1);
    ASSERT_EQ(server_->GetNrFacturi(&count), S_OK);
    EXPECT_EQ(count, 2);
    ASSERT_EQ(server_->GetNrComenzi(&count), S_OK);
    EXPECT_EQ(count, 0);

    server_.Reset();
    ComPtr<ITallyportObject> reloaded = Open();
    EXPECT_EQ(SelectThisMonth(reloaded.Get()), 1);
    const auto rows = ArticleStock(reloaded.Get(), L"A0001");
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(SplitFields(rows[0])[3], "37");
    EXPECT_EQ(SplitFields(rows[1])[3], "4");
}

TEST_F(Server, RefusedPackageChangesNoFileAndCountsNothing) {
    EXPECT_EQ(SelectThisMonth(server_.Get()), 1);
    const auto before = FileContents(folder_);
    SetPackage({"[Document]", "Data=@", "Partener=P0002", "Gestiune=DEP", "Articol=A0001;3", "[Document]",
                "Data=@", "Partener=P0003", "Gestiune=DEP", "Articol=ART99;1"});
    LONG ok = 1;
    ASSERT_EQ(server_->GenFacturi(&ok), S_OK);
    EXPECT_EQ(ok, 0);
    LONG count = -1;
    server_->GetNrFacturi(&count);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(Errors(), (std::vector<std::string>{"Linia 13: articol necunoscut ART99"}));
    EXPECT_EQ(FileContents(folder_), before);
}

TEST_F(Server, PackageAsAnArrayOfVariantsIsReadToo) {
    EXPECT_EQ(SelectThisMonth(server_.Get()), 1);
    SetPackage({"[Document]", "Data=@", "Partener=P0001", "Gestiune=DEP", "Articol=A0005;5"}, VT_VARIANT);
    LONG ok = 0;
    ASSERT_EQ(server_->GenComenziFurnizori(&ok), S_OK);
    EXPECT_EQ(ok, 1);
    LONG count = 0;
    server_->GetNrComenziFurnizori(&count);
    EXPECT_EQ(count, 1);
}

TEST_F(Server, RecordsAreRefusedCleanlyOrKept) {
    using Method = HRESULT (STDMETHODCALLTYPE ITallyportObject::*)(BSTR, LONG*);
    UniqueBstr empty(SysAllocString(L";"));
    for (Method method :
         {&ITallyportObject::AddPartener, &ITallyportObject::ModiPartener, &ITallyportObject::AddArticol}) {
        LONG ok = 1;
        ASSERT_EQ((server_.Get()->*method)(empty.get(), &ok), S_OK);
        EXPECT_EQ(ok, 0);
        EXPECT_EQ(Errors().size(), 1u);
    }
    LONG ok = 0;
    UniqueBstr record(SysAllocString(L";C3000;RO998877;Partener Nou SRL;Arad"));
    ASSERT_EQ(server_->AddPartener(record.get(), &ok), S_OK);
    EXPECT_EQ(ok, 1);

    server_ = Open();
    SelectThisMonth(server_.Get());
    LONG errorCode = -1;
    UniqueVariant list;
    ASSERT_EQ(server_->GetListaParteneri(&errorCode, list.addressof()), S_OK);
    const auto rows = FromList(list.get());
    ASSERT_EQ(rows.size(), 11u);
    EXPECT_EQ(rows.back().substr(0, 25), "P0011;P0011;C3000;RO99887");
}

TEST_F(Server, BadPointersAndReservedSlotsAreAnswered) {
    LONG value = 0;
    VARIANT list;
    VariantInit(&list);
    EXPECT_EQ(server_->SetLunaLucru(2025, 6, nullptr), E_POINTER);
    EXPECT_EQ(server_->GetStocuri(nullptr, &list), E_POINTER);
    EXPECT_EQ(server_->GetStocuri(&value, nullptr), E_POINTER);
    EXPECT_EQ(server_->GetListaErori(nullptr), E_POINTER);
    EXPECT_EQ(server_->GetNrFacturi(nullptr), E_POINTER);
    EXPECT_EQ(server_->Reserved7(), E_NOTIMPL);
    EXPECT_EQ(server_->Reserved138(), E_NOTIMPL);
    UINT count = 5;
    EXPECT_EQ(server_->GetTypeInfoCount(&count), S_OK);
    EXPECT_EQ(count, 0u);
    EXPECT_TRUE(Errors().empty());  // nothing refused yet: an empty list
}

TEST_F(Server, SimulatedFaultFailsWithItsDescription) {
    options_.failMethod = L"getstocuri";
    server_ = Open();
    EXPECT_EQ(SelectThisMonth(server_.Get()), 1);
    LONG errorCode = 0;
    UniqueVariant list;
    EXPECT_EQ(server_->GetStocuri(&errorCode, list.addressof()), E_FAIL);
    ComPtr<IErrorInfo> info;
    ASSERT_EQ(GetErrorInfo(0, info.GetAddressOf()), S_OK);
    UniqueBstr description;
    info->GetDescription(description.addressof());
    EXPECT_STREQ(description.get(), L"Eroare simulata in GetStocuri");
    EXPECT_EQ(server_->GetPretAchizStocuri(&errorCode, list.addressof()), S_OK);
}

}  // namespace
}  // namespace docserver
