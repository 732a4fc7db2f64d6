// Converting and serialising one record, against a copy of the record's bytes: built natively
// with optimisation and no sanitizers by scripts/bench. Prints medians; asserts nothing.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <vector>

#include "core/Collections.h"
#include "tests/native/RecordBuilder.h"

using namespace puzzles;
using Clock = std::chrono::steady_clock;

namespace {

// A record with the given number of entries, each text of the given length: 40 short entries
// is a usual puzzle, every slot at capacity the most a record can hold.
std::vector<std::uint8_t> Crossword(std::size_t clues, std::size_t length)
{
    auto r = RecordBuilder::ForCrossword().Head("K7", std::string(35, 'T'));
    r.Int16(layout::kClueCount, static_cast<std::int16_t>(clues)).Text(layout::kTailText, std::string(180, 't'));
    for (std::size_t i = 0; i < clues; ++i)
        r.Text(layout::kClueTexts + i * layout::kClueSlotSize, std::string(length, 'c'));
    r.Fill(layout::kGrid, kGridSize, '#');
    return r.Bytes();
}

std::vector<std::uint8_t> WordSearch(std::size_t words, std::size_t length)
{
    auto r = RecordBuilder::ForWordSearch().Head("W2", std::string(35, 'T'));
    r.Int16(layout::kWordCount, static_cast<std::int16_t>(words));
    for (std::size_t i = 0; i < words; ++i)
        r.Text(layout::kWordTexts + i * layout::kWordSlotSize, std::string(length, 'w'));
    r.Fill(layout::kGrid, kGridSize, 'Q');
    return r.Bytes();
}

// Median over runs of the time per call, in microseconds.
double PerCall(int calls, const std::function<void()>& work)
{
    std::vector<double> runs;
    for (int run = 0; run < 15; ++run) {
        auto start = Clock::now();
        for (int i = 0; i < calls; ++i)
            work();
        runs.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count() / calls);
    }
    std::sort(runs.begin(), runs.end());
    return runs[runs.size() / 2];
}

volatile std::size_t sink;

template <typename Record, typename Convert>
void Bench(const char* what, std::vector<std::uint8_t> bytes, Convert convert)
{
    const Record record{bytes};
    std::vector<std::uint8_t> copy(bytes.size());
    const double floor = PerCall(2000, [&] {
        std::memcpy(copy.data(), record.Bytes.data(), record.Bytes.size());
        sink = sink + copy[copy.size() / 2];
    });
    const double figure = PerCall(2000, [&] { sink = sink + convert(record).size(); });
    std::printf("%-58s %9.2f us  floor %9.2f us  ratio %5.2f  (goal <= 3.0)\n", what, figure, floor, figure / floor);
}

}  // namespace

int main()
{
    auto crossword = [](const CrosswordRecord& r) { return CrosswordFileBytes(MakeCrosswordPuzzle(r)); };
    auto wordSearch = [](const WordSearchRecord& r) { return WordSearchFileBytes(MakeWordSearchPuzzle(r)); };
    Bench<CrosswordRecord>("convert+serialise crossword, 40 clues of 30 (memcpy floor)", Crossword(40, 30), crossword);
    Bench<CrosswordRecord>("convert+serialise crossword, 200 clues of 150 (memcpy floor)", Crossword(200, 150),
                           crossword);
    Bench<WordSearchRecord>("convert+serialise word search, 40 words of 12 (memcpy floor)", WordSearch(40, 12),
                            wordSearch);
    Bench<WordSearchRecord>("convert+serialise word search, 330 words of 30 (memcpy floor)", WordSearch(330, 30),
                            wordSearch);
    return 0;
}
