// The class's registry keys, per machine or else per user, for the DLL or the EXE as its server.
#pragma once

#include <windows.h>

#include <string>

namespace docserver {

// The type library embedded in VQDocServer.exe.
inline constexpr wchar_t kLibraryId[] = L"{B41E74C7-0960-4434-BC8E-7BE3026C2787}";

enum class ServerForm { InProcess, Local };

// Makes the module at path the class's one server, under HKLM\Software\Classes when the user
// may write there, else under HKCU\Software\Classes.
HRESULT RegisterServer(ServerForm form, const std::wstring& path);
// Removes the form's keys from both places: for the EXE the class, its interface and its type
// library in both views; for the DLL the class in the program's own view.
HRESULT UnregisterServer(ServerForm form);

}  // namespace docserver
