// The service's one error type, and the turning of a failing HRESULT into it.
#pragma once

#include <windows.h>
#include <unknwn.h>

#include <stdexcept>
#include <string>
#include <string_view>

class BrokerError : public std::runtime_error {
public:
    explicit BrokerError(const std::string& text) : std::runtime_error(text) {}
};

// The system's text for a code, without its trailing line end; empty when it has none.
std::string SystemMessage(DWORD code);

// The text of a failing HRESULT: the description the object left in IErrorInfo, when it
// says through ISupportErrorInfo that it leaves one for the interface called; else the
// system's text; else "OLE error XXXXXXXX". Without an object there is no description.
std::string OleErrorText(HRESULT hr, IUnknown* object = nullptr, REFIID iid = IID_NULL);

// Throws BrokerError when hr, from a call on object's interface iid, failed.
inline void Check(HRESULT hr, IUnknown* object = nullptr, REFIID iid = IID_NULL) {
    if (FAILED(hr)) throw BrokerError(OleErrorText(hr, object, iid));
}

// The text of the exception being handled, whatever its type; called in a catch block.
std::string CurrentErrorText();

// Throws BrokerError naming the operation and the file (its path in the service's 8-bit
// text), with the system's text for the thread's last error.
[[noreturn]] void ThrowFileError(const std::string& what, std::wstring_view path);
