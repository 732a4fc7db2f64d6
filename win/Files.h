// Files through CreateFileA/ReadFile/WriteFile; every failure throws io::IoError with the Windows
// error code and its standard message.
#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
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
// Renames the file in its folder by moving it, never over another file. A change of case alone
// that the file system does not take in one move goes through a free temporary name. Answers the
// system's error, or 0.
DWORD RenameFile(const std::string& from, const std::string& to);
// The file's name as its folder lists it, which keeps its case; empty when it is missing.
std::string ListedFileName(const std::string& path);
// Whether the file exists and holds exactly these bytes; false when it cannot be read.
bool FileHoldsExactly(const std::string& path, const void* data, DWORD size);
// Moves the files to the Recycle Bin in one shell operation, without a progress window: after the
// shell's one question for all of them, owned by owner, or without any. The shell's result is not
// examined.
enum class Confirmation { None, Asked };
void RecycleFiles(const std::vector<std::string>& paths, HWND owner = nullptr,
                  Confirmation confirmation = Confirmation::None);

// Writes files of one batch (an import) that may replace earlier files of the same name. A file
// that already holds exactly the content is not written again. An earlier file of other content
// is not lost: the new content waits, and when the batch is committed every replaced file goes to
// the Recycle Bin in one shell operation before the new ones are written in its place with the
// failure-safe write. A killed import leaves the earlier files as they were.
class ReplacingBatch {
public:
    enum class Result { Written, Unchanged, Replaced };

    // Files are written into the folder (ending in a backslash), which is listed once here: a look
    // for each name would cost, under Wine, a look through the whole folder for every new one.
    explicit ReplacingBatch(const std::string& folder);
    ReplacingBatch(const ReplacingBatch&) = delete;
    ReplacingBatch& operator=(const ReplacingBatch&) = delete;
    // Commits what is still pending; a failure there is not thrown.
    ~ReplacingBatch();

    Result Write(const std::string& path, const void* data, DWORD size);
    // Recycles the replaced files and writes the new ones in their place; serve, when given, runs
    // after each file, so that a window stays alive. Every write is tried; the first failure is
    // thrown afterwards.
    void Commit(const std::function<void()>& serve = {});

private:
    struct Replacement {
        std::string target;
        std::vector<char> content;
    };
    struct Existing {
        DWORD attributes = 0;
        std::uint64_t size = 0;
    };
    // An earlier file found by the listing, or by a write that found the name taken; none when
    // the name was free.
    std::optional<Existing> Find(const std::string& path);
    Result Replace(const std::string& path, const Existing& existing, const void* data, DWORD size);

    std::map<std::string, Existing> listed_;  // by upper-case name
    std::vector<Replacement> pending_;
    std::size_t pendingBytes_ = 0;
};

// Removes the temporary files that processes which no longer run left in the folder (a killed
// import), never another running process's; then the staging folder, when it is empty.
void RemoveStaleTemporaryFiles(const std::string& folder);

}  // namespace win
