// VQDocServer.ini beside the module, the DLL or the EXE: its data folder and its test settings.
#pragma once

#include "DocServer.h"

#include <string>

namespace docserver {

std::wstring ModulePath(HMODULE module);
std::wstring IniPath(HMODULE module);
// Read afresh for each object made.
ServerOptions ReadOptions(HMODULE module);

}  // namespace docserver
