#include "win/Files.h"

#include <atomic>
#include <cstring>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/Text.h"
#include "win/LazyApi.h"
#include "win/Paths.h"

namespace win {

void ThrowIoError(DWORD code) { throw io::IoError(code); }

void ThrowLastIoError() { ThrowIoError(::GetLastError()); }

File File::OpenShared(const std::string& path)
{
    HANDLE h = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        ThrowLastIoError();
    return File(h);
}

File File::CreateExclusive(const std::string& path)
{
    HANDLE h = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        ThrowLastIoError();
    return File(h);
}

std::uint64_t File::Size() const
{
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(handle_.get(), &size))
        ThrowLastIoError();
    return static_cast<std::uint64_t>(size.QuadPart);
}

DWORD File::ReadSomeAt(std::uint64_t offset, void* buffer, DWORD size) const
{
    LARGE_INTEGER position{};
    position.QuadPart = static_cast<LONGLONG>(offset);
    if (!::SetFilePointerEx(handle_.get(), position, nullptr, FILE_BEGIN))
        ThrowLastIoError();
    DWORD read = 0;
    if (!::ReadFile(handle_.get(), buffer, size, &read, nullptr))
        ThrowLastIoError();
    return read;
}

void File::ReadAt(std::uint64_t offset, void* buffer, DWORD size) const
{
    if (ReadSomeAt(offset, buffer, size) != size)
        throw io::IoError(io::Failure::ShortRead);
}

void File::Write(const void* data, DWORD size) const
{
    DWORD written = 0;
    if (!::WriteFile(handle_.get(), data, size, &written, nullptr))
        ThrowLastIoError();
    if (written != size)
        throw io::IoError(io::Failure::ShortWrite);
}

void File::Flush() const
{
    if (!::FlushFileBuffers(handle_.get()))
        ThrowLastIoError();
}

namespace {

// Temporary files are made in a small hidden folder inside the target's folder: on the same
// volume, so that the move into place stays one step, yet outside the target's folder, where
// every new name costs a look-up across all of its entries (Wine compares names without regard
// to case by reading the whole folder). No listing of puzzle files sees the folder or its files.
constexpr const char* kStagingFolder = "~gridlark";
constexpr const char* kTemporaryPrefix = "~gridlark-";
constexpr const char* kTemporarySuffix = ".tmp";

std::string FolderOf(const std::string& path)
{
    // The folder ends at the last separator only: a colon in the name must not turn the
    // temporary file into a stream.
    const auto separator = path.find_last_of("\\/");
    return separator == std::string::npos ? std::string() : path.substr(0, separator + 1);
}

std::uint64_t ProcessStartStamp(HANDLE process)
{
    FILETIME created{}, exited{}, kernel{}, user{};
    if (!::GetProcessTimes(process, &created, &exited, &kernel, &user))
        return 0;
    return (static_cast<std::uint64_t>(created.dwHighDateTime) << 32) | created.dwLowDateTime;
}

// "~gridlark-<process id>-<process start>-<counter>.tmp": the owner can be told from the name,
// also once its process id belongs to another process.
std::string TemporaryName()
{
    static std::atomic<unsigned> counter{0};
    static const std::uint64_t started = ProcessStartStamp(::GetCurrentProcess());
    return std::string(kTemporaryPrefix) + std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(started) +
           "-" + std::to_string(counter++) + kTemporarySuffix;
}

// The staging folder inside the folder, made (hidden) when missing; the folder itself when the
// staging folder cannot be made.
std::string StagingFolder(const std::string& folder)
{
    const std::string staging = folder + kStagingFolder;
    if (::CreateDirectoryA(staging.c_str(), nullptr))
        ::SetFileAttributesA(staging.c_str(), FILE_ATTRIBUTE_HIDDEN);
    const DWORD attributes = ::GetFileAttributesA(staging.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return staging + "\\";
    return folder;
}

File CreateTemporaryFor(const std::string& path, std::string& temporary)
{
    const std::string folder = FolderOf(path);
    std::string staging = folder + kStagingFolder + "\\";
    for (unsigned attempt = 0;; ++attempt) {
        temporary = staging + TemporaryName();
        try {
            return File::CreateExclusive(temporary);
        } catch (const io::IoError& e) {
            if (e.Code() == ERROR_PATH_NOT_FOUND && attempt == 0) {
                staging = StagingFolder(folder);
                continue;
            }
            if ((e.Code() != ERROR_FILE_EXISTS && e.Code() != ERROR_ALREADY_EXISTS) || attempt >= 100)
                throw;
        }
    }
}

// Moves the written temporary file to the target in one step. A new name is taken directly; an
// existing target is replaced unless it is read-only, which Windows refuses and Wine would not.
void MoveOverTarget(const std::string& temporary, const std::string& path)
{
    if (::MoveFileExA(temporary.c_str(), path.c_str(), MOVEFILE_WRITE_THROUGH))
        return;
    const DWORD error = ::GetLastError();
    if (error != ERROR_ALREADY_EXISTS && error != ERROR_FILE_EXISTS)
        ThrowIoError(error);
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        ThrowIoError(ERROR_ACCESS_DENIED);
    if (!::MoveFileExA(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        ThrowLastIoError();
}

// The owner of a temporary file, read from its name. Files beside the target, left by earlier
// versions, are named "~gridlark-<process id>-<counter>-<attempt>.tmp" and carry no start.
struct TemporaryOwner {
    DWORD processId = 0;
    std::uint64_t started = 0;
};

std::optional<TemporaryOwner> OwnerOf(const std::string& name, bool namesStart)
{
    const std::string prefix = kTemporaryPrefix, suffix = kTemporarySuffix;
    if (name.size() <= prefix.size() + suffix.size() || name.compare(0, prefix.size(), prefix) != 0 ||
        name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0)
        return std::nullopt;
    std::vector<std::uint64_t> fields;
    std::uint64_t value = 0;
    bool digits = false;
    for (std::size_t i = prefix.size(); i <= name.size() - suffix.size(); ++i) {
        const char c = i < name.size() - suffix.size() ? name[i] : '-';
        if (c >= '0' && c <= '9' && value <= (UINT64_MAX - 9) / 10) {
            value = value * 10 + static_cast<unsigned>(c - '0');
            digits = true;
        } else if (c == '-' && digits) {
            fields.push_back(value);
            value = 0;
            digits = false;
        } else {
            return std::nullopt;
        }
    }
    if (fields.size() != 3 || fields[0] == 0 || fields[0] > MAXDWORD)
        return std::nullopt;
    return TemporaryOwner{static_cast<DWORD>(fields[0]), namesStart ? fields[1] : 0};
}

// Whether the process that made a temporary file still runs. A process that cannot be asked
// counts as running: another user's file is never taken away.
bool OwnerRuns(const TemporaryOwner& owner)
{
    UniqueHandle process(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, owner.processId));
    if (!process)
        return ::GetLastError() == ERROR_ACCESS_DENIED;
    DWORD code = 0;
    if (::GetExitCodeProcess(process.get(), &code) && code != STILL_ACTIVE)
        return false;
    // The same id may now belong to a later process.
    return owner.started == 0 || ProcessStartStamp(process.get()) == owner.started;
}

void RemoveStaleIn(const std::string& folder, bool namesStart)
{
    WIN32_FIND_DATAA entry;
    UniqueFindHandle find(::FindFirstFileA((folder + kTemporaryPrefix + "*" + kTemporarySuffix).c_str(), &entry));
    if (!find)
        return;
    do {
        const auto owner = OwnerOf(entry.cFileName, namesStart);
        if (owner && (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 && !OwnerRuns(*owner))
            ::DeleteFileA((folder + entry.cFileName).c_str());
    } while (::FindNextFileA(find.get(), &entry));
}

}  // namespace

void RemoveStaleTemporaryFiles(const std::string& folder)
{
    const std::string base = text::IncludeTrailingBackslash(folder);
    const std::string staging = base + kStagingFolder + "\\";
    RemoveStaleIn(staging, true);
    RemoveStaleIn(base, false);
    // Only an empty staging folder goes; one holding a running import's file stays.
    ::RemoveDirectoryA(staging.c_str());
}

namespace {

// Writes the content to a temporary file, then hands that file to the move.
void WriteThroughTemporary(const std::string& path, const void* data, DWORD size,
                           void (*move)(const std::string& temporary, const std::string& path))
{
    std::string temporary;
    File file = CreateTemporaryFor(path, temporary);
    try {
        file.Write(data, size);
        file.Flush();
        file.Close();
        move(temporary, path);
    } catch (...) {
        file.Close();
        ::DeleteFileA(temporary.c_str());
        throw;
    }
}

// Moves the written temporary file to a name that must be free: a taken name fails with
// ERROR_ALREADY_EXISTS and keeps its file.
void MoveToFreeName(const std::string& temporary, const std::string& path)
{
    if (!::MoveFileExA(temporary.c_str(), path.c_str(), MOVEFILE_WRITE_THROUGH)) {
        const DWORD error = ::GetLastError();
        ThrowIoError(error == ERROR_FILE_EXISTS ? ERROR_ALREADY_EXISTS : error);
    }
}

}  // namespace

void WriteFileReplacing(const std::string& path, const void* data, DWORD size)
{
    WriteThroughTemporary(path, data, size, &MoveOverTarget);
}

void WriteFileNew(const std::string& path, const void* data, DWORD size)
{
    WriteThroughTemporary(path, data, size, &MoveToFreeName);
}

std::string ListedFileName(const std::string& path)
{
    WIN32_FIND_DATAA found{};
    HANDLE search = ::FindFirstFileA(path.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return {};
    ::FindClose(search);
    return found.cFileName;
}

DWORD RenameFile(const std::string& from, const std::string& to)
{
    if (!::MoveFileA(from.c_str(), to.c_str()))
        return ::GetLastError();
    if (ListedFileName(to) == text::ExtractFileName(to))
        return 0;
    const std::string temporary = to + ".renaming-" + std::to_string(::GetCurrentProcessId()) + ".tmp";
    if (!::MoveFileA(from.c_str(), temporary.c_str()))
        return ::GetLastError();
    if (!::MoveFileA(temporary.c_str(), to.c_str())) {
        const DWORD error = ::GetLastError();
        ::MoveFileA(temporary.c_str(), from.c_str());
        return error;
    }
    return 0;
}

bool FileHoldsExactly(const std::string& path, const void* data, DWORD size)
{
    HANDLE h = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                             nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    const UniqueHandle file(h);
    LARGE_INTEGER length{};
    if (!::GetFileSizeEx(file.get(), &length) || length.QuadPart != static_cast<LONGLONG>(size))
        return false;
    std::vector<char> content(size + 1);
    DWORD read = 0;
    // One byte more than expected is asked for: a file that grew meanwhile does not match.
    if (!::ReadFile(file.get(), content.data(), size + 1, &read, nullptr) || read != size)
        return false;
    return size == 0 || std::memcmp(content.data(), data, size) == 0;
}

void RecycleFiles(const std::vector<std::string>& paths, HWND owner, Confirmation confirmation)
{
    if (paths.empty())
        return;
    std::string sources;
    for (const auto& path : paths)
        sources += path + '\0';
    sources += '\0';
    SHFILEOPSTRUCTA operation{};
    operation.hwnd = owner;
    operation.wFunc = FO_DELETE;
    operation.pFrom = sources.c_str();
    operation.fFlags = FOF_SILENT | FOF_ALLOWUNDO | FOF_FILESONLY | FOF_NOERRORUI | FOF_NORECURSION;
    if (confirmation == Confirmation::None)
        operation.fFlags |= FOF_NOCONFIRMATION | FOF_NOCONFIRMMKDIR | FOF_NO_CONNECTED_ELEMENTS;
    RunFileOperation(&operation);
}

ReplacingBatch::~ReplacingBatch()
{
    try {
        Commit();
    } catch (...) {
        // Reported where the batch was committed on purpose; here only nothing may escape.
    }
}

namespace {

std::string UpperName(const std::string& path) { return UpperCase(text::ExtractFileName(path)); }

}  // namespace

ReplacingBatch::ReplacingBatch(const std::string& folder)
{
    WIN32_FIND_DATAA entry;
    UniqueFindHandle find(::FindFirstFileA((text::IncludeTrailingBackslash(folder) + "*").c_str(), &entry));
    if (!find)
        return;
    do {
        listed_[UpperName(entry.cFileName)] = {entry.dwFileAttributes,
                                               (std::uint64_t{entry.nFileSizeHigh} << 32) | entry.nFileSizeLow};
    } while (::FindNextFileA(find.get(), &entry));
}

std::optional<ReplacingBatch::Existing> ReplacingBatch::Find(const std::string& path)
{
    const auto found = listed_.find(UpperName(path));
    if (found == listed_.end())
        return std::nullopt;
    return found->second;
}

ReplacingBatch::Result ReplacingBatch::Write(const std::string& path, const void* data, DWORD size)
{
    if (const auto existing = Find(path))
        return Replace(path, *existing, data, size);
    try {
        WriteFileNew(path, data, size);
        listed_[UpperName(path)] = {FILE_ATTRIBUTE_NORMAL, size};
        return Result::Written;
    } catch (const io::IoError& error) {
        // Another program made the name after the listing: it is an earlier file like the others.
        WIN32_FILE_ATTRIBUTE_DATA now{};
        if (error.Code() != ERROR_ALREADY_EXISTS || !::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &now))
            throw;
        return Replace(path, {now.dwFileAttributes, (std::uint64_t{now.nFileSizeHigh} << 32) | now.nFileSizeLow}, data,
                       size);
    }
}

ReplacingBatch::Result ReplacingBatch::Replace(const std::string& path, const Existing& existing, const void* data,
                                               DWORD size)
{
    // Only a file of the same size is read to compare: most other puzzles differ in size.
    if (existing.size == size && FileHoldsExactly(path, data, size))
        return Result::Unchanged;
    // Refused now, as the write would be: the failure belongs to this file, not to the commit.
    if (existing.attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY))
        ThrowIoError(ERROR_ACCESS_DENIED);
    // The content waits in memory: temporary files of their own would make each new name dearer.
    // A batch far beyond any collection's size is committed part by part.
    constexpr std::size_t kMostPendingBytes = 64u << 20;
    if (pendingBytes_ + size > kMostPendingBytes)
        Commit();
    const auto* bytes = static_cast<const char*>(data);
    pending_.push_back({path, std::vector<char>(bytes, bytes + size)});
    pendingBytes_ += size;
    return Result::Replaced;
}

void ReplacingBatch::Commit(const std::function<void()>& serve)
{
    std::vector<Replacement> pending = std::exchange(pending_, {});
    pendingBytes_ = 0;
    if (pending.empty())
        return;
    std::vector<std::string> targets;
    targets.reserve(pending.size());
    for (const auto& replacement : pending)
        targets.push_back(replacement.target);
    RecycleFiles(targets);
    std::optional<io::IoError> failure;
    for (const auto& replacement : pending) {
        try {
            // Where the Recycle Bin could not take the earlier file, it is replaced, as without one.
            WriteFileReplacing(replacement.target, replacement.content.data(),
                               static_cast<DWORD>(replacement.content.size()));
        } catch (const io::IoError& error) {
            if (!failure)
                failure = error;
        }
        if (serve)
            serve();
    }
    if (failure)
        throw *failure;
}

}  // namespace win
