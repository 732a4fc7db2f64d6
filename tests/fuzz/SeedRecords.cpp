// Writes the fuzzers' seeds: whole records of both kinds with their clue and word slots in use,
// made from the layout at fuzz time rather than kept as binary files.
#include <cstdio>
#include <fstream>
#include <string>

#include "tests/native/RecordBuilder.h"

using namespace puzzles;

namespace {

void Write(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::uint8_t> Crossword(int clues, std::size_t length)
{
    auto r = RecordBuilder::ForCrossword().Head("K7", "Garden Birds");
    r.Int16(layout::kClueCount, static_cast<std::int16_t>(clues)).Text(layout::kTailText, "Tail");
    for (int i = 0; i < clues && i < static_cast<int>(layout::kClueSlots); ++i) {
        r.Text(layout::kClueTexts + static_cast<std::size_t>(i) * layout::kClueSlotSize, std::string(length, 'c'));
        r.Int16(layout::kClueValues1 + 2 * static_cast<std::size_t>(i), static_cast<std::int16_t>(i));
        r.Byte(layout::kClueFlags + static_cast<std::size_t>(i), static_cast<std::uint8_t>(i & 1));
    }
    r.Fill(layout::kGrid, kGridSize, '#');
    return r.Bytes();
}

std::vector<std::uint8_t> WordSearch(int words, std::size_t length)
{
    auto r = RecordBuilder::ForWordSearch().Head("W2", "Fruit");
    r.Int16(layout::kWordCount, static_cast<std::int16_t>(words));
    for (int i = 0; i < words && i < static_cast<int>(layout::kWordSlots); ++i) {
        r.Text(layout::kWordTexts + static_cast<std::size_t>(i) * layout::kWordSlotSize, std::string(length, 'w'));
        r.Int16(layout::kWordValues1 + 2 * static_cast<std::size_t>(i), static_cast<std::int16_t>(i));
    }
    r.Fill(layout::kGrid, kGridSize, ' ').Fill(layout::kFillGrid, kGridSize, 'Q');
    return r.Bytes();
}

}  // namespace

int main(int argc, char** argv)
{
    const std::string folder = argc > 1 ? std::string(argv[1]) + "/" : "";
    Write(folder + "crossword-full", Crossword(200, 150));
    Write(folder + "crossword-some", Crossword(40, 30));
    Write(folder + "crossword-over", Crossword(32767, 150));
    Write(folder + "wordsearch-full", WordSearch(330, 30));
    Write(folder + "wordsearch-some", WordSearch(12, 8));
    Write(folder + "wordsearch-negative", WordSearch(-5, 8));
    std::printf("seeds written\n");
    return 0;
}
