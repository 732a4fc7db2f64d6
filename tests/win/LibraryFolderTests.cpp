// The library's view of the repository folder without the main window: its listing and its
// watcher.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "puzzles/FolderListing.h"
#include "puzzles/RepositoryWatcher.h"
#include "tests/win/TestSupport.h"
#include "win/Paths.h"

using namespace std::chrono_literals;
using testing_support::TempFolder;
using testing_support::WaitUntil;
using testing_support::WriteFileText;

TEST(FolderListing, ListsOnlyPuzzleFilesWithTheirKindAndGivesBackTheirPaths)
{
    TempFolder folder;
    for (const char* name : {"Cats.JGF", "Dogs.jwf", "notes.txt", "Birds.JGF.bak", "Fish.cw3"})
        WriteFileText(folder / name, "x");
    // A name the code page cannot hold: no path could open it, so no line shows it.
    ::CloseHandle(::CreateFileW((win::WideText(folder.Path()) + L"\\\u0416\u0443\u043a.JGF").c_str(), GENERIC_WRITE, 0,
                                nullptr, CREATE_ALWAYS, 0, nullptr));
    auto lines = puzzles::ListPuzzleFiles(folder.Path()).lines;
    std::sort(lines.begin(), lines.end(), [](const auto& a, const auto& b) { return a.Caption < b.Caption; });
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].Caption, "Cats");
    EXPECT_EQ(lines[0].KindTag, puzzles::PuzzleKind::Crossword);
    EXPECT_EQ(lines[0].Folded, "CATS");
    EXPECT_EQ(lines[1].Caption, "Dogs");
    EXPECT_EQ(lines[1].KindTag, puzzles::PuzzleKind::WordSearch);
    EXPECT_NE(lines[0].Modified, 0u);
    EXPECT_EQ(puzzles::PuzzleFilePath(folder.Path(), lines[1]), folder / "Dogs.JWF");
    EXPECT_TRUE(puzzles::ListPuzzleFiles("").lines.empty());
    EXPECT_TRUE(puzzles::ListPuzzleFiles(folder / "missing").lines.empty());
}

// The system lists a folder in the order of its names, case ignored: a changed file's place among
// the lines is then known without listing again.
TEST(FolderListing, ListsInTheOrderOfNames)
{
    TempFolder folder;
    for (const char* name : {"b.JGF", "A.JWF", "a.JGF", "C 10.JGF", "c 9.jwf", "_x.JGF", "\xC9t\xE9.JGF", "Z.JGF"})
        WriteFileText(folder / name, "x");
    const puzzles::FolderLines listed = puzzles::ListPuzzleFiles(folder.Path());
    ASSERT_EQ(listed.lines.size(), 8u);
    EXPECT_TRUE(listed.inNameOrder);
    EXPECT_TRUE(std::is_sorted(listed.lines.begin(), listed.lines.end(), &puzzles::NameOrder));
}

namespace {

// Counts what the watcher tells; the failure is recorded on the watcher's own thread.
class RecordingOwner : public puzzles::RepositoryWatcher::Owner {
public:
    void OnChangesWaiting() override { ++requests; }
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

// The captions the watcher's changes say exist now, each name's latest, gathered over the takes
// until they are the expected ones.
bool TakeUntil(puzzles::RepositoryWatcher& watcher, std::map<std::string, bool>& seen,
               const std::map<std::string, bool>& expected)
{
    return WaitUntil(
        [&] {
            for (const LineChange& change : watcher.TakeChanges().lines)
                seen[change.folded] = change.now.has_value();
            return seen == expected;
        },
        5s);
}

}  // namespace

TEST(RepositoryWatcher, TellsEachChangedNameOnceUntilTakenAndFollowsANewFolder)
{
    TempFolder first, second;
    WriteFileText(first / "Old.JGF", "x");
    std::atomic<bool> switched{false};
    RecordingOwner owner;
    puzzles::RepositoryWatcher watcher(owner, [&] { return switched ? second.Path() : first.Path(); });
    watcher.Start();
    // The folder as it was at the start tells nothing: its owner lists it.
    WaitUntil([] { return false; }, 700ms);
    EXPECT_EQ(owner.requests, 0);
    WriteFileText(first / "One.JGF", "x");
    ASSERT_TRUE(WaitUntil([&] { return owner.requests == 1; }, 5s));
    // More changes while the owner has not taken them cost no call of their own.
    WriteFileText(first / "Two.JWF", "x");
    WaitUntil([] { return false; }, 700ms);
    EXPECT_EQ(owner.requests, 1);
    std::map<std::string, bool> seen;
    EXPECT_TRUE(TakeUntil(watcher, seen, {{"ONE", true}, {"TWO", true}}));

    // Removed, renamed, a file that came and went at once, and a name of no puzzle file.
    seen.clear();
    ::DeleteFileA((first / "One.JGF").c_str());
    ::MoveFileA((first / "Two.JWF").c_str(), (first / "Three.JWF").c_str());
    WriteFileText(first / "Brief.JGF", "x");
    ::DeleteFileA((first / "Brief.JGF").c_str());
    WriteFileText(first / "notes.txt", "x");
    EXPECT_TRUE(TakeUntil(watcher, seen, {{"ONE", false}, {"TWO", false}, {"THREE", true}, {"BRIEF", false}}));
    EXPECT_FALSE(watcher.TakeChanges().relist);

    switched = true;
    EXPECT_TRUE(WaitUntil(
        [&] {
            const auto changes = watcher.TakeChanges();
            return changes.relist && changes.folder == second.Path();
        },
        5s));
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
