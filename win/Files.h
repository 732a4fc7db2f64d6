// Files through CreateFileA/ReadFile/WriteFile; every failure raises io::IoError with the Windows
// error code and its standard message.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

#include "core/IoError.h"
#include "win/Handles.h"

namespace win {

[[noreturn]] void ThrowIoError(DWORD code);
[[noreturn]] void ThrowLastIoError();

class File {
public:
    // Opens for reading only, letting other programs read and write the file meanwhile.
    static File OpenShared(const std::string& path);
    // Creates a new file for writing, shared with no one; fails when the name exists.
    static File CreateExclusive(const std::string& path);

    std::uint64_t Size() const;
    // Reads exactly size bytes at offset; fewer is a short read.
    void ReadAt(std::uint64_t offset, void* buffer, DWORD size) const;
    // Reads up to size bytes at offset; answers how many were read.
    DWORD ReadSomeAt(std::uint64_t offset, void* buffer, DWORD size) const;
    void Write(const void* data, DWORD size) const;
    void Flush() const;
    void Close() { handle_.reset(); }

private:
    explicit File(HANDLE handle) : handle_(handle) {}
    UniqueHandle handle_;
};

// Writes the content to a temporary file on the target's volume (in a hidden staging folder
// inside the target's folder), then moves it over the target in one step: the target keeps its
// old content, or stays absent, when anything fails.
void WriteFileReplacing(const std::string& path, const void* data, DWORD size);
// The same write to a name that must be free: when the name is taken, nothing is written and the
// failure is ERROR_ALREADY_EXISTS.
void WriteFileNew(const std::string& path, const void* data, DWORD size);
// Removes the temporary files that processes which no longer run left in the folder (a killed
// import), never another running process's; then the staging folder, when it is empty.
void RemoveStaleTemporaryFiles(const std::string& folder);

}  // namespace win
