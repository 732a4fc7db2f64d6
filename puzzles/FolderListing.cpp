#include "puzzles/FolderListing.h"

#include <cstdint>

#include "core/PuzzleKinds.h"
#include "core/Text.h"
#include "win/Handles.h"
#include "win/Paths.h"

namespace puzzles {

std::vector<PuzzleLine> ListPuzzleFiles(const std::string& repository)
{
    std::vector<PuzzleLine> lines;
    if (text::Trim(repository).empty())
        return lines;
    WIN32_FIND_DATAA entry;
    // Long names only, fetched in large batches: a folder of tens of thousands of files is listed
    // on every change, and short names are neither needed nor free to make.
    win::UniqueFindHandle find(::FindFirstFileExA((text::IncludeTrailingBackslash(repository) + "*.*").c_str(),
                                                  FindExInfoBasic, &entry, FindExSearchNameMatch, nullptr,
                                                  FIND_FIRST_EX_LARGE_FETCH));
    if (!find)
        return lines;
    do {
        const std::string name = entry.cFileName;
        std::string folded = win::UpperCase(name);
        const std::string extension = text::ExtractFileExt(folded);
        const KindTraits* traits = KindOfExtension(extension);
        if (traits == nullptr)
            continue;
        folded.resize(folded.size() - extension.size());
        const auto modified = (static_cast<std::uint64_t>(entry.ftLastWriteTime.dwHighDateTime) << 32) |
                              entry.ftLastWriteTime.dwLowDateTime;
        lines.push_back({name.substr(0, name.size() - extension.size()), traits->kind, modified, std::move(folded)});
    } while (::FindNextFileA(find.get(), &entry));
    return lines;
}

std::string PuzzleFilePath(const std::string& repository, const PuzzleLine& line)
{
    return text::IncludeTrailingBackslash(repository) + line.Caption + TraitsOf(line.KindTag).extension;
}

}  // namespace puzzles
