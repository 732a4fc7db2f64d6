// Collection records: display texts and conversion into puzzle content.
#include <gtest/gtest.h>

#include "core/Collections.h"
#include "core/FileNames.h"
#include "tests/native/RecordBuilder.h"

using namespace puzzles;
using namespace puzzles::layout;

TEST(DisplayText, LabelInParenthesesThenTitleCutTo58)
{
    struct Case {
        std::string label;
        int labelLengthByte;
        std::string title;
        int titleLengthByte;
        std::string expected;
    };
    const std::string t35(35, 'T');
    const Case cases[] = {
        {"K7", -1, "Garden Birds", -1, "(K7) Garden Birds"},
        {"", -1, "Garden Birds", -1, "() Garden Birds"},
        {std::string(20, 'L'), 25, "X", -1, "(" + std::string(20, 'L') + ") X"},
        {std::string(20, 'L'), -1, t35, -1, "(" + std::string(20, 'L') + ") " + t35},
        // Length bytes beyond the capacity read no further than the field.
        {"K7", -1, t35, 255, "(K7) " + t35},
        {"", -1, "", -1, "() "},
    };
    for (const auto& c : cases) {
        auto record = RecordBuilder::ForCrossword()
                          .Text(kLabel, c.label, c.labelLengthByte)
                          .Text(kTitle, c.title, c.titleLengthByte);
        std::string text = DisplayText(Bytes(record.Bytes()).first(kListedBytes));
        EXPECT_EQ(text, c.expected);
        EXPECT_LE(text.size(), 58u);
    }
}

namespace {

RecordBuilder& Clue(RecordBuilder& r, std::size_t j, const std::string& text, std::int16_t v1, std::int16_t v2,
                    std::int16_t v3, std::uint8_t flag)
{
    return r.Text(kClueTexts + kClueSlotSize * j, text)
        .Int16(kClueValues1 + 2 * j, v1)
        .Int16(kClueValues2 + 2 * j, v2)
        .Int16(kClueValues3 + 2 * j, v3)
        .Byte(kClueFlags + j, flag);
}

}  // namespace

TEST(MakeCrosswordPuzzle, CopiesTheHeadAndLeavesOutEmptyClues)
{
    auto r = RecordBuilder::ForCrossword().Head("K7", "Garden Birds");
    r.Int16(kHeaderValue1, -1).Int16(kHeaderValue2, 15).Int16(kClueCount, 5).Int16(kHeaderValue3, 300);
    r.Int16(kHeaderValue4, -300).Text(kTailText, "tail").Byte(kGrid, 'A').Byte(kGrid + 2499, 'Z');
    Clue(r, 0, "Robin", 1, 2, 3, 0x01);
    Clue(r, 1, "Wren", 4, 5, 6, 0x00);
    Clue(r, 3, "Tit", 7, 8, 9, 0x80);
    Clue(r, 4, "Jay", -7, -8, -9, 0xFF);
    Clue(r, 5, "beyond the count", 0, 0, 0, 0);
    r.Int16(kClueValues1 + 4, 99);  // slot 2: values but no text

    CrosswordPuzzle p = MakeCrosswordPuzzle(r.Crossword());
    EXPECT_EQ(p.Title, "Garden Birds");
    EXPECT_EQ(p.HeaderValue1, -1);
    EXPECT_EQ(p.HeaderValue2, 15);
    EXPECT_EQ(p.ClueCount, 5);
    EXPECT_EQ(p.HeaderValue3, 300);
    EXPECT_EQ(p.HeaderValue4, -300);
    EXPECT_EQ(p.TailText, "tail");
    EXPECT_EQ(p.Grid[0], 'A');
    EXPECT_EQ(p.Grid[2499], 'Z');
    ASSERT_EQ(p.Clues.size(), 4u);
    const char* texts[] = {"Robin", "Wren", "Tit", "Jay"};
    const bool flags[] = {true, false, true, true};
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(p.Clues[i].Text, texts[i]);
        EXPECT_EQ(p.Clues[i].Flag, flags[i]) << i;
    }
    EXPECT_EQ(p.Clues[2].Value1, 7);
    EXPECT_EQ(p.Clues[3].Value3, -9);
}

TEST(MakeCrosswordPuzzle, CountsOutsideTheSlotsAndOversizedLengthsStayInsideTheRecord)
{
    struct Case {
        std::int16_t count;
        std::size_t clues;
    };
    for (const Case c : {Case{0, 0}, Case{-1, 0}, Case{200, 200}, Case{250, 200}, Case{32767, 200}}) {
        auto r = RecordBuilder::ForCrossword();
        r.Int16(kClueCount, c.count);
        for (std::size_t j = 0; j < kClueSlots; ++j)
            r.Text(kClueTexts + kClueSlotSize * j, "c", 255);
        r.Text(kTailText, "", 255);
        CrosswordPuzzle p = MakeCrosswordPuzzle(r.Crossword());
        EXPECT_EQ(p.ClueCount, c.count);
        EXPECT_EQ(p.Clues.size(), c.clues) << c.count;
        if (!p.Clues.empty()) {
            EXPECT_EQ(p.Clues[0].Text.size(), kClueCapacity);
        }
        EXPECT_EQ(p.TailText.size(), kTailCapacity);
    }
}

TEST(MakeWordSearchPuzzle, KeepsEveryWordAndMergesTheGrids)
{
    auto r = RecordBuilder::ForWordSearch().Head("W1", "Fruit");
    r.Int16(kHeaderValue1, 12).Int16(kHeaderValue2, -2).Int16(kWordCount, 3);
    r.Text(kWordTexts, "APPLE").Text(kWordTexts + 2 * kWordSlotSize, "PEAR");
    for (std::size_t j = 0; j < 3; ++j)
        r.Int16(kWordValues1 + 2 * j, static_cast<std::int16_t>(10 + j))
            .Int16(kWordValues2 + 2 * j, static_cast<std::int16_t>(-20 - j));
    // The four kinds of cell: own letter, space taking the fill, both spaces, zero.
    r.Byte(kGrid + 0, 'A').Byte(kFillGrid + 0, 'Q');
    r.Byte(kGrid + 1, ' ').Byte(kFillGrid + 1, 'Q');
    r.Byte(kGrid + 2, ' ').Byte(kFillGrid + 2, ' ');
    r.Byte(kGrid + 3, 0x00).Byte(kFillGrid + 3, 'Q');

    WordSearchPuzzle p = MakeWordSearchPuzzle(r.WordSearch());
    EXPECT_EQ(p.Title, "Fruit");
    EXPECT_EQ(p.HeaderValue1, 12);
    EXPECT_EQ(p.HeaderValue2, -2);
    EXPECT_EQ(p.WordCount, 3);
    ASSERT_EQ(p.Words.size(), 3u);
    EXPECT_EQ(p.Words[0].Text, "APPLE");
    EXPECT_EQ(p.Words[1].Text, "");
    EXPECT_EQ(p.Words[2].Text, "PEAR");
    for (std::size_t j = 0; j < 3; ++j) {
        EXPECT_EQ(p.Words[j].Value1, 10 + static_cast<int>(j));
        EXPECT_EQ(p.Words[j].Value2, -20 - static_cast<int>(j));
    }
    EXPECT_EQ(p.Grid[0], 'A');
    EXPECT_EQ(p.Grid[1], 'Q');
    EXPECT_EQ(p.Grid[2], ' ');
    EXPECT_EQ(p.Grid[3], 0x00);
}

TEST(MakeWordSearchPuzzle, CountsOutsideTheSlots)
{
    struct Case {
        std::int16_t stored;
        std::int16_t carried;
        std::size_t words;
    };
    for (const Case c : {Case{0, 0, 0}, Case{-4, -4, 0}, Case{330, 330, 330}, Case{400, 330, 330}}) {
        auto r = RecordBuilder::ForWordSearch();
        r.Int16(kWordCount, c.stored);
        r.Text(kWordTexts + (kWordSlots - 1) * kWordSlotSize, "", 255);
        WordSearchPuzzle p = MakeWordSearchPuzzle(r.WordSearch());
        EXPECT_EQ(p.WordCount, c.carried) << c.stored;
        EXPECT_EQ(p.Words.size(), c.words) << c.stored;
        if (c.words == kWordSlots) {
            EXPECT_EQ(p.Words.back().Text.size(), kWordCapacity);
        }
    }
}

TEST(MakePuzzle, ARecordOfTheWrongSizeReadsAsZerosBeyondItsEnd)
{
    CrosswordPuzzle c = MakeCrosswordPuzzle({std::vector<std::uint8_t>(100, 0x7F)});
    EXPECT_EQ(c.Clues.size(), 0u);
    WordSearchPuzzle w = MakeWordSearchPuzzle({std::vector<std::uint8_t>(10, 0x7F)});
    EXPECT_EQ(w.WordCount, 0);
}

TEST(IsSafeFileName, RefusesSeparatorsColonsReservedAndControlCharacters)
{
    for (const char* name : {"(K7) Garden Birds", "() x", "(a.b) c..d", "(K7) \xE9t\xE9"})
        EXPECT_TRUE(puzzles::IsSafeFileName(name)) << name;
    for (const char* name : {"(x) ..\\..\\x", "(x) a/b", "(C:x) y", "(x) a:stream", "(x) What?", "(x) a*b", "(x) <b>",
                             "(x) \"q\"", "(x) a|b", "(x) tab\there", "", ".", ".."})
        EXPECT_FALSE(puzzles::IsSafeFileName(name)) << name;
}

TEST(RefusedNameText, NamesThePuzzleAndTheCharactersWindowsRefuses)
{
    struct Case {
        std::string name;
        const char* why;
    };
    const Case cases[] = {
        {"a:b", "Windows does not allow the character : in a file name."},
        {"(x) a?b:c?", "Windows does not allow the characters ? and : in a file name."},
        {"(x) <b>|", "Windows does not allow the characters <, > and | in a file name."},
        {std::string("(N\0L) x", 7), "Windows does not allow control characters in a file name."},
        {"(x) a|b\t", "Windows does not allow the character | and control characters in a file name."},
        {"..", "Windows does not allow a file name that is empty or only dots."},
        {"CON", "Windows does not accept it as a file name."},
    };
    for (const auto& c : cases) {
        const std::string text = puzzles::RefusedNameText(c.name);
        EXPECT_NE(text.find(c.why), std::string::npos) << text;
        EXPECT_NE(text.find("\\ / : * ? \" < > |"), std::string::npos);
    }
    EXPECT_EQ(puzzles::RefusedNameText("a:b").rfind("The puzzle \"a:b\" cannot be saved under its name: ", 0), 0u);
    EXPECT_NE(puzzles::RefusedNameText(std::string("(N\0L) x", 7)).find("\"(N L) x\""), std::string::npos);
    EXPECT_EQ(puzzles::RefusedRenameText("a?b").rfind(
                  "The puzzle cannot be renamed to \"a?b\": Windows does not allow the character ? in a file name.", 0),
              0u);
}

TEST(TypedFileName, DropsTheBlanksAroundAndTheTrailingDotsAsWindowsDoes)
{
    const std::pair<const char*, const char*> cases[] = {
        {"Garden Birds", "Garden Birds"},
        {"  Garden Birds  ", "Garden Birds"},
        {"Birds...", "Birds"},
        {"Birds. . ", "Birds"},
        {"...", ""},
        {"Mr. Owl", "Mr. Owl"},
        {".hidden", ".hidden"},
    };
    for (const auto& [typed, kept] : cases)
        EXPECT_EQ(puzzles::TypedFileName(typed), kept) << typed;
}
