// Naming of the error file that tells an outside system why its request failed.
#include "log/ErrorFileName.h"

#include "base/Text.h"

std::string ErrorFileSuffixFor(bool prefixErrors, std::string_view currentRequest) {
    if (!prefixErrors || currentRequest.empty()) return {};
    size_t at = FindNoCase(currentRequest, ".TXT");
    std::string suffix = "_";
    suffix.append(currentRequest.substr(0, at));
    return suffix;
}

std::string ErrorFileName(bool prefixErrors, std::string_view currentRequest) {
    return "ERORI" + ErrorFileSuffixFor(prefixErrors, currentRequest) + ".TXT";
}

std::wstring ErrorFileName(bool prefixErrors, std::wstring_view currentRequest) {
    std::wstring name = L"ERORI";
    if (prefixErrors && !currentRequest.empty()) {
        size_t at = 0;
        for (; at + 4 <= currentRequest.size(); ++at) {
            const std::wstring_view four = currentRequest.substr(at, 4);
            if (four[0] == L'.' && (four[1] | 0x20) == L't' && (four[2] | 0x20) == L'x' && (four[3] | 0x20) == L't')
                break;
        }
        name += L'_';
        name.append(currentRequest.substr(0, at));
    }
    return name + L".TXT";
}
