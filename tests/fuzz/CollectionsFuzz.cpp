// Fuzz target: any bytes as a collection record of either kind, listed, converted and written.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/Collections.h"
#include "core/Puzzles.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::vector<std::uint8_t> bytes(data, data + size);
    if (size >= puzzles::layout::kListedBytes)
        (void)puzzles::DisplayText(puzzles::Bytes(bytes).first(puzzles::layout::kListedBytes));
    auto crossword = puzzles::MakeCrosswordPuzzle({bytes});
    auto wordSearch = puzzles::MakeWordSearchPuzzle({bytes});
    auto jgf = puzzles::CrosswordFileBytes(crossword);
    auto jwf = puzzles::WordSearchFileBytes(wordSearch);
    // A word search file holds exactly the blocks its count announces.
    if (wordSearch.WordCount > 0 && static_cast<std::size_t>(wordSearch.WordCount) != wordSearch.Words.size())
        __builtin_trap();
    return static_cast<int>(jgf.size() + jwf.size()) < 0;
}
