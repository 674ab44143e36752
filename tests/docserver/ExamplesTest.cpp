// The request files of examples/ against the demo data: every package is accepted except FACTURA_2.TXT.
#include "ComText.h"
#include "DocServer.h"
#include "Text.h"

#include <wrl/client.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace docserver {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> ReadLines(const std::string& name) {
    std::ifstream in(std::string(VQ_EXAMPLES_DIR) + "/" + name, std::ios::binary);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line.empty() || line.back() != '\r' ? line : line.substr(0, line.size() - 1));
    return lines;
}

TEST(Examples, EveryExamplePackageMeetsTheDemoData) {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const fs::path folder =
        fs::temp_directory_path() / ("vqdocserver-examples-" + std::to_string(GetCurrentProcessId()));
    fs::remove_all(folder);
    Microsoft::WRL::ComPtr<ITallyportObject> server;
    ServerOptions options;
    options.dataFolder = folder.wstring();
    ASSERT_EQ(CreateDocServer(options, IID_ITallyportObject, reinterpret_cast<void**>(server.GetAddressOf())),
              S_OK);

    using Record = HRESULT (STDMETHODCALLTYPE ITallyportObject::*)(BSTR, LONG*);
    using Package = HRESULT (STDMETHODCALLTYPE ITallyportObject::*)(LONG*);
    const struct {
        const char* file;
        Record record;
        Package generate;
        Package count;
        LONG ok;
        LONG documents;
    } cases[] = {
        {"PARTENER_1.TXT", &ITallyportObject::AddPartener, nullptr, nullptr, 1, 0},
        {"MODIPARTENER_1.TXT", &ITallyportObject::ModiPartener, nullptr, nullptr, 1, 0},
        {"ARTICOL_1.TXT", &ITallyportObject::AddArticol, nullptr, nullptr, 1, 0},
        {"COMANDA_1.TXT", nullptr, &ITallyportObject::GenComenzi, &ITallyportObject::GetNrComenzi, 1, 1},
        {"COMANDAFURN_1.TXT", nullptr, &ITallyportObject::GenComenziFurnizori,
         &ITallyportObject::GetNrComenziFurnizori, 1, 1},
        {"FACTURA_1.TXT", nullptr, &ITallyportObject::GenFacturi, &ITallyportObject::GetNrFacturi, 1, 2},
        {"FACTURA_2.TXT", nullptr, &ITallyportObject::GenFacturi, &ITallyportObject::GetNrFacturi, 0, 0},
        {"FACTURAFURN_1.TXT", nullptr, &ITallyportObject::GenFacturiFurnizori,
         &ITallyportObject::GetNrFacturiFurnizori, 1, 1},
    };
    for (const auto& c : cases) {
        const std::vector<std::string> lines = ReadLines(c.file);
        ASSERT_FALSE(lines.empty()) << c.file;
        LONG ok = -1;
        if (c.record) {
            const std::wstring text(lines[0].begin(), lines[0].end());
            UniqueBstr record(SysAllocString(text.c_str()));
            ASSERT_EQ((server.Get()->*c.record)(record.get(), &ok), S_OK);
            EXPECT_EQ(ok, c.ok) << c.file;
            continue;
        }
        ASSERT_EQ(server->SetLunaLucru(2025, 6, &ok), S_OK);
        UniqueVariant list;
        ASSERT_EQ(ToList(lines, list.addressof()), S_OK);
        ASSERT_EQ(server->SetPachet(list.get()), S_OK);
        ASSERT_EQ((server.Get()->*c.generate)(&ok), S_OK);
        EXPECT_EQ(ok, c.ok) << c.file;
        LONG documents = -1;
        (server.Get()->*c.count)(&documents);
        EXPECT_EQ(documents, c.documents) << c.file;
    }
    UniqueVariant errors;
    server->GetListaErori(errors.addressof());
    EXPECT_EQ(FromList(errors.get()), (std::vector<std::string>{"Linia 11: articol necunoscut ART99"}));

    LONG errorCode = -1;
    UniqueVariant stock;
    UniqueBstr code(SysAllocString(L"A0001"));
    ASSERT_EQ(server->GetStocArticol(code.get(), 0, &errorCode, stock.addressof()), S_OK);
    EXPECT_EQ(SplitFields(FromList(stock.get()).at(0))[3], "37");  // 40 in the warehouse, 3 invoiced
    server.Reset();
    fs::remove_all(folder);
    CoUninitialize();
}

}  // namespace
}  // namespace docserver
