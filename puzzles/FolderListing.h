// The repository folder as the library sees it: its puzzle files, listed in one pass or looked up
// by name after a change.
#pragma once
#include <optional>
#include <string>
#include <vector>

#include "core/PuzzleListModel.h"

namespace puzzles {

struct FolderLines {
    // The folder's puzzle files in the order the file system gives them.
    std::vector<PuzzleLine> lines;
    // Whether that order is the order of their names (NameOrder), as it is on NTFS: then a new
    // file's place among them is known without listing the folder again.
    bool inNameOrder = true;
    // Whether the folder was there to be listed.
    bool folderFound = false;
};

// The lines of the folder's puzzle files; none for a blank or missing folder. Every entry whose
// name ends in a puzzle extension counts, a subfolder too. A name with a character that the
// system's code page cannot hold is left out: no path could open its file.
FolderLines ListPuzzleFiles(const std::string& repository);
// What became of one name reported changed in the folder; none when it names no puzzle file.
std::optional<LineChange> LookUpChangedName(const std::string& repository, const std::wstring& name);
// Whether a line's file name comes before another's in the folders' order of names: code units,
// case ignored.
bool NameOrder(const PuzzleLine& a, const PuzzleLine& b);
// The path of a line's file in the repository: folder, caption and the kind's extension.
std::string PuzzleFilePath(const std::string& repository, const PuzzleLine& line);

}  // namespace puzzles
