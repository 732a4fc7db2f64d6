// Files through CreateFileA/ReadFile/WriteFile; every failure raises io::IoError with the Windows
// error code and its standard message.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

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
// Whether the file exists and holds exactly these bytes; false when it cannot be read.
bool FileHoldsExactly(const std::string& path, const void* data, DWORD size);
// Moves the files to the Recycle Bin in one shell operation, without a question or a progress
// window; the shell's result is not examined.
void RecycleFiles(const std::vector<std::string>& paths);

// Writes files of one batch (an import) that may replace earlier files of the same name. A file
// that already holds exactly the content is not written again. An earlier file of other content
// is not lost: the new content waits in a temporary file, and when the batch is committed every
// replaced file goes to the Recycle Bin in one shell operation before the new ones move into
// place.
class ReplacingBatch {
public:
    enum class Result { Written, Unchanged, Replaced };

    ReplacingBatch() = default;
    ReplacingBatch(const ReplacingBatch&) = delete;
    ReplacingBatch& operator=(const ReplacingBatch&) = delete;
    // Commits what is still pending; a failure there is not raised.
    ~ReplacingBatch();

    Result Write(const std::string& path, const void* data, DWORD size);
    // Recycles the replaced files and moves the new ones into place. Every move is tried; the
    // first failure is raised afterwards.
    void Commit();

private:
    struct Replacement {
        std::string temporary;
        std::string target;
    };
    std::vector<Replacement> pending_;
};

// Removes the temporary files that processes which no longer run left in the folder (a killed
// import), never another running process's; then the staging folder, when it is empty.
void RemoveStaleTemporaryFiles(const std::string& folder);

}  // namespace win
