// The two puzzle file layouts, byte for byte.
#include <gtest/gtest.h>

#include "core/Puzzles.h"

using namespace puzzles;
using B = std::vector<std::uint8_t>;

namespace {

B Int32(std::int32_t v)
{
    auto u = static_cast<std::uint32_t>(v);
    return {static_cast<std::uint8_t>(u), static_cast<std::uint8_t>(u >> 8), static_cast<std::uint8_t>(u >> 16),
            static_cast<std::uint8_t>(u >> 24)};
}

B Text(const std::string& s)
{
    B b = Int32(static_cast<std::int32_t>(s.size()));
    b.insert(b.end(), s.begin(), s.end());
    return b;
}

B Cat(std::initializer_list<B> parts)
{
    B all;
    for (const auto& p : parts)
        all.insert(all.end(), p.begin(), p.end());
    return all;
}

GridCells PatternGrid()
{
    GridCells g{};
    for (std::size_t i = 0; i < g.size(); ++i)
        g[i] = static_cast<std::uint8_t>('A' + i % 26);
    return g;
}

B GridBytes(const GridCells& g) { return B(g.begin(), g.end()); }

}  // namespace

TEST(PuzzleFileBytes, EmptyPuzzlesHaveTheirFixedSizes)
{
    EXPECT_EQ(CrosswordFileBytes({}).size(), 2532u);
    EXPECT_EQ(WordSearchFileBytes({}).size(), 2517u);
}

TEST(PuzzleFileBytes, CrosswordLayout)
{
    CrosswordPuzzle p;
    p.Title = "Cats";
    p.HeaderValue1 = -1;
    p.HeaderValue2 = 2;
    p.ClueCount = 3;
    p.HeaderValue3 = 300;
    p.HeaderValue4 = -300;
    p.TailText = "end";
    p.Clues = {{"Purrs", 1, -2, 3, true}, {"Naps", 4, 5, 6, false}};
    p.Grid = PatternGrid();
    B expected = Cat({Text("Cats"),
                      {0xFF, 0xFF, 0xFF, 0xFF},
                      {0x02, 0, 0, 0},
                      Int32(3),
                      {0x2C, 0x01, 0, 0},
                      Int32(-300),
                      Text("end"),
                      Int32(3),
                      Text("Purrs"),
                      Int32(1),
                      Int32(-2),
                      Int32(3),
                      {0xFF},
                      Text("Naps"),
                      Int32(4),
                      Int32(5),
                      Int32(6),
                      {0x00},
                      GridBytes(p.Grid)});
    EXPECT_EQ(CrosswordFileBytes(p), expected);
}

TEST(PuzzleFileBytes, WordSearchLayout)
{
    WordSearchPuzzle p;
    p.Title = "Fruit";
    p.HeaderValue1 = 7;
    p.HeaderValue2 = -1;
    p.WordCount = 2;
    p.Words = {{"", 1, 2}, {"FIG", -3, 4}};
    p.Grid = PatternGrid();
    B expected = Cat({Text("Fruit"),
                      Int32(7),
                      Int32(-1),
                      Int32(2),
                      {0x00},
                      Int32(0),
                      Int32(1),
                      Int32(2),
                      Text("FIG"),
                      Int32(-3),
                      Int32(4),
                      GridBytes(p.Grid)});
    EXPECT_EQ(WordSearchFileBytes(p), expected);
}

TEST(PuzzleFileBytes, WordSearchCountMatchesTheBlocksThatFollow)
{
    struct Case {
        std::int16_t count;
        std::size_t words;
        std::int32_t written;
        std::size_t blocks;
    };
    for (const Case c : {Case{0, 0, 0, 0}, Case{-4, 0, -4, 0}, Case{-4, 2, -4, 0}, Case{5, 2, 2, 2}}) {
        WordSearchPuzzle p;
        p.WordCount = c.count;
        p.Words.assign(c.words, WordEntry{"AB", 1, 1});
        B bytes = WordSearchFileBytes(p);
        EXPECT_EQ(B(bytes.begin() + 12, bytes.begin() + 16), Int32(c.written)) << c.count;
        EXPECT_EQ(bytes[16], 0x00);
        EXPECT_EQ(bytes.size(), 2517u + c.blocks * (12 + 2)) << c.count;
    }
}
