// What the handlers read from a package's lines: working month and master-data record.
#pragma once

#include <string>
#include <vector>

struct WorkingMonth {
    int year = 0;
    int month = 0;
};

// "AnLucru" and "LunaLucru" of the first section "InfoPachet", by the header view's
// rules; 0 for a missing key or a value that is not a whole integer. Never fails.
WorkingMonth ReadWorkingMonth(const std::vector<std::string>& lines);

// The first line, unchanged; ";" when the package has no line at all.
std::string RecordText(const std::vector<std::string>& lines);
