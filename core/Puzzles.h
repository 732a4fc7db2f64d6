// The content of one puzzle file, as the import hands it to the writers.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace puzzles {

inline constexpr std::size_t kGridSize = 2500;
using GridCells = std::array<std::uint8_t, kGridSize>;

struct ClueEntry {
    std::string Text;
    std::int16_t Value1 = 0;
    std::int16_t Value2 = 0;
    std::int16_t Value3 = 0;
    bool Flag = false;
};

struct CrosswordPuzzle {
    std::string Title;
    std::int16_t HeaderValue1 = 0;
    std::int16_t HeaderValue2 = 0;
    std::int16_t ClueCount = 0;  // carried as stored; need not equal Clues.size()
    std::int16_t HeaderValue3 = 0;
    std::int16_t HeaderValue4 = 0;
    std::string TailText;
    std::vector<ClueEntry> Clues;
    GridCells Grid{};
};

struct WordEntry {
    std::string Text;
    std::int16_t Value1 = 0;
    std::int16_t Value2 = 0;
};

struct WordSearchPuzzle {
    std::string Title;
    std::int16_t HeaderValue1 = 0;
    std::int16_t HeaderValue2 = 0;
    std::int16_t WordCount = 0;
    std::vector<WordEntry> Words;
    GridCells Grid{};
};

// The bytes of a .JGF file: one forward pass in field order.
std::vector<std::uint8_t> CrosswordFileBytes(const CrosswordPuzzle& puzzle);
// The bytes of a .JWF file. The count written always equals the number of word blocks that
// follow when it is positive, so that a reader never runs past the words into the grid.
std::vector<std::uint8_t> WordSearchFileBytes(const WordSearchPuzzle& puzzle);

}  // namespace puzzles
