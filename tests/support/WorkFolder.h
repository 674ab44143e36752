// A working directory's files by name, the settings that name it, and its outage.
#pragma once

#include <string>

#include "base/AnsiText.h"
#include "base/FileSystem.h"

struct WorkFolder {
    std::string workDir;

    std::string Path(const std::string& name) const { return workDir + "\\" + name; }
    void Put(const std::string& name, const std::string& content) const {
        WriteFileReplacing(Wide(Path(name)), content);
    }
    std::string Read(const std::string& name) const { return ReadWholeFile(Wide(Path(name))); }
    bool Exists(const std::string& name) const { return FileExists(Wide(Path(name))); }
    // An outage: the working directory renamed away, and back.
    std::string Away() const { return workDir + "_away"; }
    bool TakeAway() const { return MoveFileW(Wide(workDir).c_str(), Wide(Away()).c_str()); }
    bool BringBack() const { return MoveFileW(Wide(Away()).c_str(), Wide(workDir).c_str()); }
    // What the tests start from: this directory, company DEMO, internal keys; then extra.
    std::string DefaultIni(const std::string& extra = {}) const {
        return "[Generale]\r\nDirectorLucru=" + workDir +
               "\r\nFirmaLucru=DEMO\r\nIDArticol=CODINTERN\r\nIDPartener=CODINTERN\r\n" + extra;
    }
};
