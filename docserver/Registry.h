// Self-registration of the class for regsvr32.
#pragma once

#include <string>

#include <windows.h>

namespace docserver {

// For every user when allowed, else for the current user only.
HRESULT RegisterServer(const std::wstring& dllPath);
// Removes the class from both places; a class that is not registered is no error.
HRESULT UnregisterServer();

}  // namespace docserver
