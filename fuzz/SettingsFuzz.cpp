// The settings reader, fed whatever an operator's editor might save.
#include <string>

#include "base/Settings.h"
#include "fuzz/FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Locations are compared with upper-cased fields.
    for (const std::string& code : ReadSettings(AsText(data, size)).gestiuni)
        for (char c : code) FUZZ_CHECK(!(c >= 'a' && c <= 'z') && c != ';');
    return 0;
}
