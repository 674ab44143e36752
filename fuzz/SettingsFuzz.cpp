// Fuzzes the settings file reader with whatever an operator's editor might save.
#include <string>

#include "base/Settings.h"
#include "fuzz/FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const Settings settings = ReadSettings(AsText(data, size));
    // Location codes are compared against upper-cased fields: they must hold no a-z,
    // and no separator survives the split.
    for (const std::string& code : settings.gestiuni)
        for (char c : code) FUZZ_CHECK(!(c >= 'a' && c <= 'z') && c != ';');
    return 0;
}
