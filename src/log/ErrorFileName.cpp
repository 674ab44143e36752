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
