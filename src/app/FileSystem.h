// File system access for 8-bit (ANSI) paths, with errors raised as BrokerError.
#pragma once

#include <string>
#include <string_view>

// The path exists and is a directory ("" and "?" never are).
bool DirectoryExists(const std::string& path);

// The path exists and is not a directory.
bool FileExists(const std::string& path);

// Deletes a file; a missing file, or one that cannot be deleted, is no error.
bool DeleteFileQuietly(const std::string& path);

// Reads a whole file, letting others read but not write it meanwhile.
std::string ReadWholeFile(const std::string& path);

// Replaces path with bytes in one step: the bytes go to a temporary file in the same
// folder, which is then renamed over the target. No reader ever sees a partial file.
void WriteFileReplacing(const std::string& path, std::string_view bytes);
