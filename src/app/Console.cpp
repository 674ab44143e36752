// What a command-line form of the program says: VQBroker.exe is a window program, so it
// has no console of its own.
#include "app/Console.h"

#include <windows.h>

namespace {

bool WriteTo(HANDLE output, const std::string& text) {
    if (!output || output == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    return WriteFile(output, text.data(), DWORD(text.size()), &written, nullptr) && written == text.size();
}

}  // namespace

int Say(int exitCode, const std::string& text) {
    std::string line = text;
    if (line.empty() || line.back() != '\n') line += '\n';
    std::string crlf;
    for (char c : line) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    if (WriteTo(GetStdHandle(STD_OUTPUT_HANDLE), crlf)) return exitCode;
    if (AttachConsole(ATTACH_PARENT_PROCESS)) {
        HANDLE console = CreateFileW(L"CONOUT$", GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
        WriteTo(console, crlf);
        if (console != INVALID_HANDLE_VALUE) CloseHandle(console);
    }
    return exitCode;  // no box: a scheduled task that runs a form would wait on it for ever
}
