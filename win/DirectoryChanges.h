// The names that changed in one folder, as its file system reports them: files and subfolders
// made, removed or renamed, and files written, in the folder itself, not below it.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "win/Handles.h"

namespace win {

class DirectoryChanges {
public:
    // What a completed read brought: the names changed; or that the system dropped changes (its
    // buffer ran over, or it says so); or that the folder can no longer be read (deleted, renamed
    // away or unmounted), after which nothing is open.
    enum class Outcome { Names, Lost, Ended };
    struct Batch {
        Outcome outcome = Outcome::Ended;
        std::vector<std::wstring> names;
    };

    DirectoryChanges() = default;
    ~DirectoryChanges() { Close(); }
    DirectoryChanges(const DirectoryChanges&) = delete;
    DirectoryChanges& operator=(const DirectoryChanges&) = delete;

    // Starts reading the folder's changes. False, with nothing open, when the folder cannot be
    // opened or its file system tells no names (some network shares).
    bool Open(const std::string& folder);
    // Stops the read under way and waits until the system has let go of its buffer.
    void Close();
    bool IsOpen() const { return static_cast<bool>(folder_); }
    // Signalled once a read has completed.
    HANDLE Event() const { return event_.get(); }
    // The completed read. The next read starts before this returns, so that no change falls
    // between the two.
    Batch Take();

private:
    bool StartRead();

    UniqueHandle folder_;
    UniqueHandle event_;
    OVERLAPPED overlapped_{};
    std::vector<DWORD> buffer_;  // the records are DWORD-aligned
    bool reading_ = false;
};

}  // namespace win
