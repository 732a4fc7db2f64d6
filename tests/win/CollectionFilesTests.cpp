// Collection files read and puzzle files written through the Windows file layer.
#include <gtest/gtest.h>
#include <windows.h>

#include "puzzles/CollectionFiles.h"
#include "tests/native/RecordBuilder.h"
#include "tests/win/TestSupport.h"
#include "win/Handles.h"

using namespace testing_support;
using namespace puzzles;

namespace {

void WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    WriteFileText(path, std::string(bytes.begin(), bytes.end()));
}

std::vector<std::uint8_t> ReadBytes(const std::string& path)
{
    std::string text = ReadFileText(path);
    return {text.begin(), text.end()};
}

// Records with the labels R0, R1, ... and the title "Title", then `extra` stray bytes.
std::vector<std::uint8_t> Collection(std::size_t recordSize, int records, std::size_t extra = 0)
{
    std::vector<std::uint8_t> all;
    for (int i = 0; i < records; ++i) {
        auto r = RecordBuilder(recordSize).Head("R" + std::to_string(i), "Title");
        all.insert(all.end(), r.Bytes().begin(), r.Bytes().end());
    }
    all.resize(all.size() + extra, 0x55);
    return all;
}

template <typename F>
std::string FailureMessage(F&& f)
{
    try {
        f();
    } catch (const io::IoError& e) {
        return e.what();
    }
    return "(no failure)";
}

}  // namespace

TEST(ListCollection, CountsWholeRecordsFromTheFileSize)
{
    TempFolder temp;
    struct Case {
        const char* name;
        std::size_t recordSize;
        int records;
        std::size_t extra;
    };
    const Case cases[] = {{"empty.cw3", layout::kCrosswordRecordSize, 0, 0},
                          {"short.cw3", layout::kCrosswordRecordSize, 0, 69622},
                          {"two.cw3", layout::kCrosswordRecordSize, 2, 100},
                          {"three.ws3", layout::kWordSearchRecordSize, 3, 0}};
    for (const auto& c : cases) {
        WriteBytes(temp / c.name, Collection(c.recordSize, c.records, c.extra));
        auto entries = ListCollection(temp / c.name, c.recordSize);
        ASSERT_EQ(entries.size(), static_cast<std::size_t>(c.records)) << c.name;
        for (int i = 0; i < c.records; ++i) {
            EXPECT_EQ(entries[i].RecordIndex, static_cast<std::uint32_t>(i));
            EXPECT_EQ(entries[i].DisplayText, "(R" + std::to_string(i) + ") Title");
        }
    }
    EXPECT_TRUE(ListCollection(temp / "missing.cw3", layout::kCrosswordRecordSize).empty());
}

TEST(ListCollection, AFileLockedAgainstReadingListsNothing)
{
    TempFolder temp;
    WriteBytes(temp / "locked.cw3", Collection(layout::kCrosswordRecordSize, 2));
    win::UniqueHandle lock(
        ::CreateFileA((temp / "locked.cw3").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(lock);
    EXPECT_TRUE(ListCollection(temp / "locked.cw3", layout::kCrosswordRecordSize).empty());
}

TEST(ReadRecord, ReadsTheRecordAtItsIndexAndFailsWithTheStandardMessages)
{
    TempFolder temp;
    WriteBytes(temp / "three.cw3", Collection(layout::kCrosswordRecordSize, 3));
    WriteBytes(temp / "three.ws3", Collection(layout::kWordSearchRecordSize, 3));
    EXPECT_EQ(MakeCrosswordPuzzle(ReadCrosswordRecord(temp / "three.cw3", 2)).Title, "Title");
    EXPECT_EQ(DisplayText(ReadWordSearchRecord(temp / "three.ws3", 1).Bytes), "(R1) Title");

    win::UniqueHandle lock(
        ::CreateFileA((temp / "three.ws3").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    struct Case {
        std::string path;
        std::uint32_t index;
        std::string message;
    };
    const Case cases[] = {{temp / "three.cw3", 3, "Read beyond end of file"},
                          {temp / "missing.cw3", 0, "File not found"},
                          {temp / "no folder\\x.cw3", 0, "Invalid filename"},
                          {temp / "three.ws3", 0, "I/O error 32"}};
    for (const auto& c : cases)
        EXPECT_EQ(FailureMessage([&] { ReadCrosswordRecord(c.path, c.index); }), c.message) << c.path;
}

TEST(WritePuzzleFile, WritesTheLayoutAndReplacesAnEarlierFileWhole)
{
    TempFolder temp;
    const std::string target = temp / "Cats.JGF";
    WriteFileText(target, std::string(10000, 'x'));
    CrosswordPuzzle crossword;
    crossword.Title = "Cats";
    WriteCrosswordFile(target, crossword);
    EXPECT_EQ(ReadBytes(target), CrosswordFileBytes(crossword));

    WordSearchPuzzle wordSearch;
    wordSearch.WordCount = 1;
    wordSearch.Words = {{"", 1, 2}};
    WriteWordSearchFile(temp / "Fruit.JWF", wordSearch);
    EXPECT_EQ(ReadBytes(temp / "Fruit.JWF"), WordSearchFileBytes(wordSearch));
    // The temporary files were made in the hidden staging folder and moved out of it.
    auto files = FolderEntries(temp.Path());
    EXPECT_EQ(files, (std::vector<std::string>{"Cats.JGF", "Fruit.JWF", "~gridlark"}));
    EXPECT_TRUE(::GetFileAttributesA((temp / "~gridlark").c_str()) & FILE_ATTRIBUTE_HIDDEN);
    EXPECT_TRUE(FolderEntries(temp / "~gridlark\\").empty());
}

TEST(WritePuzzleFile, AFailedWriteLeavesNoPartialFileAndTheEarlierFileUnchanged)
{
    TempFolder temp;
    const std::string readOnly = temp / "ReadOnly.JGF";
    const std::string locked = temp / "Locked.JGF";
    WriteFileText(readOnly, "earlier read-only");
    WriteFileText(locked, "earlier locked");
    ::SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_READONLY);
    win::UniqueHandle lock(::CreateFileA(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(lock);

    struct Case {
        std::string path;
        std::string message;
    };
    const Case cases[] = {{temp / "What?.JGF", "I/O error 123"},
                          {temp / "missing folder\\Cats.JGF", "Invalid filename"},
                          {readOnly, "File access denied"},
                          {locked, "File access denied"}};
    for (const auto& c : cases)
        EXPECT_EQ(FailureMessage([&] { WriteCrosswordFile(c.path, CrosswordPuzzle{}); }), c.message) << c.path;

    lock.reset();
    EXPECT_EQ(ReadFileText(readOnly), "earlier read-only");
    EXPECT_EQ(ReadFileText(locked), "earlier locked");
    auto files = FolderEntries(temp.Path());
    EXPECT_EQ(files, (std::vector<std::string>{"Locked.JGF", "ReadOnly.JGF", "~gridlark"}));
    EXPECT_TRUE(FolderEntries(temp / "~gridlark\\").empty());
}
