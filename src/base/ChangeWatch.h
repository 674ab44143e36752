// The changes in one directory as the system records them: which names were added, removed,
// renamed or written, so that a change can be told from another. Its event is signalled when
// some are there to take.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "base/Owners.h"

class ChangeWatch {
public:
    ChangeWatch() = default;
    ~ChangeWatch() { reset(); }
    ChangeWatch(const ChangeWatch&) = delete;
    ChangeWatch& operator=(const ChangeWatch&) = delete;

    // Watches the directory's file names, writes and sizes; false when it cannot be watched
    // (some network shares give no changes).
    bool Open(const std::wstring& directory);
    void reset() noexcept;
    bool valid() const { return directory_.valid(); }
    HANDLE get() const { return event_.get(); }  // signalled when changes wait

    enum class Taken {
        None,     // nothing yet: the event was signalled for an earlier take
        Changes,  // each handed to visit
        Lost,     // more changes came than the system kept: which ones is not known
        Failed,   // the watch no longer works and has been closed
    };
    // The changes recorded since the last take, in their order, each as its action
    // (FILE_ACTION_*) and name; the watch goes on recording.
    Taken Take(const std::function<void(DWORD action, std::wstring_view name)>& visit);

private:
    bool Arm();

    UniqueFile directory_;
    UniqueHandle event_;
    OVERLAPPED overlapped_{};
    std::vector<DWORD> buffer_;  // DWORD-aligned, as the records must be
};
