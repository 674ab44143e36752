// What a command-line form of the program says to whoever started it.
#pragma once

#include <string>

// Writes text to the standard output the program was given, or else to the console of
// the process that started it; with neither, the exit code alone tells. Returns exitCode,
// for "return Say(...)".
int Say(int exitCode, const std::string& text);
