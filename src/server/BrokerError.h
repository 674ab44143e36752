// The service's one error type, and the turning of a failing HRESULT into it.
#pragma once

#include <windows.h>

#include <stdexcept>
#include <string>

class BrokerError : public std::runtime_error {
public:
    explicit BrokerError(const std::string& text) : std::runtime_error(text) {}
};

// The system's text for a code, without its trailing line end; empty when it has none.
std::string SystemMessage(DWORD code);

// The text of a failing HRESULT: the server's IErrorInfo description when it set one,
// else the system's text, else "OLE error XXXXXXXX".
std::string OleErrorText(HRESULT hr);

// Throws BrokerError when hr failed.
inline void Check(HRESULT hr) {
    if (FAILED(hr)) throw BrokerError(OleErrorText(hr));
}

// Throws BrokerError naming the operation and the file, with the system's text for
// the thread's last error.
[[noreturn]] void ThrowFileError(const std::string& what, const std::string& path);
