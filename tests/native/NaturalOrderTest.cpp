#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include "core/NaturalOrder.h"

namespace {

// A stand-in for the system's key: case ignored; an accented é (0xE9 in the ANSI page) weighs as
// an E; bytes 0 and 1 test the key's escaping.
std::string FoldedRun(std::string_view run)
{
    std::string key;
    for (char c : run) {
        if (c == '\xE9')
            c = 'E';
        key += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return key;
}

std::vector<std::string> Sorted(std::vector<std::string> texts)
{
    std::stable_sort(texts.begin(), texts.end(), [](const std::string& a, const std::string& b) {
        return text::NaturalSortKey(a, &FoldedRun) < text::NaturalSortKey(b, &FoldedRun);
    });
    return texts;
}

}  // namespace

TEST(NaturalOrder, NumbersCompareByValueAndTextByItsRunKey)
{
    struct Case {
        std::vector<std::string> in, sorted;
    };
    const Case cases[] = {
        {{"Puzzle 10", "Puzzle 2", "puzzle 1"}, {"puzzle 1", "Puzzle 2", "Puzzle 10"}},
        {{"Puzzle 2", "Puzzle", "Puzzle X", "Puzzle 2b", "Puzzle 2 b"},
         {"Puzzle", "Puzzle 2", "Puzzle 2 b", "Puzzle 2b", "Puzzle X"}},
        {{"b", "10 a", "9 z", "a"}, {"9 z", "10 a", "a", "b"}},  // a number before text
        {{"x007", "x7", "x08"}, {"x007", "x7", "x08"}},          // leading zeros do not count
        {{"Zebra", "(\xE9t\xE9) Caf\xE9", "(ete) Apple"}, {"(ete) Apple", "(\xE9t\xE9) Caf\xE9", "Zebra"}},
        {{std::string("a\x01", 2), std::string("a\0b", 3), "a"},
         {"a", std::string("a\0b", 3), std::string("a\x01", 2)}},
        {{"99999999999999999999 b", "100000000000000000000 a"}, {"99999999999999999999 b", "100000000000000000000 a"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Sorted(c.in), c.sorted);
}
