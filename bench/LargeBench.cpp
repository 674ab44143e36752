// A package of 100,000 items (130,004 lines) and a 100,000-row stock answer, each against
// the floor of the document server's interface and against plain file I/O of the same bytes;
// with a server in a process of its own, both sides hand the lines to it and take the rows
// from it over the same channel.
#include <cstdio>
#include <memory>
#include <utility>

#include "Benchmarks.h"
#include "base/AnsiText.h"
#include "base/BrokerError.h"
#include "base/FileSystem.h"
#include "base/Owners.h"
#include "packages/PackageFile.h"
#include "queries/QueryKinds.h"
#include "support/BrokerFixture.h"

namespace {

constexpr int kLines = 100000;
// More than the other figures take: each run is short, and the machine may be shared.
constexpr int kRepetitions = 15;

// Keeps results the compiler must not drop.
volatile long gSink = 0;

// With utf8, each document's partner and every tenth item's note in Romanian letters.
std::string PackageText(bool utf8) {
    std::string text = "[InfoPachet]\r\nAnLucru=2026\r\nLunaLucru=12\r\n\r\n";
    for (int i = 0; text.size() < 40 * size_t(kLines) && i < kLines; ++i) {
        if (i % 10 == 0)
            text += std::string("[Document]\r\nData=07.12.2026\r\nPartener=") +
                    (utf8 ? "\xC8\x98\x65rban \xC8\x9A\x75rcanu" : "P0002") + "\r\nGestiune=DEP\r\n";
        else if (utf8 && i % 10 == 5)
            text += "Nota=Livrare \xC3\xAEn Ia\xC8\x99i\r\n";
        else
            text += "Articol=A" + std::to_string(10000 + i) + ";" + std::to_string(i % 17 + 1) + ";4.50\r\n";
    }
    return text;
}

// Bare reading: open, size, one read into a fresh buffer.
std::unique_ptr<char[]> ReadBytes(const std::string& path, size_t& size) {
    UniqueFile file(CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER length{};
    GetFileSizeEx(file.get(), &length);
    auto buffer = std::make_unique_for_overwrite<char[]>(size_t(length.QuadPart));
    DWORD read = 0;
    ReadFile(file.get(), buffer.get(), DWORD(length.QuadPart), &read, nullptr);
    size = read;
    return buffer;
}

double ReadBytesSeconds(const std::string& path) {
    const double start = WallSeconds();
    size_t size = 0;
    ReadBytes(path, size).reset();
    return WallSeconds() - start;
}

// The month and the lines to a server, when there is one.
void HandOver(ITallyportObject* server, LONG year, LONG month, const VARIANT& lines) {
    if (!server) return;
    LONG ok = 0;
    server->SetLunaLucru(year, month, &ok);
    server->SetPachet(lines);
}

// The service's path as a document package's handler takes it: the lines, the header's
// working month, the server's list (handed over), then freeing all of it.
double PackagePathSeconds(const std::string& path, ITallyportObject* server) {
    const double start = WallSeconds();
    {
        const PackageLines package = ReadPackage(Wide(path));
        const WorkingMonth month = ReadWorkingMonth(package.lines());
        gSink = gSink + month.month;
        UniqueVariant list = ToServerList(package.lines());
        HandOver(server, month.year, month.month, list.get());
    }
    return WallSeconds() - start;
}

// Calls line(begin, end) for each line of the bytes (CR LF, CR or LF ends one).
template <class Line>
void ForEachLine(const char* at, const char* end, Line line) {
    while (at != end) {
        const char* stop = at;
        while (stop != end && *stop != '\r' && *stop != '\n') ++stop;
        line(at, stop);
        if (stop == end) break;
        at = stop + 1;
        if (*stop == '\r' && at != end && *at == '\n') ++at;
    }
}

// The interface's floor: the file's bytes, then each line converted straight from them
// into its one BSTR in the safe array (handed over), then the array destroyed.
double PackageFloorSeconds(const std::string& path, ITallyportObject* server, UINT codePage) {
    const double start = WallSeconds();
    size_t size = 0;
    const std::unique_ptr<char[]> bytes = ReadBytes(path, size);
    const char* const end = bytes.get() + size;
    ULONG count = 0;
    ForEachLine(bytes.get(), end, [&](const char*, const char*) { ++count; });
    SAFEARRAY* array = SafeArrayCreateVector(VT_BSTR, 0, count);
    BSTR* data = nullptr;
    SafeArrayAccessData(array, reinterpret_cast<void**>(&data));
    ForEachLine(bytes.get(), end, [&](const char* line, const char* stop) {
        const int length = int(stop - line);
        // UTF-8 is refused when not well formed, as the service refuses it.
        const DWORD flags = codePage == CP_UTF8 ? MB_ERR_INVALID_CHARS : 0;
        const int wide = length ? MultiByteToWideChar(codePage, flags, line, length, nullptr, 0) : 0;
        BSTR text = SysAllocStringLen(nullptr, UINT(wide));
        if (wide) MultiByteToWideChar(codePage, flags, line, length, text, wide);
        *data++ = text;
    });
    SafeArrayUnaccessData(array);
    VARIANT lines{};
    lines.vt = VT_ARRAY | VT_BSTR;
    lines.parray = array;
    HandOver(server, 2026, 12, lines);
    SafeArrayDestroy(array);
    return WallSeconds() - start;
}

}  // namespace

// Row i of 20 fields, at DEP, MAG1 or MAG2 in field 11.
std::string StockRow(int i, bool utf8) {
    static const char* const kLocations[] = {"DEP", "MAG1", "MAG2"};
    std::string row = "A";
    row += std::to_string(100000 + i);
    row += utf8 ? ";\xC8\x98urub \xC3\xAEn\xC8\x9B\x65pat " : ";Articol de test ";
    return row + std::to_string(i) + ";BUC;" + std::to_string(i % 90 + 10) +
           ".000;45.00;76.19;19;7;8.00;9;10.50;" + kLocations[i % 3] + ";12;13;14;0.00;2;17;CODEXT" +
           std::to_string(i) + ";0";
}

// The server's answer: one BSTR per row.
SAFEARRAY* AnswerOf(const std::vector<std::string>& rows) {
    SAFEARRAY* answer = SafeArrayCreateVector(VT_BSTR, 0, ULONG(rows.size()));
    BSTR* data = nullptr;
    SafeArrayAccessData(answer, reinterpret_cast<void**>(&data));
    for (size_t i = 0; i < rows.size(); ++i) data[i] = MakeBstr(rows[i]).release();
    SafeArrayUnaccessData(answer);
    return answer;
}

namespace {

// The floor's calls to a server in a process of its own: the month, then the stock list.
SAFEARRAY* LocalAnswer(ITallyportObject& server) {
    LONG ok = 0, code = 0;
    server.SetLunaLucru(2026, 12, &ok);
    UniqueVariant list;
    server.GetStocuri(&code, list.addressof());
    VARIANT answer = list.release();
    return answer.parray;
}

// The fake server, answering GetStocuri with an answer built beforehand, so that the
// time measured is the service's own.
class PreparedServer : public FakeServer {
public:
    ~PreparedServer() { Drop(); }
    void Prepare(const std::vector<std::string>& rows) {
        Drop();
        next_ = AnswerOf(rows);
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

// The interface's floor: each row's BSTR converted straight into one output buffer,
// CR LF after each, the buffer written to the file, then the answer destroyed, which the
// interface leaves to whoever receives it. freeing gets that last part's share, written
// the number of bytes written.
double QueryFloorSeconds(SAFEARRAY* answer, const std::string& path, double& freeing, size_t& written,
                         UINT codePage) {
    const double start = WallSeconds();
    LONG upper = -1;
    SafeArrayGetUBound(answer, 1, &upper);
    const size_t count = size_t(upper + 1);
    BSTR* data = nullptr;
    SafeArrayAccessData(answer, reinterpret_cast<void**>(&data));
    // Room for three bytes per UTF-16 unit, the most any ANSI code page takes, so that
    // each row is converted in one call.
    size_t room = 0;
    for (size_t i = 0; i < count; ++i) room += 3 * size_t(SysStringLen(data[i])) + 2;
    const auto buffer = std::make_unique_for_overwrite<char[]>(room);
    char* at = buffer.get();
    for (size_t i = 0; i < count; ++i) {
        at += WideCharToMultiByte(codePage, 0, data[i], int(SysStringLen(data[i])), at,
                                  int(room - size_t(at - buffer.get())), nullptr, nullptr);
        *at++ = '\r';
        *at++ = '\n';
    }
    SafeArrayUnaccessData(answer);
    written = size_t(at - buffer.get());
    WriteFileReplacing(Wide(path), std::string_view(buffer.get(), written));
    const double converted = WallSeconds();
    SafeArrayDestroy(answer);
    const double end = WallSeconds();
    freeing = end - converted;
    return end - start;
}

std::string Ratio(double ratio) {
    char text[32];
    std::snprintf(text, sizeof(text), "%.2f", ratio);
    return text;
}

// The service's encoding for one figure, ANSI again after it.
struct EncodingScope {
    explicit EncodingScope(bool utf8) { SetServiceEncoding(utf8 ? TextEncoding::Utf8 : TextEncoding::Ansi); }
    ~EncodingScope() { SetServiceEncoding(TextEncoding::Ansi); }
    UINT CodePage() const { return ServiceEncoding() == TextEncoding::Utf8 ? CP_UTF8 : CP_ACP; }
};

std::string FigureName(const char* name, bool local, bool utf8) {
    return std::string(name) + (local ? ", local" : "") + (utf8 ? ", UTF8" : "");
}

}  // namespace

Figure LargePackageFigure(ITallyportObject* server, bool utf8) {
    const EncodingScope encoding(utf8);
    const std::string dir = MakeTempFolder("bench_package");
    const std::string path = dir + "\\FACTURA_1.TXT";
    WriteFileReplacing(Wide(path), PackageText(utf8));
    const auto [service, floor, bytes] = InterleavedMedians(
        kRepetitions, [&] { return PackagePathSeconds(path, server); },
        [&] { return PackageFloorSeconds(path, server, encoding.CodePage()); },
        [&] { return ReadBytesSeconds(path); });
    const size_t lines = ReadPackage(Wide(path)).lines().size();
    const uint64_t size = ReadWholeFile(Wide(path)).size();
    RemoveFolder(dir);
    return {FigureName("3 large package", server, utf8), service / floor, 1.3,
            "path " + Millis(service) + ", floor " + Millis(floor) + "; plain reading " + Millis(bytes) +
                ", path / plain " + Ratio(service / bytes) + " (" + std::to_string(lines) + " lines, " +
                std::to_string(size) + " bytes)"};
}

// A server in a process of its own makes its rows at each call: both sides wait for them
// alike, as they would for a real server's.
Figure LargeQueryFigure(ITallyportObject* local, bool utf8) {
    const EncodingScope encoding(utf8);
    const std::string dir = MakeTempFolder("bench_query");
    Figure figure{FigureName("4 large query", local, utf8), 0, 1.3, ""};
    {
        std::vector<std::string> rows;
        for (int i = 0; i < kLines; ++i) rows.push_back(StockRow(i, utf8));
        PreparedServer server;
        TEBroker broker;
        PrepareBroker(broker, dir);
        broker.FServer = server.Ref();
        if (local) {
            local->AddRef();
            broker.FServer = ComRef<ITallyportObject>(local);
        }
        broker.FGestiuni = {"DEP", "MAG1"};
        server.Prepare(rows);
        broker.AnswerQuery(QueryKindOf("GETSTOC.TXT"));
        const std::string reference(ReadWholeFile(Wide(dir + "\\STOCURI.TXT")).size(), 'x');
        std::vector<double> freeings;
        size_t floorBytes = 0;
        const auto [service, floor, write] = InterleavedMedians(
            kRepetitions,
            [&] {
                server.Prepare(rows);
                const double start = WallSeconds();
                broker.AnswerQuery(QueryKindOf("GETSTOC.TXT"));
                return WallSeconds() - start;
            },
            [&] {
                const double start = WallSeconds();
                SAFEARRAY* answer = local ? LocalAnswer(*local) : AnswerOf(rows);
                const double asked = local ? WallSeconds() - start : 0;
                double freeing = 0;
                const double seconds =
                    QueryFloorSeconds(answer, dir + "\\FLOOR.TXT", freeing, floorBytes, encoding.CodePage());
                freeings.push_back(freeing);
                return asked + seconds;
            },
            [&] {
                const double start = WallSeconds();
                WriteFileReplacing(Wide(dir + "\\REFERENCE.TXT"), reference);
                return WallSeconds() - start;
            });
        figure.ratio = service / floor;
        figure.detail = "GETSTOC.TXT answered " + Millis(service) + " (" + std::to_string(reference.size()) +
                        " bytes written), floor " + Millis(floor) + " (" + std::to_string(floorBytes) +
                        " bytes written, freeing the answer " + Millis(Median(freeings)) +
                        "); plain writing " + Millis(write) + ", path / plain " + Ratio(service / write) +
                        " (" + std::to_string(kLines) + " rows of 20 fields)";
        broker.FServer.reset();
    }
    RemoveFolder(dir);
    return figure;
}
