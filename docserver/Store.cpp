// The data folder on disk: reading tables, and replacing them through temporary files.
#include "Store.h"

#include "Ansi.h"
#include "Seed.h"

#include <windows.h>

#include <utility>
#include <vector>

namespace docserver {

namespace {

class UniqueHandle {
public:
    explicit UniqueHandle(HANDLE owned) noexcept : value_(owned) {}
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    ~UniqueHandle() { reset(); }

    HANDLE get() const noexcept { return value_; }
    bool valid() const noexcept { return value_ != INVALID_HANDLE_VALUE; }
    void reset() noexcept
    {
        if (valid())
            CloseHandle(std::exchange(value_, INVALID_HANDLE_VALUE));
    }

private:
    HANDLE value_;
};

[[noreturn]] void Fail(const char* what, const std::wstring& path)
{
    throw StoreError(std::string(what) + " " + ToAnsi(path) + " (eroare " + std::to_string(GetLastError()) + ")");
}

bool Exists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The folder and any missing folders above it.
void MakeFolder(const std::wstring& path)
{
    for (size_t at = path.find_first_of(L"\\/", 3); at != std::wstring::npos; at = path.find_first_of(L"\\/", at + 1))
        CreateDirectoryW(path.substr(0, at).c_str(), nullptr);
    if (!CreateDirectoryW(path.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
        Fail("Nu pot crea folderul", path);
}

// A missing table is an empty one.
Table ReadTable(const std::wstring& path)
{
    UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) {
        if (GetLastError() == ERROR_FILE_NOT_FOUND)
            return {};
        Fail("Nu pot deschide fisierul", path);
    }
    std::string text;
    char buffer[16384];
    DWORD got = 0;
    do {
        if (!ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr))
            Fail("Nu pot citi fisierul", path);
        text.append(buffer, got);
    } while (got > 0);
    return ParseTable(text);
}

void WriteWhole(const std::wstring& path, const std::string& text)
{
    UniqueHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    if (!file.valid() || !::WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) ||
        written != text.size() || !FlushFileBuffers(file.get()))
        Fail("Nu pot scrie fisierul", path);
}

// All temporary files first, then the renames: a failure before the first rename changes nothing.
void ReplaceTables(const std::wstring& folder, const Tables& tables)
{
    std::vector<std::pair<std::wstring, std::wstring>> moves;
    try {
        for (const auto& [name, table] : tables) {
            const std::wstring target = folder + L"\\" + ToWide(name);
            moves.emplace_back(target + L".tmp", target);
            WriteWhole(moves.back().first, FormatTable(table));
        }
    } catch (const StoreError&) {
        for (const auto& move : moves)
            DeleteFileW(move.first.c_str());
        throw;
    }
    for (const auto& [temporary, target] : moves) {
        if (!MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            Fail("Nu pot inlocui fisierul", target);
    }
}

}  // namespace

std::wstring Store::CompanyFolder(const std::string& code) const
{
    return folder_ + L"\\" + ToWide(code);
}

Table Store::OpenCompanies(const Date& today)
{
    const std::wstring list = folder_ + L"\\" + ToWide(file::Companies);
    if (!Exists(list)) {
        const DemoData demo = MakeDemoData(today.year, today.month);
        MakeFolder(folder_);
        MakeFolder(CompanyFolder(demo.code));
        ReplaceTables(CompanyFolder(demo.code), demo.tables);
        ReplaceTables(folder_, {{file::Companies, demo.companies}});  // last: it marks the store complete
    }
    return ReadTable(list);
}

Tables Store::LoadCompany(const std::string& code)
{
    Tables tables;
    for (const char* name : CompanyTableFiles)
        tables[name] = ReadTable(CompanyFolder(code) + L"\\" + ToWide(name));
    return tables;
}

void Store::SaveCompany(const std::string& code, const Tables& changed)
{
    MakeFolder(CompanyFolder(code));
    ReplaceTables(CompanyFolder(code), changed);
}

}  // namespace docserver
