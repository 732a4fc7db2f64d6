#include "core/PuzzleKinds.h"

#include <gtest/gtest.h>

using puzzles::PuzzleKind;

TEST(PuzzleKinds, EachKindIsFoundByItsExtensionsWhateverTheirCase)
{
    struct Case {
        const char* extension;
        const puzzles::KindTraits* repository;
        const puzzles::KindTraits* collection;
    };
    const auto* crossword = &puzzles::TraitsOf(PuzzleKind::Crossword);
    const auto* wordSearch = &puzzles::TraitsOf(PuzzleKind::WordSearch);
    const Case cases[] = {
        {".JGF", crossword, nullptr}, {".jgf", crossword, nullptr},  {".JwF", wordSearch, nullptr},
        {".cw3", nullptr, crossword}, {".WS3", nullptr, wordSearch}, {".txt", nullptr, nullptr},
        {"", nullptr, nullptr},       {"JGF", nullptr, nullptr},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(puzzles::KindOfExtension(c.extension), c.repository) << c.extension;
        EXPECT_EQ(puzzles::KindOfCollectionExtension(c.extension), c.collection) << c.extension;
    }
    EXPECT_STREQ(crossword->typeText, "Crossword");
    EXPECT_STREQ(wordSearch->gameProgram, "WordSearch.jar");
    EXPECT_EQ(crossword->kind, PuzzleKind::Crossword);
    EXPECT_EQ(wordSearch->picture, 1);
}
