#include "puzzles/Puzzles.h"

namespace puzzles {
namespace {

class Writer {
public:
    void Int32(std::int32_t value)
    {
        auto u = static_cast<std::uint32_t>(value);
        for (int shift = 0; shift < 32; shift += 8)
            bytes_.push_back(static_cast<std::uint8_t>(u >> shift));
    }
    void Text(const std::string& text)
    {
        Int32(static_cast<std::int32_t>(text.size()));
        bytes_.insert(bytes_.end(), text.begin(), text.end());
    }
    void Byte(std::uint8_t value) { bytes_.push_back(value); }
    void Grid(const puzzles::GridCells& grid) { bytes_.insert(bytes_.end(), grid.begin(), grid.end()); }
    std::vector<std::uint8_t> Take() { return std::move(bytes_); }

private:
    std::vector<std::uint8_t> bytes_;
};

}  // namespace

std::vector<std::uint8_t> CrosswordFileBytes(const CrosswordPuzzle& puzzle)
{
    Writer w;
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
    Writer w;
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
