#include "core/Puzzles.h"

#include <cstring>

namespace puzzles {
namespace {

// Writes into a buffer sized once for the whole file: no growth, and texts and the grid go in
// as whole blocks.
class Writer {
public:
    explicit Writer(std::size_t size) : bytes_(size), at_(bytes_.data()) {}
    void Int32(std::int32_t value)
    {
        const auto u = static_cast<std::uint32_t>(value);
        at_[0] = static_cast<std::uint8_t>(u);
        at_[1] = static_cast<std::uint8_t>(u >> 8);
        at_[2] = static_cast<std::uint8_t>(u >> 16);
        at_[3] = static_cast<std::uint8_t>(u >> 24);
        at_ += 4;
    }
    void Text(const std::string& text)
    {
        Int32(static_cast<std::int32_t>(text.size()));
        Block(text.data(), text.size());
    }
    void Byte(std::uint8_t value) { *at_++ = value; }
    void Grid(const puzzles::GridCells& grid) { Block(grid.data(), grid.size()); }
    std::vector<std::uint8_t> Take() { return std::move(bytes_); }

    static std::size_t TextSize(const std::string& text) { return 4 + text.size(); }

private:
    void Block(const void* data, std::size_t size)
    {
        if (size != 0)
            std::memcpy(at_, data, size);
        at_ += size;
    }

    std::vector<std::uint8_t> bytes_;
    std::uint8_t* at_;
};

std::size_t CrosswordFileSize(const CrosswordPuzzle& puzzle)
{
    std::size_t size = Writer::TextSize(puzzle.Title) + 5 * 4 + Writer::TextSize(puzzle.TailText) + 4 + kGridSize;
    for (const auto& clue : puzzle.Clues)
        size += Writer::TextSize(clue.Text) + 3 * 4 + 1;
    return size;
}

std::size_t WordSearchFileSize(const WordSearchPuzzle& puzzle)
{
    std::size_t size = Writer::TextSize(puzzle.Title) + 3 * 4 + 1 + kGridSize;
    if (puzzle.WordCount > 0)
        for (const auto& word : puzzle.Words)
            size += Writer::TextSize(word.Text) + 2 * 4;
    return size;
}

}  // namespace

std::vector<std::uint8_t> CrosswordFileBytes(const CrosswordPuzzle& puzzle)
{
    Writer w(CrosswordFileSize(puzzle));
    w.Text(puzzle.Title);
    w.Int32(puzzle.HeaderValue1);
    w.Int32(puzzle.HeaderValue2);
    w.Int32(puzzle.ClueCount);
    w.Int32(puzzle.HeaderValue3);
    w.Int32(puzzle.HeaderValue4);
    w.Text(puzzle.TailText);
    w.Int32(puzzle.ClueCount);
    for (const auto& clue : puzzle.Clues) {
        w.Text(clue.Text);
        w.Int32(clue.Value1);
        w.Int32(clue.Value2);
        w.Int32(clue.Value3);
        w.Byte(clue.Flag ? 0xFF : 0x00);
    }
    w.Grid(puzzle.Grid);
    return w.Take();
}

std::vector<std::uint8_t> WordSearchFileBytes(const WordSearchPuzzle& puzzle)
{
    Writer w(WordSearchFileSize(puzzle));
    w.Text(puzzle.Title);
    w.Int32(puzzle.HeaderValue1);
    w.Int32(puzzle.HeaderValue2);
    const bool hasWords = puzzle.WordCount > 0;
    w.Int32(hasWords ? static_cast<std::int32_t>(puzzle.Words.size()) : puzzle.WordCount);
    w.Byte(0x00);
    if (hasWords) {
        for (const auto& word : puzzle.Words) {
            w.Text(word.Text);
            w.Int32(word.Value1);
            w.Int32(word.Value2);
        }
    }
    w.Grid(puzzle.Grid);
    return w.Take();
}

}  // namespace puzzles
