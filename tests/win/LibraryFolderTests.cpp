// The library's view of the repository folder without the main window: its listing and its
// watcher.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "puzzles/FolderListing.h"
#include "puzzles/RepositoryWatcher.h"
#include "tests/win/TestSupport.h"

using namespace std::chrono_literals;
using testing_support::TempFolder;
using testing_support::WaitUntil;
using testing_support::WriteFileText;

TEST(FolderListing, ListsOnlyPuzzleFilesWithTheirKindAndGivesBackTheirPaths)
{
    TempFolder folder;
    for (const char* name : {"Cats.JGF", "Dogs.jwf", "notes.txt", "Birds.JGF.bak", "Fish.cw3"})
        WriteFileText(folder / name, "x");
    auto lines = puzzles::ListPuzzleFiles(folder.Path());
    std::sort(lines.begin(), lines.end(), [](const auto& a, const auto& b) { return a.Caption < b.Caption; });
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].Caption, "Cats");
    EXPECT_EQ(lines[0].KindTag, puzzles::PuzzleKind::Crossword);
    EXPECT_EQ(lines[0].Folded, "CATS");
    EXPECT_EQ(lines[1].Caption, "Dogs");
    EXPECT_EQ(lines[1].KindTag, puzzles::PuzzleKind::WordSearch);
    EXPECT_NE(lines[0].Modified, 0u);
    EXPECT_EQ(puzzles::PuzzleFilePath(folder.Path(), lines[1]), folder / "Dogs.JWF");
    EXPECT_TRUE(puzzles::ListPuzzleFiles("").empty());
    EXPECT_TRUE(puzzles::ListPuzzleFiles(folder / "missing").empty());
}

namespace {

// Counts what the watcher tells; the failure is recorded on the watcher's own thread.
class RecordingOwner : public puzzles::RepositoryWatcher::Owner {
public:
    void OnRefillWanted() override { ++requests; }
    void OnWatchFailed(const win::CaughtException& caught) override
    {
        try {
            std::rethrow_exception(caught.error);
        } catch (const std::exception& e) {
            failure = e.what();
        }
        failed = true;
    }
    std::atomic<int> requests{0};
    std::atomic<bool> failed{false};
    std::string failure;
};

}  // namespace

TEST(RepositoryWatcher, AsksOnceUntilTheRefillStartsAndFollowsANewFolder)
{
    TempFolder first, second;
    std::string watched = first.Path();
    std::atomic<bool> switched{false};
    RecordingOwner owner;
    puzzles::RepositoryWatcher watcher(owner, [&] { return switched ? second.Path() : watched; });
    watcher.Start();
    // The folder as it was at the start asks for nothing: its owner lists it.
    WaitUntil([] { return false; }, 700ms);
    EXPECT_EQ(owner.requests, 0);
    WriteFileText(first / "One.JGF", "x");
    ASSERT_TRUE(WaitUntil([&] { return owner.requests == 1; }, 5s));
    // More changes while the request waits cost nothing more.
    WriteFileText(first / "Two.JGF", "x");
    WaitUntil([] { return false; }, 700ms);
    EXPECT_EQ(owner.requests, 1);
    watcher.RefillStarting();
    WriteFileText(first / "Three.JGF", "x");
    EXPECT_TRUE(WaitUntil([&] { return owner.requests == 2; }, 5s));
    watcher.RefillStarting();
    switched = true;
    EXPECT_TRUE(WaitUntil([&] { return owner.requests == 3; }, 5s));
    watcher.Stop();
    EXPECT_FALSE(owner.failed);
}

TEST(RepositoryWatcher, AFailureReachesTheOwnerAndEndsTheWatcher)
{
    RecordingOwner owner;
    TempFolder folder;
    std::atomic<int> asked{0};
    // The setting fails once the watcher's own thread asks for it.
    puzzles::RepositoryWatcher watcher(owner, [&]() -> std::string {
        if (++asked > 1)
            throw std::runtime_error("no setting");
        return folder.Path();
    });
    watcher.Start();
    EXPECT_TRUE(WaitUntil([&] { return owner.failed.load(); }, 5s));
    watcher.Stop();
    EXPECT_EQ(owner.failure, "no setting");
    EXPECT_EQ(owner.requests, 0);
}
