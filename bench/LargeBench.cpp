// A 100,000-line package and a 100,000-row stock answer against plain file I/O of the
// same bytes.
#include <memory>
#include <utility>

#include "Benchmarks.h"
#include "app/FileSystem.h"
#include "packages/PackageFile.h"
#include "server/AnsiText.h"
#include "server/BrokerError.h"
#include "server/ComOwners.h"
#include "support/BrokerFixture.h"

namespace {

constexpr int kLines = 100000;
constexpr int kRepetitions = 9;

std::string PackageText() {
    std::string text = "[InfoPachet]\r\nAnLucru=2026\r\nLunaLucru=12\r\n\r\n";
    for (int i = 0; text.size() < 40 * size_t(kLines) && i < kLines; ++i) {
        if (i % 10 == 0) text += "[Document]\r\nData=07.12.2026\r\nPartener=P0002\r\nGestiune=DEP\r\n";
        else text += "Articol=A" + std::to_string(10000 + i) + ";" + std::to_string(i % 17 + 1) + ";4.50\r\n";
    }
    return text;
}

// Bare reading: open, size, one read into a fresh buffer.
double ReadBytesSeconds(const std::string& path) {
    const double start = WallSeconds();
    UniqueHandle file(CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    GetFileSizeEx(file.get(), &size);
    auto buffer = std::make_unique_for_overwrite<char[]>(size_t(size.QuadPart));
    DWORD read = 0;
    ReadFile(file.get(), buffer.get(), DWORD(size.QuadPart), &read, nullptr);
    buffer.reset();
    return WallSeconds() - start;
}

double ReadPackageSeconds(const std::string& path) {
    const double start = WallSeconds();
    {
        const PackageLines package = ReadPackage(path);
        UniqueVariant list = ToServerList(package.lines());
    }
    return WallSeconds() - start;
}

// Row i of 20 fields, at DEP, MAG1 or MAG2 in field 11.
std::string StockRow(int i) {
    static const char* const kLocations[] = {"DEP", "MAG1", "MAG2"};
    std::string row = "A";
    row += std::to_string(100000 + i);
    return row + ";Articol de test " + std::to_string(i) + ";BUC;" + std::to_string(i % 90 + 10) +
           ".000;45.00;76.19;19;7;8.00;9;10.50;" + kLocations[i % 3] +
           ";12;13;14;0.00;2;17;CODEXT" + std::to_string(i) + ";0";
}

// The fake server, answering GetStocuri with an array built beforehand, so that the
// time measured is the service's own.
class PreparedServer : public FakeServer {
public:
    ~PreparedServer() { Drop(); }
    void Prepare(const std::vector<std::string>& rows) {
        Drop();
        next_ = SafeArrayCreateVector(VT_BSTR, 0, ULONG(rows.size()));
        BSTR* data = nullptr;
        SafeArrayAccessData(next_, reinterpret_cast<void**>(&data));
        for (size_t i = 0; i < rows.size(); ++i) data[i] = MakeBstr(rows[i]).release();
        SafeArrayUnaccessData(next_);
    }
    HRESULT STDMETHODCALLTYPE GetStocuri(LONG* errorCode, VARIANT* list) override {
        *errorCode = 0;
        list->vt = VT_ARRAY | VT_BSTR;
        list->parray = std::exchange(next_, nullptr);
        return S_OK;
    }

private:
    void Drop() {
        if (next_) SafeArrayDestroy(std::exchange(next_, nullptr));
    }
    SAFEARRAY* next_ = nullptr;
};

}  // namespace

Figure LargePackageFigure() {
    const std::string dir = MakeTempFolder("bench_package");
    const std::string path = dir + "\\FACTURA_1.TXT";
    WriteFileReplacing(path, PackageText());
    double package = 0, bytes = 0;
    const double ratio = InterleavedRatio(
        kRepetitions, [&] { return ReadPackageSeconds(path); }, [&] { return ReadBytesSeconds(path); },
        &package, &bytes);
    const uint64_t size = ReadWholeFile(path).size();
    RemoveFolder(dir);
    return {"3 large package", ratio, 3,
            "read + server list " + Millis(package) + ", bytes read " + Millis(bytes) + " (" +
                std::to_string(size) + " bytes)"};
}

Figure LargeQueryFigure() {
    const std::string dir = MakeTempFolder("bench_query");
    Figure figure{"4 large query", 0, 3, ""};
    {
        std::vector<std::string> rows;
        for (int i = 0; i < kLines; ++i) rows.push_back(StockRow(i));
        PreparedServer server;
        TEBroker broker;
        PrepareBroker(broker, dir);
        broker.FServer = server.Ref();
        broker.FGestiuni = {"DEP", "MAG1"};
        server.Prepare(rows);
        broker.ServeGetStoc();
        const std::string reference(ReadWholeFile(dir + "\\STOCURI.TXT").size(), 'x');
        double query = 0, write = 0;
        figure.ratio = InterleavedRatio(
            kRepetitions,
            [&] {
                server.Prepare(rows);
                const double start = WallSeconds();
                broker.ServeGetStoc();
                return WallSeconds() - start;
            },
            [&] {
                const double start = WallSeconds();
                WriteFileReplacing(dir + "\\REFERENCE.TXT", reference);
                return WallSeconds() - start;
            },
            &query, &write);
        figure.detail = "ServeGetStoc " + Millis(query) + ", writing " + std::to_string(reference.size()) +
                        " bytes " + Millis(write);
        broker.FServer.reset();
    }
    RemoveFolder(dir);
    return figure;
}
