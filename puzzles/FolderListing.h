// The repository folder as the library sees it: its puzzle files, listed in one pass.
#pragma once
#include <string>
#include <vector>

#include "core/PuzzleListModel.h"

namespace puzzles {

// The lines of the folder's puzzle files, in the order the file system gives them; none for a
// blank or missing folder.
std::vector<PuzzleLine> ListPuzzleFiles(const std::string& repository);
// The path of a line's file in the repository: folder, caption and the kind's extension.
std::string PuzzleFilePath(const std::string& repository, const PuzzleLine& line);

}  // namespace puzzles
