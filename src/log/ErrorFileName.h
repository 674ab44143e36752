// Naming of the error file that tells an outside system why its request failed.
#pragma once

#include <string>
#include <string_view>

// "" unless prefixing is on and a request has been served; then "_" + the request's
// name up to its first ".TXT" (any case), or the whole name when it holds none.
std::string ErrorFileSuffixFor(bool prefixErrors, std::string_view currentRequest);

// "ERORI" + suffix + ".TXT".
std::string ErrorFileName(bool prefixErrors, std::string_view currentRequest);
