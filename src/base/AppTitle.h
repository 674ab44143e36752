// The application's title, shown on its message boxes.
#pragma once

#include <string>
#include <string_view>

// The executable's file name without folder and without everything from its first
// ".", first character kept, the rest in lower case: "VQBroker.exe" gives "Vqbroker".
std::string ApplicationTitle(std::string_view exePath);
