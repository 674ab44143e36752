// Reading a package and handing its lines to the server.
#pragma once

#include <string>
#include <vector>

#include "base/AnsiText.h"
#include "base/Owners.h"
#include "packages/PackageText.h"

// The package's bytes and text lines, UTF-8 when the setting or a mark says so; raises
// BrokerError when it cannot be opened or read, or does not fit in memory.
PackageLines ReadPackage(const std::wstring& path);
PackageLines ReadPackage(std::string content, const std::wstring& path);  // the path names it in an error

// The encoding its lines' wide text is read in.
inline TextEncoding EncodingOf(const PackageLines& package) {
    return package.utf8() ? TextEncoding::Utf8 : ServiceEncoding();
}

// Every line, in file order, as VT_ARRAY|VT_BSTR with bounds 0..n-1.
UniqueVariant ToServerList(const std::vector<std::string_view>& lines);
UniqueVariant ToServerList(const std::vector<std::string_view>& lines, TextEncoding encoding);
UniqueVariant ToServerList(const PackageLines& package);
