// A result file rewritten again and again is never seen partly written by a reader.
#include "support/BrokerFixture.h"

#include "queries/QueryKinds.h"

#include <windows.h>

#include <atomic>
#include <thread>

#include "base/AnsiText.h"

namespace {

using ResultFileTest = BrokerTest;

// Reads the whole file as an outside system would, sharing everything; "" when missing.
std::string ReadShared(const std::string& path, bool& missing) {
    HANDLE file =
        CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, 0, nullptr);
    missing = file == INVALID_HANDLE_VALUE;
    if (missing) return {};
    std::string content;
    char buffer[65536];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) content.append(buffer, read);
    CloseHandle(file);
    return content;
}

TEST_F(ResultFileTest, ReaderNeverSeesAPartialStockList) {
    Start();
    std::vector<std::string> rows;
    std::string expected;
    for (int i = 0; i < 20000; ++i) {
        rows.push_back(std::to_string(i) + ";Articol;BUC;1;19;2;3;x;4;y;5;DEP;n;g;0;1;b;0;01.12.2026;9");
    }
    server.lists["GetStocuri"] = FakeList::Of(rows);
    broker.AnswerQuery(QueryKindOf("GETSTOC.TXT"));
    expected = Read("STOCURI.TXT");
    ASSERT_GT(expected.size(), 1000000u);

    std::atomic<bool> done{false};
    int reads = 0, partial = 0, missing = 0;
    std::thread reader([&] {
        while (!done) {
            bool gone = false;
            std::string seen = ReadShared(Path("STOCURI.TXT"), gone);
            ++reads;
            if (gone)
                ++missing;
            else if (seen != expected)
                ++partial;
        }
    });
    try {
        for (int i = 0; i < 15; ++i) broker.AnswerQuery(QueryKindOf("GETSTOC.TXT"));
    } catch (...) {
        done = true;
        reader.join();
        throw;
    }
    done = true;
    reader.join();
    EXPECT_GT(reads, 0);
    EXPECT_EQ(partial, 0);
    EXPECT_EQ(missing, 0);
}

}  // namespace
