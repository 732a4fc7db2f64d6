// The two kinds of puzzle and everything that goes with a kind: the extension of its files in the
// repository, the construction kit's collection it is imported from, the text of the list's Type
// column, the game program that plays it and its picture in the main window.
#pragma once
#include <cstddef>
#include <string_view>

#include "core/Collections.h"

namespace puzzles {

enum class PuzzleKind { Crossword, WordSearch };

struct KindTraits {
    PuzzleKind kind;
    const char* extension;            // the repository file's extension, upper case: ".JGF"
    const char* collectionExtension;  // the construction kit's collection file: ".cw3"
    const char* typeText;             // the list's Type column
    const char* gameProgram;          // the Java game that plays it, beside gridlark.exe
    std::size_t recordSize;           // the size of one record of its collection file
    int picture;                      // its picture in the main window's strip
};

inline constexpr KindTraits kPuzzleKinds[] = {
    {PuzzleKind::Crossword, ".JGF", ".cw3", "Crossword", "Crossword.jar", layout::kCrosswordRecordSize, 0},
    {PuzzleKind::WordSearch, ".JWF", ".ws3", "Word Search", "WordSearch.jar", layout::kWordSearchRecordSize, 1},
};

const KindTraits& TraitsOf(PuzzleKind kind);
// The kind whose repository extension this is, whatever its case; nothing for another extension.
const KindTraits* KindOfExtension(std::string_view extension);
// The kind whose collection extension this is, whatever its case.
const KindTraits* KindOfCollectionExtension(std::string_view extension);

}  // namespace puzzles
