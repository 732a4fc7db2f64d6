#include "core/Collections.h"

#include <algorithm>
#include <cstring>

namespace puzzles {

using namespace layout;

namespace {

constexpr std::size_t kDisplayTextLimit = 58;

// The number of slots to visit: none for a count of zero or below, at most the slots there are.
std::size_t SlotsInUse(std::int16_t count, std::size_t slots)
{
    return count <= 0 ? 0 : std::min<std::size_t>(static_cast<std::size_t>(count), slots);
}

GridCells ReadGrid(Bytes record, std::size_t offset)
{
    GridCells grid{};
    std::memcpy(grid.data(), record.data() + offset, kGridSize);
    return grid;
}

// The record's bytes at exactly the kind's size; a buffer of another size is read as a copy
// padded with zeros, so that no offset of the layout lies outside it.
Bytes Sized(const std::vector<std::uint8_t>& bytes, std::size_t size, std::vector<std::uint8_t>& padded)
{
    if (bytes.size() == size)
        return bytes;
    padded.assign(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(std::min(size, bytes.size())));
    padded.resize(size, 0);
    return padded;
}

}  // namespace

std::int16_t ReadInt16(Bytes record, std::size_t offset)
{
    return static_cast<std::int16_t>(record[offset] | (record[offset + 1] << 8));
}

std::string ReadShortText(Bytes record, std::size_t offset, std::size_t capacity)
{
    std::size_t length = std::min<std::size_t>(record[offset], capacity);
    return std::string(reinterpret_cast<const char*>(record.data() + offset + 1), length);
}

std::string DisplayText(Bytes head)
{
    std::string text =
        "(" + ReadShortText(head, kLabel, kLabelCapacity) + ") " + ReadShortText(head, kTitle, kTitleCapacity);
    if (text.size() > kDisplayTextLimit)
        text.resize(kDisplayTextLimit);
    return text;
}

namespace {

// The head fields both kinds of puzzle carry over: the title and the first two header values.
template <typename Puzzle>
Puzzle WithHead(Bytes record)
{
    Puzzle puzzle;
    puzzle.Title = ReadShortText(record, kTitle, kTitleCapacity);
    puzzle.HeaderValue1 = ReadInt16(record, kHeaderValue1);
    puzzle.HeaderValue2 = ReadInt16(record, kHeaderValue2);
    return puzzle;
}

}  // namespace

CrosswordPuzzle MakeCrosswordPuzzle(const CrosswordRecord& record)
{
    std::vector<std::uint8_t> padded;
    Bytes r = Sized(record.Bytes, kCrosswordRecordSize, padded);
    auto puzzle = WithHead<CrosswordPuzzle>(r);
    puzzle.ClueCount = ReadInt16(r, kClueCount);
    puzzle.HeaderValue3 = ReadInt16(r, kHeaderValue3);
    puzzle.HeaderValue4 = ReadInt16(r, kHeaderValue4);
    puzzle.TailText = ReadShortText(r, kTailText, kTailCapacity);
    puzzle.Grid = ReadGrid(r, kGrid);
    const std::size_t slots = SlotsInUse(puzzle.ClueCount, kClueSlots);
    puzzle.Clues.reserve(slots);
    for (std::size_t j = 0; j < slots; ++j) {
        std::string text = ReadShortText(r, kClueTexts + kClueSlotSize * j, kClueCapacity);
        if (text.empty())
            continue;
        puzzle.Clues.push_back({std::move(text), ReadInt16(r, kClueValues1 + 2 * j), ReadInt16(r, kClueValues2 + 2 * j),
                                ReadInt16(r, kClueValues3 + 2 * j), r[kClueFlags + j] != 0});
    }
    return puzzle;
}

WordSearchPuzzle MakeWordSearchPuzzle(const WordSearchRecord& record)
{
    std::vector<std::uint8_t> padded;
    Bytes r = Sized(record.Bytes, kWordSearchRecordSize, padded);
    auto puzzle = WithHead<WordSearchPuzzle>(r);
    const std::int16_t stored = ReadInt16(r, kWordCount);
    const std::size_t slots = SlotsInUse(stored, kWordSlots);
    // A count beyond the slot array is cut to it, so the file's count matches its word blocks.
    puzzle.WordCount = stored > 0 ? static_cast<std::int16_t>(slots) : stored;
    puzzle.Words.reserve(slots);
    for (std::size_t j = 0; j < slots; ++j)
        puzzle.Words.push_back({ReadShortText(r, kWordTexts + kWordSlotSize * j, kWordCapacity),
                                ReadInt16(r, kWordValues1 + 2 * j), ReadInt16(r, kWordValues2 + 2 * j)});
    for (std::size_t k = 0; k < kGridSize; ++k) {
        std::uint8_t cell = r[kGrid + k];
        puzzle.Grid[k] = cell == 0x20 ? r[kFillGrid + k] : cell;
    }
    return puzzle;
}

}  // namespace puzzles
