#include "puzzles/FolderListing.h"

#include <cstdint>

#include "core/PuzzleKinds.h"
#include "core/Text.h"
#include "win/Handles.h"
#include "win/Paths.h"

namespace puzzles {

namespace {

struct NamedLine {
    std::string folded;
    const KindTraits* traits = nullptr;
    std::string caption;
};

// The caption, folded name and kind of a puzzle file's name; none for another file or a name
// that the code page cannot hold.
std::optional<NamedLine> NameOf(const wchar_t* wideName)
{
    std::optional<std::string> name = win::ExactAnsiText(wideName);
    if (!name)
        return std::nullopt;
    std::string folded = win::UpperCase(*name);
    const std::string extension = text::ExtractFileExt(folded);
    const KindTraits* traits = KindOfExtension(extension);
    if (traits == nullptr)
        return std::nullopt;
    folded.resize(folded.size() - extension.size());
    name->resize(name->size() - extension.size());
    return NamedLine{std::move(folded), traits, std::move(*name)};
}

PuzzleLine LineOf(NamedLine named, const WIN32_FIND_DATAW& entry)
{
    const auto modified =
        (static_cast<std::uint64_t>(entry.ftLastWriteTime.dwHighDateTime) << 32) | entry.ftLastWriteTime.dwLowDateTime;
    return {std::move(named.caption), named.traits->kind, modified, std::move(named.folded), {}};
}

// Long names only, fetched in large batches: short names are neither needed nor free to make.
HANDLE FindFirst(const std::string& pattern, WIN32_FIND_DATAW& entry)
{
    const std::wstring wide = win::WideText(pattern);
    return ::FindFirstFileExW(wide.c_str(), FindExInfoBasic, &entry, FindExSearchNameMatch, nullptr,
                              FIND_FIRST_EX_LARGE_FETCH);
}

int CompareNames(const std::wstring& a, const std::wstring& b)
{
    return ::CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()), TRUE);
}

std::wstring FileNameOf(const PuzzleLine& line)
{
    return win::WideText(line.Caption + TraitsOf(line.KindTag).extension);
}

}  // namespace

FolderLines ListPuzzleFiles(const std::string& repository)
{
    FolderLines listed;
    if (text::Trim(repository).empty())
        return listed;
    WIN32_FIND_DATAW entry;
    win::UniqueFindHandle find(FindFirst(text::IncludeTrailingBackslash(repository) + "*.*", entry));
    // A folder with no entry at all (a drive's empty root) is there all the same.
    listed.folderFound = find || ::GetLastError() == ERROR_FILE_NOT_FOUND;
    if (!find)
        return listed;
    std::wstring previous;
    do {
        std::optional<NamedLine> named = NameOf(entry.cFileName);
        if (!named)
            continue;
        std::wstring name = entry.cFileName;
        if (listed.inNameOrder && !previous.empty() && CompareNames(previous, name) != CSTR_LESS_THAN)
            listed.inNameOrder = false;
        previous = std::move(name);
        listed.lines.push_back(LineOf(std::move(*named), entry));
    } while (::FindNextFileW(find.get(), &entry));
    return listed;
}

std::optional<LineChange> LookUpChangedName(const std::string& repository, const std::wstring& name)
{
    std::optional<NamedLine> named = NameOf(name.c_str());
    if (!named || name.find_first_of(L"*?\\/") != std::wstring::npos)
        return std::nullopt;
    LineChange change{named->folded, named->traits->kind, std::nullopt};
    WIN32_FIND_DATAW entry;
    // The file as it is named now: a change of case finds the one file under its new name.
    win::UniqueFindHandle find(
        FindFirst(text::IncludeTrailingBackslash(repository) + named->caption + named->traits->extension, entry));
    if (find) {
        if (std::optional<NamedLine> found = NameOf(entry.cFileName))
            change.now = LineOf(std::move(*found), entry);
    }
    return change;
}

bool NameOrder(const PuzzleLine& a, const PuzzleLine& b)
{
    return CompareNames(FileNameOf(a), FileNameOf(b)) == CSTR_LESS_THAN;
}

std::string PuzzleFilePath(const std::string& repository, const PuzzleLine& line)
{
    return text::IncludeTrailingBackslash(repository) + line.Caption + TraitsOf(line.KindTag).extension;
}

}  // namespace puzzles
