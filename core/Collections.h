// The records of the construction kits' collection files (.cw3, .ws3) and their conversion into
// puzzle content. Every read is bounded by the record: counts are clamped to the slot arrays and
// length bytes to their text's capacity.
#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "core/Puzzles.h"

namespace puzzles {

using Bytes = std::span<const std::uint8_t>;

namespace layout {
// The head shared by both kinds.
inline constexpr std::size_t kLabel = 6, kLabelCapacity = 20;
inline constexpr std::size_t kTitle = 27, kTitleCapacity = 35;
inline constexpr std::size_t kHeaderValue1 = 63, kHeaderValue2 = 65;
inline constexpr std::size_t kGrid = 67;
// What the listing reads of each record: the head up to the grid.
inline constexpr std::size_t kListedBytes = kGrid;

// Crossword record.
inline constexpr std::size_t kCrosswordRecordSize = 69623;
inline constexpr std::size_t kClueCount = 2567, kHeaderValue3 = 2569, kHeaderValue4 = 2571;
inline constexpr std::size_t kClueTexts = 8773, kClueSlotSize = 151, kClueCapacity = 150, kClueSlots = 200;
inline constexpr std::size_t kClueValues1 = 38973, kClueValues2 = 39373, kClueValues3 = 39773;
inline constexpr std::size_t kClueFlags = 40173;
inline constexpr std::size_t kTailText = 69442, kTailCapacity = 180;

// Word search record.
inline constexpr std::size_t kWordSearchRecordSize = 95830;
inline constexpr std::size_t kFillGrid = 2567;
inline constexpr std::size_t kWordCount = 5067;
inline constexpr std::size_t kWordTexts = 5069, kWordSlotSize = 31, kWordCapacity = 30, kWordSlots = 330;
inline constexpr std::size_t kWordValues1 = 65129, kWordValues2 = 65789;
}  // namespace layout

struct CollectionEntry {
    std::string DisplayText;
    std::uint32_t RecordIndex = 0;
};

// A whole record's bytes, exactly the kind's record size.
struct CrosswordRecord {
    std::vector<std::uint8_t> Bytes;
};
struct WordSearchRecord {
    std::vector<std::uint8_t> Bytes;
};

std::int16_t ReadInt16(Bytes record, std::size_t offset);
// A short text: its length byte, clamped to the capacity, then that many characters.
std::string ReadShortText(Bytes record, std::size_t offset, std::size_t capacity);
// "(" + at most 20 characters of the label + ") " + title, cut to 58 characters; the head needs
// the first layout::kListedBytes bytes of a record.
std::string DisplayText(Bytes head);

CrosswordPuzzle MakeCrosswordPuzzle(const CrosswordRecord& record);
WordSearchPuzzle MakeWordSearchPuzzle(const WordSearchRecord& record);

}  // namespace puzzles
