#include "puzzles/Drop.h"

#include <optional>

#include "core/IoError.h"
#include "core/Text.h"
#include "core/Collections.h"
#include "core/PuzzleKinds.h"
#include "core/DropRules.h"
#include "core/FileNames.h"
#include "win/Files.h"
#include "win/LazyApi.h"
#include "win/Paths.h"

namespace puzzles {

namespace {

// No puzzle file comes near this size; a bigger file is not read into memory.
constexpr std::uint64_t kLargestPuzzle = 16u << 20;
constexpr int kNameAttempts = 100;

constexpr const char* kUnwritableName =
    "Its name has characters that Gridlark cannot use. Rename the file, then add it again.";
constexpr const char* kTooLong = "Its path is too long. Move the file to a shorter path, then add it again.";
constexpr const char* kMissing = "It does not exist.";
constexpr const char* kFolder = "It is a folder, not a file.";
constexpr const char* kEmpty = "It is empty.";
constexpr const char* kTooLarge = "It is too large to be a puzzle file.";
constexpr const char* kLocked = "It is open in another program. Close it there, then add it again.";
constexpr const char* kNoAccess = "Gridlark is not allowed to read it.";
constexpr const char* kUnreadable = "It could not be read: ";
constexpr const char* kUnwritable = "It could not be written into your puzzle folder: ";
constexpr const char* kNotCollection = "It is not a puzzle collection (.cw3, .ws3).";
constexpr const char* kNoPuzzle = "It holds no puzzle: it is shorter than one puzzle of its kind.";

// Thrown for a file that is not taken, with the reason the user reads.
struct Refusal {
    std::string reason;
};

Refusal ReadRefusal(const io::IoError& error)
{
    switch (error.Code()) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
            return {kMissing};
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
            return {kLocked};
        case ERROR_ACCESS_DENIED:
            return {kNoAccess};
        default:
            return {kUnreadable + std::string(error.what()) + "."};
    }
}

// The path in the system's code page, which every later step uses; refused when it would be
// another path there, or longer than the system's paths.
std::string UsablePath(const std::wstring& dropped)
{
    const std::optional<std::string> path = win::ExactAnsiText(dropped.c_str());
    if (!path)
        throw Refusal{kUnwritableName};
    if (path->size() >= MAX_PATH)
        throw Refusal{kTooLong};
    return *path;
}

// A file that exists and is no folder, as its attributes say.
void CheckIsFile(const std::string& path)
{
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        throw ReadRefusal(io::IoError(::GetLastError()));
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        throw Refusal{kFolder};
}

// A file that can be read now and holds something; size is its size.
win::File OpenNonEmpty(const std::string& path, std::uint64_t& size)
try {
    win::File file = win::File::OpenShared(path);
    size = file.Size();
    if (size == 0)
        throw Refusal{kEmpty};
    return file;
} catch (const io::IoError& error) {
    throw ReadRefusal(error);
}

std::vector<char> ReadWhole(const std::string& path)
{
    std::uint64_t size = 0;
    const win::File file = OpenNonEmpty(path, size);
    if (size > kLargestPuzzle)
        throw Refusal{kTooLarge};
    std::vector<char> content(static_cast<std::size_t>(size));
    try {
        file.ReadAt(0, content.data(), static_cast<DWORD>(size));
    } catch (const io::IoError& error) {
        throw ReadRefusal(error);
    }
    return content;
}

std::uint64_t RecordSizeOf(const std::string& collection)
{
    const KindTraits* traits = KindOfCollectionExtension(text::ExtractFileExt(collection));
    return (traits != nullptr ? *traits : TraitsOf(PuzzleKind::WordSearch)).recordSize;
}

// A collection the import dialog can read: a file of a path the system takes, named as a
// collection, that holds at least one puzzle and is not locked. The dialog itself would only show
// an empty list. Every failure is a Refusal.
void CheckCollection(const std::string& path)
{
    if (path.size() >= MAX_PATH)
        throw Refusal{kTooLong};
    if (KindOfDropped(path) != DroppedKind::Collection)
        throw Refusal{kNotCollection};
    CheckIsFile(path);
    std::uint64_t size = 0;
    OpenNonEmpty(path, size);
    if (size < RecordSizeOf(path))
        throw Refusal{kNoPuzzle};
}

bool NameTaken(const std::string& path) { return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Copies one puzzle file into the repository; answers the file name written.
std::string AddPuzzleFile(const std::string& source, const std::string& repository)
{
    const std::vector<char> content = ReadWhole(source);
    const std::string folder = text::IncludeTrailingBackslash(repository);
    const std::string extension = RepositoryExtension(source);
    for (int attempt = 0;; ++attempt) {
        const std::string name =
            FirstFreeName(text::FileNameWithoutExt(source),
                          [&](const std::string& taken) { return NameTaken(folder + taken + extension); }) +
            extension;
        if (!IsSafeFileName(name))
            throw io::IoError(kInvalidNameError);
        try {
            win::WriteFileNew(folder + name, content.data(), static_cast<DWORD>(content.size()));
            return name;
        } catch (const io::IoError& error) {
            // Another program took the name between the look and the write: the next one is tried.
            if (error.Code() != ERROR_ALREADY_EXISTS || attempt == kNameAttempts)
                throw;
        }
    }
}

}  // namespace

std::vector<std::wstring> DroppedPaths(HDROP drop)
{
    std::vector<std::wstring> paths;
    const UINT count = win::DroppedFile(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        const UINT length = win::DroppedFile(drop, i, nullptr, 0);
        std::wstring path(length + 1, L'\0');
        path.resize(win::DroppedFile(drop, i, path.data(), length + 1));
        if (!path.empty())
            paths.push_back(std::move(path));
    }
    return paths;
}

CollectionsOutcome SortOutCollections(const std::vector<std::string>& paths)
{
    CollectionsOutcome outcome;
    std::vector<DropProblem> failed;
    for (const auto& path : paths) {
        try {
            CheckCollection(path);
            outcome.Readable.push_back(path);
        } catch (const Refusal& refusal) {
            failed.push_back({path, refusal.reason});
        }
    }
    outcome.Report = DropReport(failed, {});
    return outcome;
}

DropOutcome ReceiveDroppedFiles(const std::vector<std::wstring>& paths, const std::string& repository)
{
    DropOutcome outcome;
    std::vector<DropProblem> failed;
    std::vector<std::string> refused;
    for (const auto& dropped : paths) {
        const std::string shown = win::AnsiText(dropped.c_str());
        try {
            const std::string path = UsablePath(dropped);
            const DroppedKind kind = KindOfDropped(path);
            if (kind == DroppedKind::Other) {
                refused.push_back(path);
                continue;
            }
            if (kind == DroppedKind::Collection) {
                CheckCollection(path);
                outcome.Collections.push_back(path);
            } else {
                CheckIsFile(path);
                AddPuzzleFile(path, repository);
            }
        } catch (const Refusal& refusal) {
            failed.push_back({shown, refusal.reason});
        } catch (const io::IoError& error) {
            failed.push_back({shown, kUnwritable + std::string(error.what()) + "."});
        }
    }
    win::RemoveStaleTemporaryFiles(repository);
    outcome.Report = DropReport(failed, refused);
    return outcome;
}

}  // namespace puzzles
