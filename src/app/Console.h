// What a command-line form of the program says to whoever started it.
#pragma once

#include <string>

// Writes text to the standard output the program was given, or to the console of the
// process that started it; with neither (started from Explorer), shows it in a box.
// Returns exitCode, for "return Say(...)".
int Say(int exitCode, const std::string& text);
